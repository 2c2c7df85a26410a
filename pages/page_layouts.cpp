#include "pages/page_layouts.h"

#include <algorithm>

namespace tavrin::pages {

namespace {

constexpr int kNone = kNoSectionImage;

std::vector<PageLayout> MakeLayouts() {
  return {
      {"generalinfo",
       "zugeneralview",
       {{"General Information", 0}, {"Hardware", 1}, {"Software", 2}}},
      {"wininfo",
       "ZuWindowsView",
       {{"Windows Information", 3},
        {"User Information", 4},
        {"Environment", 5},
        {"System Folders", 6}}},
      {"sysdevinfo",
       "ZuCPUView",
       {{"CPU Information", 11},
        {"Cache Information", 12},
        {"BIOS Information", 13},
        {"Motherboard Information", 14},
        {"Memory", 15},
        // The firmware's records in full, shown in advanced mode.
        {"Machine", 14},
        {"Chassis", 14},
        {"Processor Sockets", 11},
        {"Memory Array", 15},
        {"Slots and Ports", 14},
        {"On-board Devices", 14}}},
      {"cpuadvinfo",
       "ZuCPUadvView",
       {{"Advanced Information", 16},
        {"Processor Features", 17},
        {"Cache Details", 12},
        {"Instruction Set Extensions", 17}}},
      {"displayinfo",
       "zuDisplayView",
       {{"Video Adapter Information", 18}, {"Monitor Information", 19}}},
      {"displayadvinfo",
       "ZuAdvDisplayView",
       {{"Supported Resolutions", 20},
        {"Text Capabilities", 21},
        {"Polygon Functions", 22},
        {"Raster Functions", 23},
        {"Line Functions", 24},
        {"Curve Functions", 25}}},
      // The pie and totals beside it are panels; only the process/service list has sections.
      {"memoryinfo", "zuMemoryView", {{"Processes", 7}, {"Services", 8}, {"Memory Status", 7}}},
      // The load bars and history graphs are not lists; the counts list is the sectioned one.
      {"performinfo", "zuPerfomanceView", {{"Applications", 9}, {"Services", 8}, {"Drivers", 10}}},
      // The drive, storage, I/O and network lists carry no section images on their forms.
      {"harddriveinfo",
       "ZuDriveView",
       {{"Volume Information", kNone},
        {"File System", kNone},
        {"Logical Information", kNone},
        {"Physical Information", kNone}}},
      {"harddriveadvinfo",
       "ZuIDEView",
       {{"General Information", kNone},
        {"Geometry", kNone},
        {"Properties", kNone},
        {"S.M.A.R.T. Information", kNone},
        {"Partitions", kNone}}},
      {"programsinfo",
       "zuProgramView",
       {{"Installed Engines", 39},
        {"DirectX Information", 40},
        {"Microsoft Office", 41},
        {"Installed Programs", 42},
        {"Installed Drivers", 9},
        {"Start-up Programs", kNone}}},
      {"ioinfo",
       "zuIOView",
       {{"Ports", kNone},
        {"USB", kNone},
        {"Printers", kNone},
        {"Audio", kNone},
        {"BlueTooth Devices", kNone},
        {"Power", kNone}}},
      {"networkinfo",
       "ZuNetworkView",
       {{"General Information", kNone},
        {"Winsock Information", kNone},
        {"Adapters", kNone},
        {"Network Details", kNone},
        {"Listening Ports", kNone}}},
      // The device tree has no sections; the details list beside it does. Hiding empty
      // sections and the initially collapsed last one are matters of the view, not the layout.
      {"devicesinfo",
       "zuDeviceDetails",
       {{"General Information", 0},
        {"Driver Details", 10},
        {"Service Details", 8},
        {"Advanced Properties", 7}}},
  };
}

}  // namespace

const std::vector<PageLayout>& PageLayouts() {
  static const std::vector<PageLayout> layouts = MakeLayouts();
  return layouts;
}

Page EmptyPage(const PageLayout& layout) {
  std::vector<Section> sections;
  for (const SectionLayout& s : layout.sections)
    sections.push_back({std::string(s.caption), s.imageIndex, {}, {}});
  return Page(std::string(layout.categoryKey), std::string(layout.listName), std::move(sections));
}

const PageLayout* FindPageLayout(std::string_view categoryKey) {
  const auto& layouts = PageLayouts();
  auto it = std::find_if(layouts.begin(), layouts.end(),
                         [&](const PageLayout& p) { return p.categoryKey == categoryKey; });
  return it == layouts.end() ? nullptr : &*it;
}

}  // namespace tavrin::pages
