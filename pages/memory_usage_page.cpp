// The memory usage page: the running processes with their working sets, the running services,
// and the memory status. The window adds the pie of free, used and selected memory.
#include "collectors/system/vsi_memory.h"
#include "collectors/system/vsi_process_list.h"
#include "collectors/system_info.h"
#include "helpers/accessors.h"
#include "pages/fillers.h"
#include "pages/memory_rows.h"
#include "pages/page_layouts.h"
#include "pages/value_format.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using namespace memory_section;
using collectors::TVexa_Memory;
using collectors::TVexa_ProcessList;

RowMeta Bytes(const platform::Provenance& source, uint64_t bytes) {
  return RowMeta{source, false, Quantity::Of(bytes, QuantityUnit::kBytes)};
}

void AddProcessRows(const FillContext& ctx, Page& page, const TVexa_ProcessList& list) {
  for (const auto& p : list.Processes()) {
    // Kernel threads own no memory of their own; listed, they would bury the programs.
    if (p.kernelThread) continue;
    const uint64_t workingSet = p.memory ? p.memory->workingSet : 0;
    const std::string memory = helpers::Helper().FormatBytes(
        helpers::kFormatKilobytesWhole, UserThousandSeparator(), workingSet, 0, 0, "");
    // A program whose executable may not be read (another user's) still has its command line;
    // only what has neither is a process of the system.
    const std::string& comment = !p.imageName.empty()     ? p.imageName
                                 : !p.commandLine.empty() ? p.commandLine
                                                          : lbl::S_MEM_SYSTEM_PROCESS;
    RowMeta meta = Bytes(list.ProcessSource, workingSet);
    AddItemEx(ctx, page, kProcesses, 0, p.name, memory, comment, false,
              static_cast<int>(workingSet / 1024), meta);
  }
  if (list.ProcessSource.source.empty()) {
    // Not refreshed yet: the gathering reads the process list after the other pages.
    NoteEmptySection(page, kProcesses, lbl::S_MEM_LIST_PENDING);
  } else if (!list.ProcessSource.ok()) {
    NoteEmptySection(page, kProcesses, list.ProcessSource.Explain());
  }
}

void AddServiceRows(const FillContext& ctx, Page& page, const TVexa_ProcessList& list) {
  bool anyUnknown = false;
  for (const auto& s : list.Services()) {
    anyUnknown = anyUnknown || s.status == platform::ServiceState::kUnknown;
    if (static_cast<int32_t>(s.status) < 2) continue;  // stopped, or state not readable
    AddItemEx(ctx, page, kServices, 0, s.displayName, lbl::S_COUNT_NA, s.imageName, false, 0,
              RowMeta{list.ServiceSource});
  }
  if (list.ServiceSource.source.empty()) {
    NoteEmptySection(page, kServices, lbl::S_MEM_LIST_PENDING);
    return;
  }
  if (!list.ServiceSource.ok()) {
    NoteEmptySection(page, kServices, list.ServiceSource.Explain());
  } else if (anyUnknown) {
    const std::string& why =
        list.ServiceSource.detail.empty() ? list.ServiceSource.source : list.ServiceSource.detail;
    NoteEmptySection(page, kServices, FormatText(lbl::S_MEM_NO_SERVICE_RUNNING, {why}));
  }
}

std::string Hex(uint64_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(v));
  return text;
}

void AddStatusRows(const FillContext& ctx, Page& page, const TVexa_Memory& m) {
  const auto& src = m.Source;
  if (!m.Available) {
    NoteEmptySection(page, kStatus, src.Explain());
    return;
  }
  auto size = [](int64_t bytes) { return FormatByteSizeText(static_cast<uint64_t>(bytes)); };
  auto u = [](int64_t bytes) { return static_cast<uint64_t>(bytes); };
  AddItem(ctx, page, kStatus, lbl::S_MEM_PHYS_TOTAL, InstalledMemoryText(u(m.PhysicalTotal)), "",
          false, Bytes(src, u(m.PhysicalTotal)));
  AddItem(ctx, page, kStatus, lbl::S_MEM_PHYS_FREE, size(m.PhysicalFree), "", false,
          Bytes(src, u(m.PhysicalFree)));
  AddItem(ctx, page, kStatus, lbl::S_MEM_LOAD,
          FormatText(lbl::S_MEM_PERCENT, {std::to_string(m.MemoryLoad)}), "", false,
          RowMeta{src, false, Quantity::Of(m.MemoryLoad, QuantityUnit::kPercent)});
  AddItem(ctx, page, kStatus, lbl::S_MEM_PAGEFILE_TOTAL, size(m.PageFileTotal), "", false,
          Bytes(src, u(m.PageFileTotal)));
  AddItem(ctx, page, kStatus, lbl::S_MEM_PAGEFILE_FREE, size(m.PageFileFree), "", false,
          Bytes(src, u(m.PageFileFree)));
  AddItem(ctx, page, kStatus, lbl::S_MEM_COMMIT_LIMIT, size(m.CommitLimit), "", true,
          Bytes(src, u(m.CommitLimit)));
  AddItem(ctx, page, kStatus, lbl::S_MEM_COMMITTED, size(m.Committed), "", true,
          Bytes(src, u(m.Committed)));
  AddItem(ctx, page, kStatus, lbl::S_MEM_VIRTUAL_TOTAL, size(m.VirtualTotal), "", true,
          Bytes(src, u(m.VirtualTotal)));
  AddItem(ctx, page, kStatus, lbl::S_MEM_VIRTUAL_FREE, size(m.VirtualFree), "", true,
          Bytes(src, u(m.VirtualFree)));
  if (m.PageSize > 0) {
    AddItem(ctx, page, kStatus, lbl::S_MEM_PAGE_SIZE, size(m.PageSize), "", true,
            Bytes(src, m.PageSize));
    AddItem(ctx, page, kStatus, lbl::S_MEM_ALLOC_GRANULARITY, size(m.AllocGranularity), "", true,
            Bytes(src, m.AllocGranularity));
  }
  if (m.MaxAppAddress > 0) {
    AddItem(ctx, page, kStatus, lbl::S_MEM_MIN_ADDRESS, Hex(m.MinAppAddress), "", true, {src});
    AddItem(ctx, page, kStatus, lbl::S_MEM_MAX_ADDRESS, Hex(m.MaxAppAddress), "", true, {src});
  }
}

}  // namespace

void FillMemoryPage(const FillContext& ctx, Page& page) {
  if (auto list = ctx.info.Find<TVexa_ProcessList>()) {
    AddProcessRows(ctx, page, *list);
    AddServiceRows(ctx, page, *list);
  }
  if (auto memory = ctx.info.Find<TVexa_Memory>()) AddStatusRows(ctx, page, *memory);
}

}  // namespace tavrin::pages
