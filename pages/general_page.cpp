// The General page: a summary of the machine.
// Its rows come with the collectors that feed it; until then the page shows its sections empty.
#include "pages/fillers.h"

namespace tavrin::pages {

void FillGeneralPage(gather::TGetFunctionsClass& controller, const void* sender) {
  FillPage(controller, sender, "generalinfo", [](Page&) {});
}

}  // namespace tavrin::pages
