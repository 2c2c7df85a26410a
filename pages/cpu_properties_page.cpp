// The advanced processor page: identification details, the classic feature list, every cache
// the processor describes, and the instruction set extensions of current processors.
#include <set>
#include <string>

#include "base/strings.h"
#include "collectors/cpu/vsi_cpu.h"
#include "collectors/system_info.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "pages/value_format.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {

std::string MarkVirtual(const collectors::TVexa_CPU& cpu,
                        const std::string& name);  // system_devices_processor.cpp

namespace {

using base::Lower;

std::string CacheLabel(const collectors::CacheLevelInfo& c) {
  return FormatText(lbl::S_CPU_CACHE_LEVEL, {std::to_string(c.level), c.type});
}

// Sizes of a megabyte and more read in MB ("480 MB", "1.25 MB"); smaller ones in KB.
std::string CacheSizeText(uint64_t bytes) {
  constexpr uint64_t kMB = 1024 * 1024;
  if (bytes < kMB) return FormatKilobytesText(bytes / 1024);
  const uint64_t hundredths = (bytes * 100 + kMB / 2) / kMB;
  std::string text = std::to_string(hundredths / 100);
  if (const uint64_t frac = hundredths % 100; frac != 0) {
    text += '.' + std::to_string(frac / 10);
    if (frac % 10) text += std::to_string(frac % 10);
  }
  return text + lbl::S_COUNT_MB;
}

std::string ArchitectureText(const collectors::TVexa_CPU& cpu) {
  if (cpu.Architecture() == 6) return lbl::S_COUNT_IA64_FAMILY;
  return cpu.LongMode() ? lbl::S_COUNT_X86_64_FAMILY : lbl::S_COUNT_X86_FAMILY;
}

// Whether the package really runs two threads per core, whatever the HTT bit allows.
std::string SmtText(const collectors::TVexa_CPU& cpu) {
  if (cpu.ThreadsPerCore() == 0 || cpu.PackageCores() == 0) return {};
  if (cpu.ThreadsPerCore() < 2) return lbl::S_CPU_SMT_INACTIVE;
  return FormatText(lbl::S_CPU_SMT_ACTIVE,
                    {std::to_string(cpu.PackageThreads()), std::to_string(cpu.PackageCores())});
}

std::string CacheValue(const collectors::CacheLevelInfo& c) {
  std::string v = CacheSizeText(c.sizeBytes);
  v += c.fullyAssociative || c.ways == 0
           ? lbl::S_CPU_CACHE_FULLY_ASSOCIATIVE
           : FormatText(lbl::S_CPU_CACHE_WAYS, {std::to_string(c.ways)});
  v += FormatText(lbl::S_CPU_CACHE_LINE, {std::to_string(c.lineSize)});
  if (c.sharedBy > 0) v += FormatText(lbl::S_CPU_CACHE_SHARED, {std::to_string(c.sharedBy)});
  return v;
}

void AddRows(const FillContext& ctx, Page& page) {
  const collectors::TVexa_CPU& cpu = ctx.info.CPU();
  const RowMeta meta{cpu.Source(), false};
  const auto count = [&](uint64_t n) {
    return RowMeta{cpu.Source(), false, Quantity::Of(n, QuantityUnit::kCount)};
  };

  // Section 0: identification details.
  AddItem(ctx, page, cpuadv_section::kAdvanced, lbl::S_CPU_TECHNOLOGY,
          MarkVirtual(cpu, cpu.Technology()), "", false, meta);
  AddItem(ctx, page, cpuadv_section::kAdvanced, lbl::S_CPU_ARCHITECTURE, ArchitectureText(cpu), "",
          false, meta);
  if (cpu.CPUIDSupported()) {
    AddItem(ctx, page, cpuadv_section::kAdvanced, lbl::S_CPU_STEPPING,
            std::to_string(cpu.Stepping()), "", false, meta);
    AddItem(ctx, page, cpuadv_section::kAdvanced, lbl::S_CPU_APICID, std::to_string(cpu.APICID()),
            "", false, meta);
    AddItem(ctx, page, cpuadv_section::kAdvanced, lbl::S_CPU_ID, std::to_string(cpu.PhysicalID()),
            "", false, meta);
    AddItem(ctx, page, cpuadv_section::kAdvanced, lbl::S_CPU_LID, std::to_string(cpu.LogicalID()),
            "", false, meta);
    AddItem(ctx, page, cpuadv_section::kAdvanced, lbl::S_CPU_CORE_COUNT,
            std::to_string(cpu.CorePerPackage()), "", false, count(cpu.CorePerPackage()));
    AddItem(ctx, page, cpuadv_section::kAdvanced, lbl::S_CPU_LOGICAL_PER_PROC_COUNT,
            std::to_string(cpu.LogicalPerPackage()), "", false, count(cpu.LogicalPerPackage()));
    AddItem(ctx, page, cpuadv_section::kAdvanced, lbl::S_CPU_SMT, SmtText(cpu), "", false, meta);
  }
  AddItem(ctx, page, cpuadv_section::kAdvanced, lbl::S_CPU_HYPERVISOR, cpu.Hypervisor(), "", true,
          meta);

  // Section 1: the five feature sets, each name once (its first occurrence decides).
  std::set<std::string> shown;
  const auto& f = cpu.Features();
  for (const auto* set :
       {&f.Standard1, &f.Standard2, &f.Extended1, &f.Extended2, &f.PowerManagement}) {
    for (const auto& r : set->Records()) {
      if (!shown.insert(Lower(r.name)).second) continue;
      AddItemEx(ctx, page, cpuadv_section::kFeatures, r.available ? 0 : 1, r.description,
                r.available ? lbl::S_SUPPORTED : lbl::S_NOTSUPPORTED, r.name, false, 0, meta);
    }
  }

  // Section 2: every cache the processor (or the kernel) lists.
  for (const auto& c : cpu.CacheDetails())
    AddItem(ctx, page, cpuadv_section::kCacheDetails, CacheLabel(c), CacheValue(c), "", false,
            RowMeta{cpu.Source(), false,
                    Quantity::Of(static_cast<uint64_t>(c.sizeBytes), QuantityUnit::kBytes)});

  // Section 3: instruction set extensions and hybrid core types.
  for (const auto& t : cpu.CoreTypes())
    AddItem(ctx, page, cpuadv_section::kExtensions, FormatText(lbl::S_CPU_CORE_TYPE, {t.type}),
            FormatText(lbl::S_CPU_CORE_TYPE_COUNT,
                       {std::to_string(t.cores), std::to_string(t.threads)}),
            "", false, meta);
  for (const auto& e : cpu.Extensions())
    AddItemEx(ctx, page, cpuadv_section::kExtensions, e.available ? 0 : 1, e.description,
              e.available ? lbl::S_SUPPORTED : lbl::S_NOTSUPPORTED, e.name, false, 0, meta);
}

}  // namespace

void FillCpuAdvancedPage(const FillContext& ctx, Page& page) {
  AddRows(ctx, page);
}

}  // namespace tavrin::pages
