// Section layout of every information page: which list a page fills and the captioned
// sections that list holds, fixed at design time. Fillers address sections by index, and the
// report and clipboard text read the captions back, so both rely on this one table.
#pragma once

#include <string_view>
#include <vector>

namespace tavrin::pages {

/// Image index of a section that shows no section image.
inline constexpr int kNoSectionImage = -1;

struct SectionLayout {
  std::string_view caption;
  int imageIndex;
};

struct PageLayout {
  std::string_view categoryKey;
  std::string_view listName;
  std::vector<SectionLayout> sections;
};

/// Layouts of the fourteen category pages in category registration order:
/// generalinfo, wininfo, sysdevinfo, cpuadvinfo, displayinfo, displayadvinfo, memoryinfo,
/// performinfo, harddriveinfo, harddriveadvinfo, programsinfo, ioinfo, networkinfo, devicesinfo.
const std::vector<PageLayout>& PageLayouts();

/// The layout of the page with that category key, or nullptr when there is none.
const PageLayout* FindPageLayout(std::string_view categoryKey);

}  // namespace tavrin::pages
