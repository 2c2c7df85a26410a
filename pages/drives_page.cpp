// The drives page.
// Its rows come with the collectors that feed it; until then the page shows its sections empty.
#include "pages/fillers.h"

namespace tavrin::pages {

void FillDrivesPage(gather::TGetFunctionsClass& controller, const void* sender) {
  FillPage(controller, sender, "harddriveinfo", [](Page&) {});
}

}  // namespace tavrin::pages
