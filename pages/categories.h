// The category registry: one entry per information page, in registration order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pages/fill_context.h"

namespace tavrin::pages {

enum class NavigationGroup { System = 1, Hardware = 2, Other = 3 };

struct TSICategory {
  std::string_view key;             ///< "generalinfo"; its action is "act_si_" + key
  const std::string* caption;       ///< label variable, localized
  const std::string* description;   ///< label variable, rich text
  NavigationGroup group;
  int pageIndex;                    ///< page of the main window's page control
  int actionImageIndex;
  int titleImageIndex;
  bool advancedOnly;
  PageFiller filler;
};

/// The fourteen categories in registration order.
const std::vector<TSICategory>& TSICategoryList();
const TSICategory* FindCategory(std::string_view key);

}  // namespace tavrin::pages
