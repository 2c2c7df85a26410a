// The system devices page: processor, caches, BIOS, board and memory modules.
#include "pages/cpu_page.h"

#include "pages/fillers.h"

namespace tavrin::pages {

void FillCpuPage(gather::TGetFunctionsClass& controller, const void* sender) {
  FillPage(controller, sender, "sysdevinfo", [&controller](Page& page) {
    AddProcessorRows(controller, page);
    AddFirmwareRows(controller, page);
  });
}

}  // namespace tavrin::pages
