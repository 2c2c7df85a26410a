#include "pages/io_port_rows.h"

#include <cstdio>

#include "collectors/devices/vsi_ports.h"
#include "collectors/system_info.h"
#include "pages/io_page_rows.h"
#include "pages/page_layouts.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages::io_rows {
namespace {

std::string HexAddress(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

}  // namespace

void AddParallelPortRows(const FillContext& ctx, Page& page, int section) {
  const auto& ports = ctx.info.Ports();
  for (const auto& p : ports.ParallelPorts) {
    const RowMeta meta{p.Source.source.empty() ? ports.Source : p.Source};
    std::vector<std::string> resources;
    if (p.Irq) resources.push_back(FormatText(lbl::S_IO_RES_IRQ, {std::to_string(*p.Irq)}));
    std::string addresses;
    for (uint32_t a : p.BaseAddresses) addresses += (addresses.empty() ? "" : ", ") + HexAddress(a);
    if (!addresses.empty()) resources.push_back(FormatText(lbl::S_IO_RES_IO, {addresses}));
    if (p.Dma) resources.push_back(FormatText(lbl::S_IO_PARALLEL_DMA, {std::to_string(*p.Dma)}));
    std::string modes;
    for (const auto& m : p.Modes) modes += (modes.empty() ? "" : ", ") + m;
    std::vector<std::string> notes;
    if (!modes.empty()) notes.push_back(FormatText(lbl::S_IO_PARALLEL_MODES, {modes}));
    if (!p.ActiveDevice.empty())
      notes.push_back(FormatText(lbl::S_IO_PARALLEL_IN_USE, {p.ActiveDevice}));
    AddItemEx(ctx, page, section, -1, FormatText(lbl::S_IO_PARALLEL_PORT, {p.Name}),
              Joined(resources), Joined(notes), false, 0, meta);
    if (p.Attached.empty()) continue;
    const auto& id = p.Attached;
    std::string name = id.Description;
    if (name.empty())
      name = id.Manufacturer + (id.Manufacturer.empty() || id.Model.empty() ? "" : " ") + id.Model;
    AddItemEx(ctx, page, section, -1, DetailLabel(lbl::S_IO_PARALLEL_ATTACHED), name, id.Class,
              false, 0, meta);
  }
}

}  // namespace tavrin::pages::io_rows
