// The performance page.
// Its rows come with the collectors that feed it; until then the page shows its sections empty.
#include "pages/fillers.h"

namespace tavrin::pages {

void FillPerformancePage(gather::TGetFunctionsClass& controller, const void* sender) {
  FillPage(controller, sender, "performinfo", [](Page&) {});
}

}  // namespace tavrin::pages
