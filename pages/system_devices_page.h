// The system devices page in two parts: the processor's sections (CPU and cache) and the
// firmware's sections (BIOS, motherboard, memory), each kept beside the collector it reads.
#pragma once

#include "pages/page_model.h"

namespace tavrin::pages {

/// Sections 0 "CPU Information" and 1 "Cache Information".
void AddProcessorRows(const FillContext& ctx, Page& page);
/// Sections 2 "BIOS Information", 3 "Motherboard Information" and 4 "Memory".
void AddFirmwareRows(const FillContext& ctx, Page& page);
/// The advanced sections after them: machine, chassis, processor sockets, memory array, slots
/// and ports, on-board devices.
void AddFirmwareRecordRows(const FillContext& ctx, Page& page);

}  // namespace tavrin::pages
