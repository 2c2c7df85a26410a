// The system devices page: processor, caches, BIOS, board and memory modules.
#include "pages/system_devices_page.h"

#include "pages/fillers.h"

namespace tavrin::pages {

void FillCpuPage(const FillContext& ctx, Page& page) {
  {
    AddProcessorRows(ctx, page);
    AddFirmwareRows(ctx, page);
    AddFirmwareRecordRows(ctx, page);
  }
}

}  // namespace tavrin::pages
