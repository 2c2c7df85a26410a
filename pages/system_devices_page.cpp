// The system devices page: processor, caches, BIOS, board and memory modules.
#include "pages/system_devices_page.h"

#include "collectors/system_info.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

// What a section of the firmware's records says when the tables could not be had: which
// machine lacks them and the first route that explains it.
std::string NoFirmwareTablesReason(const FillContext& ctx) {
  const auto& smbios = ctx.info.Machine().SMBIOS;
  if (smbios.TableSource.ok()) return {};
  const platform::Provenance* why = nullptr;
  for (const auto& route : smbios.Routes)
    if (!route.ok() && !why) why = &route;
  if (!why) return FormatText(lbl::S_EMPTY_NO_FIRMWARE_SOURCE, {smbios.TableSource.Explain()});
  if (why->status == platform::Status::Missing) {
    const bool virtual_machine = ctx.info.CPU().UnderHypervisor();
    return FormatText(lbl::S_EMPTY_NO_FIRMWARE_TABLES,
                      {virtual_machine ? lbl::S_EMPTY_THIS_VM : lbl::S_EMPTY_THIS_MACHINE,
                       FormatText(lbl::S_EMPTY_PATH_MISSING, {why->source})});
  }
  if (why->status == platform::Status::PermissionDenied)
    return FormatText(lbl::S_EMPTY_NO_FIRMWARE_SOURCE,
                      {FormatText(lbl::S_EMPTY_PATH_NEEDS_ROOT, {why->source})});
  return FormatText(lbl::S_EMPTY_NO_FIRMWARE_SOURCE, {why->Explain()});
}

}  // namespace

void FillCpuPage(const FillContext& ctx, Page& page) {
  AddProcessorRows(ctx, page);
  AddFirmwareRows(ctx, page);
  AddFirmwareRecordRows(ctx, page);
  // Every firmware section that stayed empty says why once, in the same words.
  if (const std::string reason = NoFirmwareTablesReason(ctx); !reason.empty()) {
    for (int section = sysdev_section::kBios; section < sysdev_section::kCount; ++section)
      NoteEmptySection(page, section, reason);
  }
}

}  // namespace tavrin::pages
