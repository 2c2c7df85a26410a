// The device manager page.
// Its rows come with the collectors that feed it; until then the page shows its sections empty.
#include "pages/fillers.h"

namespace tavrin::pages {

void FillDevicesPage(gather::TGetFunctionsClass& controller, const void* sender) {
  FillPage(controller, sender, "devicesinfo", [](Page&) {});
}

}  // namespace tavrin::pages
