// The operating system page.
// Its rows come with the collectors that feed it; until then the page shows its sections empty.
#include "pages/fillers.h"

namespace tavrin::pages {

void FillWindowsPage(gather::TGetFunctionsClass& controller, const void* sender) {
  FillPage(controller, sender, "wininfo", [](Page&) {});
}

}  // namespace tavrin::pages
