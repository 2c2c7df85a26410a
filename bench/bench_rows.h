// A fill context for adding rows outside any gathering: an aggregate with no collectors.
#pragma once

#include <memory>
#include <vector>

#include "collectors/system_info.h"
#include "pages/fill_context.h"

namespace tavrin::bench {

struct BenchRows {
  const collectors::TVexa_SystemInfo info{std::make_shared<const platform::Services>(),
                                          std::vector<collectors::TVexa_SystemInfo::Factory>{}};
  pages::PageSummary summary;
  const pages::FillContext ctx{info, false, summary};
};

}  // namespace tavrin::bench
