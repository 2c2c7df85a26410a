#include "pages/section_sources.h"

#include <chrono>
#include <string>
#include <utility>

#include "collectors/system_info.h"
#include "pages/page_layouts.h"
#include "pages/page_model.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using Names = std::vector<std::string_view>;

struct PageSources {
  std::string_view categoryKey;
  std::vector<Names> sections;  // in the order of the page's layout
};

// Only the collectors a section cannot do without are named: the processor section reads the
// firmware's processor record too, but shows its rows from the processor collector alone. A
// section read afresh at every fill (this program's own environment) names none.
const std::vector<PageSources>& SourceTable() {
  static const std::vector<PageSources> table = {
      {"generalinfo",
       {{"OperatingSystem"},
        {"Machine", "CPU", "Display", "Memory", "Printers", "Devices"},
        {"Software", "ProcessList", "Engines"}}},
      {"wininfo", {{"OperatingSystem"}, {"OperatingSystem", "Machine"}, {}, {"OperatingSystem"}}},
      {"sysdevinfo",
       {{"CPU"},
        {"CPU"},
        {"Machine"},
        {"Machine"},
        {"Machine"},
        {"Machine"},
        {"Machine"},
        {"Machine"},
        {"Machine"},
        {"Machine"},
        {"Machine"}}},
      {"cpuadvinfo", {{"CPU"}, {"CPU"}, {"CPU"}, {"CPU"}}},
      {"displayinfo", {{"Display"}, {"Monitor"}}},
      {"displayadvinfo",
       {{"Display"}, {"Display"}, {"Display"}, {"Display"}, {"Display"}, {"Display"}}},
      {"memoryinfo", {{"ProcessList"}, {"ProcessList"}, {"Memory"}}},
      {"performinfo", {{"ProcessList"}, {"ProcessList"}, {"ProcessList"}}},
      {"harddriveinfo", {{"Disk"}, {"Disk"}, {"Disk"}, {"Disk"}}},
      {"harddriveadvinfo", {{"Storage"}, {"Storage"}, {"Storage"}, {"Storage"}, {"Storage"}}},
      {"programsinfo",
       {{"Engines"}, {"Engines"}, {"Engines"}, {"Software"}, {"ProcessList"}, {"Startup"}}},
      {"ioinfo",
       {{"Machine", "Devices", "Ports"}, {"USB"}, {"Printers"}, {"Media"}, {"Bluetooth"}, {"APM"}}},
      {"networkinfo", {{"Network"}, {"Network"}, {"Network"}, {"Network"}, {"Network"}}},
      {"devicesinfo", {{"Devices"}, {"Devices"}, {"Devices"}, {"Devices"}}},
  };
  return table;
}

std::string TimedOutText(const std::string& names, std::chrono::milliseconds limit) {
  return FormatText(lbl::S_EMPTY_TIMED_OUT, {names, std::to_string(limit.count())});
}

}  // namespace

const std::vector<std::string_view>& SectionCollectors(std::string_view categoryKey,
                                                       int sectionIndex) {
  static const Names none;
  for (const PageSources& page : SourceTable()) {
    if (page.categoryKey != categoryKey) continue;
    if (sectionIndex < 0 || static_cast<std::size_t>(sectionIndex) >= page.sections.size())
      return none;
    return page.sections[static_cast<std::size_t>(sectionIndex)];
  }
  return none;
}

void NoteAbandonedCollectors(const FillContext& ctx, Page& page) {
  auto& sections = page.Sections();
  for (std::size_t i = 0; i < sections.size(); ++i) {
    Section& section = sections[i];
    const Names& feeders = SectionCollectors(page.categoryKey(), static_cast<int>(i));
    std::vector<std::pair<std::string_view, std::chrono::milliseconds>> abandoned;
    for (std::string_view name : feeders)
      if (auto limit = ctx.info.AbandonedAfter(name)) abandoned.emplace_back(name, *limit);
    if (abandoned.empty()) continue;
    if (abandoned.size() == feeders.size()) {
      // Nothing in the section came from a collector that answered.
      std::string names;
      for (const auto& [name, limit] : abandoned)
        names += (names.empty() ? "" : ", ") + std::string(name);
      section.Items.clear();
      section.missing.clear();
      section.note = TimedOutText(names, abandoned.front().second);
      continue;
    }
    for (const auto& [name, limit] : abandoned)
      section.missing.push_back({std::string(name), TimedOutText(std::string(name), limit),
                                 IdentifierOf(name), section.Items.size()});
  }
}

void ExplainFilledPage(const FillContext& ctx, Page& page) {
  NoteAbandonedCollectors(ctx, page);
  ExplainEmptySections(page);
}

}  // namespace tavrin::pages
