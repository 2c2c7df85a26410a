// The parallel port rows of the I/O page's Ports section.
#pragma once

#include "pages/fill_context.h"
#include "pages/page_model.h"

namespace tavrin::pages::io_rows {

/// One row per parallel port the kernel drives (addresses, IRQ, DMA, modes, the driver using
/// it) and one for the device attached to it. No row when the machine has none.
void AddParallelPortRows(const FillContext& ctx, Page& page, int section);

}  // namespace tavrin::pages::io_rows
