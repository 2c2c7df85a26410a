// The performance page: counts of what runs, from the last gathering. The window adds the live
// monitors of processor, memory and swap load beside it.
#include <algorithm>

#include "collectors/os/vsi_startup.h"
#include "collectors/system/vsi_process_list.h"
#include "collectors/system_info.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "text/format.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using namespace perf_section;

RowMeta Count(const platform::Provenance& source, int64_t n) {
  return RowMeta{source, false,
                 Quantity::Of(static_cast<uint64_t>(n < 0 ? 0 : n), QuantityUnit::kCount)};
}

// A count row, or the reason its list could not be read.
void AddCount(const FillContext& ctx, Page& page, int section, const std::string& label, int64_t n,
              const platform::Provenance& source, bool advanced = false) {
  if (!source.ok()) {
    NoteEmptySection(page, section,
                     source.source.empty() ? lbl::S_MEM_LIST_PENDING : source.Explain());
    return;
  }
  AddItem(ctx, page, section, label, std::to_string(n), "", advanced, Count(source, n));
}

// Programs started with the system or the session. Browser helper objects exist only in a
// Windows registry; a Linux system gets no row for them.
void AddStartupCounts(const FillContext& ctx, Page& page) {
  auto startup = ctx.info.Find<collectors::TVexa_Startup>();
  if (!startup) return;
  platform::Provenance source;
  for (const auto& location : startup->Locations())
    if (location.source.ok()) {
      source = location.source;
      break;
    }
  // No location could be read: the Programs page says why.
  if (!source.ok()) return;
  AddCount(ctx, page, kApplications, lbl::S_PERF_STARTUP, startup->RunsCount(), source);
  if (!text::DescribesLinux(*startup->SharedServices()))
    AddCount(ctx, page, kApplications, lbl::S_PERF_BHO,
             static_cast<int64_t>(startup->BHO_Runs.size()), source);
}

}  // namespace

void FillPerformancePage(const FillContext& ctx, Page& page) {
  auto list = ctx.info.Find<collectors::TVexa_ProcessList>();
  if (!list) return;
  const auto& procs = list->ProcessSource;
  AddCount(ctx, page, kApplications, lbl::S_PERF_PROCESSES, list->ProcessCount(), procs);
  AddCount(ctx, page, kApplications, lbl::S_PERF_THREADS, list->ThreadCount(), procs, true);
  AddCount(ctx, page, kApplications, lbl::S_PERF_HANDLES, list->ProcessHandleCount(), procs, true);
  // Without a desktop session there are no windows to count; that is no failure of the page.
  if (list->WindowSource.ok())
    AddCount(ctx, page, kApplications, lbl::S_PERF_WINDOWS, list->WindowCount(),
             list->WindowSource);
  AddStartupCounts(ctx, page);
  const auto& services = list->ServiceSource;
  AddCount(ctx, page, kServices, lbl::S_PERF_SERVICES, list->ServiceCount(), services);
  // Unit files read without the service manager hold no states: a count of 0 would claim
  // that nothing runs.
  const bool statesKnown =
      list->RunningServiceCount() > 0 ||
      std::none_of(list->Services().begin(), list->Services().end(),
                   [](const auto& s) { return s.status == platform::ServiceState::kUnknown; });
  if (services.ok() && !statesKnown) {
    const std::string& why = services.detail.empty() ? services.source : services.detail;
    AddItem(ctx, page, kServices, lbl::S_PERF_RUNNING_SERVICES, lbl::S_NA,
            FormatText(lbl::S_MEM_NO_SERVICE_RUNNING, {why}), false, RowMeta{services});
  } else {
    AddCount(ctx, page, kServices, lbl::S_PERF_RUNNING_SERVICES, list->RunningServiceCount(),
             services);
  }
  AddCount(ctx, page, kServices, lbl::S_PERF_STARTUP_SERVICES, list->AutomaticServiceCount(),
           services);
  AddCount(ctx, page, kDrivers, lbl::S_PERF_RUNNING_DRIVES, list->DriverCount(),
           list->DriverSource);
}

}  // namespace tavrin::pages
