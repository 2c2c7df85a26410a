#include <exception>

#include "gather/controller.h"
#include "helpers/debug_log.h"
#include "pages/fillers.h"

namespace tavrin::pages {

void FillPage(gather::TGetFunctionsClass& controller, const void* sender,
              std::string_view categoryKey, const std::function<void(Page&)>& addRows) {
  if (!controller.ShowCategoryPage(sender)) return;
  if (controller.InProgress()) return;
  Page* page = controller.FindPage(categoryKey);
  if (page == nullptr) return;
  page->ClearItems();
  try {
    addRows(*page);
  } catch (const std::exception& e) {
    // A value that failed to format ends this refill; the rows added so far stay.
    helpers::DebugLog("Filling page " + std::string(categoryKey) + " stopped: " + e.what());
  }
}

}  // namespace tavrin::pages
