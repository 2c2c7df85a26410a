// The system devices page: processor, BIOS, board and memory.
// Its rows come with the collectors that feed it; until then the page shows its sections empty.
#include "pages/fillers.h"

namespace tavrin::pages {

void FillCpuPage(gather::TGetFunctionsClass& controller, const void* sender) {
  FillPage(controller, sender, "sysdevinfo", [](Page&) {});
}

}  // namespace tavrin::pages
