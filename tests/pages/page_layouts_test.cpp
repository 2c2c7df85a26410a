#include "pages/page_layouts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace tavrin::pages {
namespace {

std::vector<std::string_view> Captions(const PageLayout& page) {
  std::vector<std::string_view> out;
  for (const auto& s : page.sections) out.push_back(s.caption);
  return out;
}

TEST(PageLayoutsTest, FourteenPagesInCategoryOrderWithTheirLists) {
  const std::vector<std::pair<std::string_view, std::string_view>> expected = {
      {"generalinfo", "zugeneralview"},  {"wininfo", "ZuWindowsView"},
      {"sysdevinfo", "ZuCPUView"},       {"cpuadvinfo", "ZuCPUadvView"},
      {"displayinfo", "zuDisplayView"},  {"displayadvinfo", "ZuAdvDisplayView"},
      {"memoryinfo", "zuMemoryView"},    {"performinfo", "zuPerfomanceView"},
      {"harddriveinfo", "ZuDriveView"},  {"harddriveadvinfo", "ZuIDEView"},
      {"programsinfo", "zuProgramView"}, {"ioinfo", "zuIOView"},
      {"networkinfo", "ZuNetworkView"},  {"devicesinfo", "zuDeviceDetails"},
  };
  const auto& pages = PageLayouts();
  ASSERT_EQ(pages.size(), expected.size());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(pages[i].categoryKey, expected[i].first) << i;
    EXPECT_EQ(pages[i].listName, expected[i].second) << i;
    EXPECT_FALSE(pages[i].sections.empty()) << pages[i].categoryKey;
    std::set<std::string_view> seen;
    for (const auto& s : pages[i].sections) {
      EXPECT_FALSE(s.caption.empty()) << pages[i].categoryKey;
      EXPECT_TRUE(seen.insert(s.caption).second) << pages[i].categoryKey << ": " << s.caption;
    }
  }
}

TEST(PageLayoutsTest, FindsPagesByKeyAndNothingElse) {
  const PageLayout* windows = FindPageLayout("wininfo");
  ASSERT_NE(windows, nullptr);
  EXPECT_EQ(windows, &PageLayouts()[1]);
  EXPECT_EQ(FindPageLayout("devicesinfo"), &PageLayouts().back());
  EXPECT_EQ(FindPageLayout("intro"), nullptr);
  EXPECT_EQ(FindPageLayout(""), nullptr);
  EXPECT_EQ(FindPageLayout("WININFO"), nullptr);
}

TEST(PageLayoutsTest, SectionsCarryTheFormCaptionsAndImages) {
  const PageLayout& windows = *FindPageLayout("wininfo");
  EXPECT_EQ(Captions(windows),
            (std::vector<std::string_view>{"Windows Information", "User Information", "Environment",
                                           "System Folders"}));
  EXPECT_EQ(windows.sections[0].imageIndex, 3);
  EXPECT_EQ(windows.sections[3].imageIndex, 6);

  const PageLayout& cpu = *FindPageLayout("sysdevinfo");
  ASSERT_EQ(cpu.sections.size(), std::size_t{sysdev_section::kCount});
  EXPECT_EQ(cpu.sections[4].caption, "Memory");
  EXPECT_EQ(cpu.sections[4].imageIndex, 15);

  const PageLayout& programs = *FindPageLayout("programsinfo");
  ASSERT_EQ(programs.sections.size(), std::size_t{programs_section::kCount});
  EXPECT_EQ(programs.sections[3].caption, "Installed Programs");
  EXPECT_EQ(programs.sections[3].imageIndex, 42);
  EXPECT_EQ(programs.sections[4].imageIndex, 9);

  EXPECT_EQ(Captions(*FindPageLayout("performinfo")),
            (std::vector<std::string_view>{"Applications", "Services", "Drivers"}));
  EXPECT_EQ(
      Captions(*FindPageLayout("ioinfo")),
      (std::vector<std::string_view>{"Ports", "USB", "Printers", "Audio", "BlueTooth Devices",
                                     "Power"}));
  EXPECT_EQ(FindPageLayout("displayadvinfo")->sections.size(), 6u);
  EXPECT_EQ(FindPageLayout("harddriveadvinfo")->sections[3].caption, "S.M.A.R.T. Information");
  EXPECT_EQ(FindPageLayout("harddriveinfo")->sections[0].imageIndex, kNoSectionImage);

  const PageLayout& devices = *FindPageLayout("devicesinfo");
  EXPECT_EQ(Captions(devices),
            (std::vector<std::string_view>{"General Information", "Driver Details",
                                           "Service Details", "Advanced Properties"}));
  EXPECT_EQ(devices.sections[1].imageIndex, 10);
}

}  // namespace
}  // namespace tavrin::pages

namespace tavrin::pages {
namespace {

// Fillers name sections by the enums beside the layouts; each enum must cover its layout.
TEST(PageLayouts, SectionEnumsMatchTheLayouts) {
  const std::pair<std::string_view, int> counts[] = {
      {"generalinfo", general_section::kCount},   {"wininfo", os_section::kCount},
      {"sysdevinfo", sysdev_section::kCount},     {"cpuadvinfo", cpuadv_section::kCount},
      {"displayinfo", display_section::kCount},   {"displayadvinfo", displayadv_section::kCount},
      {"memoryinfo", memory_section::kCount},     {"performinfo", perf_section::kCount},
      {"harddriveinfo", drives_section::kCount},  {"harddriveadvinfo", storage_section::kCount},
      {"programsinfo", programs_section::kCount}, {"ioinfo", io_section::kCount},
      {"networkinfo", network_section::kCount},   {"devicesinfo", devices_section::kCount}};
  ASSERT_EQ(std::size(counts), PageLayouts().size());
  for (const auto& [key, count] : counts) {
    const PageLayout* layout = FindPageLayout(key);
    ASSERT_NE(layout, nullptr) << key;
    EXPECT_EQ(static_cast<int>(layout->sections.size()), count) << key;
  }
}

}  // namespace
}  // namespace tavrin::pages
