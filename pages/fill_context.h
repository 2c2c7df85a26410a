// What a page filler is given: the gathered collectors, the mode, and the summary texts it may
// leave for the report header. Fillers know nothing of the gathering that produced the data.
#pragma once

#include <string>

namespace tavrin::collectors {
class TVexa_SystemInfo;
}

namespace tavrin::pages {

class Page;

/// Summary texts the General page writes and the report header reads.
struct PageSummary {
  std::string windows_name;
  std::string system_name;
  std::string processor_name;
  std::string installed_memory;
};

struct FillContext {
  const collectors::TVexa_SystemInfo& info;
  /// Advanced mode: rows marked advanced-only are shown.
  bool advanced = false;
  PageSummary& summary;
};

/// A page filler: adds its page's rows (the page is cleared before) from the collectors.
using PageFiller = void (*)(const FillContext& ctx, Page& page);

}  // namespace tavrin::pages
