// The processor's rows of the system devices page.
#include <string>

#include "text/format.h"
#include "text/labels.h"
#include "collectors/cpu/vsi_cpu.h"
#include "collectors/system_info.h"
#include "pages/system_devices_page.h"
#include "pages/page_layouts.h"
#include "pages/value_format.h"

namespace tavrin::pages {

using collectors::TCpuVendor;

namespace {

std::string VendorDisplayName(TCpuVendor vendor) {
  switch (vendor) {
    case TCpuVendor::cvIntel:
      return "Intel(R) Corporation";
    case TCpuVendor::cvAmd:
      return "AMD";
    case TCpuVendor::cvCyrix:
      return "Cyrix";
    case TCpuVendor::cvIDT:
      return "IDT";
    case TCpuVendor::cvNexGen:
      return "NexGen";
    default:
      return lbl::S_CPU_UNKNOWN;
  }
}

}  // namespace

/// A name looked up from the family and model a hypervisor reports is marked as such.
std::string MarkVirtual(const collectors::TVexa_CPU& cpu, const std::string& name) {
  if (name.empty() || !cpu.NamesFromVirtualSignature()) return name;
  return FormatText(lbl::S_CPU_AS_REPORTED_BY, {name, cpu.Hypervisor()});
}

void AddProcessorRows(const FillContext& ctx, Page& page) {
  const collectors::TVexa_CPU& cpu = ctx.info.CPU();
  const RowMeta meta{cpu.Source(), false};
  const RowMeta serial{cpu.Source(), true};

  AddItem(ctx, page, sysdev_section::kCpu, lbl::S_CPU_PHYSICAL_COUNT, std::to_string(cpu.CPUPhysicalCount()),
          "", false, meta);
  AddItem(ctx, page, sysdev_section::kCpu, lbl::S_CPU_LOGICAL_COUNT, std::to_string(cpu.CPUCount()), "", false,
          meta);
  AddItem(ctx, page, sysdev_section::kCpu, lbl::S_CPU_VENODR, VendorDisplayName(cpu.Vendor()), "", false, meta);
  AddItem(ctx, page, sysdev_section::kCpu, lbl::S_CPU_NAME, cpu.MarketingName(), "", false, meta);
  AddItem(ctx, page, sysdev_section::kCpu, lbl::S_CPU_ADD_NAME, cpu.GenericName(), "", false, meta);
  AddItem(ctx, page, sysdev_section::kCpu, lbl::S_CPU_POPULAR_NAME, MarkVirtual(cpu, cpu.CPUName()), "", false,
          meta);
  AddItem(ctx, page, sysdev_section::kCpu, lbl::S_CPU_CODENAME, MarkVirtual(cpu, cpu.CodeName()), "", true,
          meta);
  AddItem(ctx, page, sysdev_section::kCpu, lbl::S_CPU_REVISION, cpu.Revision(), "", true, meta);
  // A source without a time-stamp counter rate measures nothing: no row, and --explain says why.
  AddItem(ctx, page, sysdev_section::kCpu, lbl::S_CPU_FREQ,
          cpu.Frequency() ? std::to_string(cpu.Frequency()) + " " + lbl::S_COUNT_MHZ : "", "",
          false, RowMeta{cpu.FrequencySource(), false});
  AddItem(ctx, page, sysdev_section::kCpu, lbl::S_CPU_SERIAL_NUM, cpu.SerialNumber(), "", false, serial);

  const auto& cache = cpu.Cache();
  const uint64_t l1 = static_cast<uint64_t>(cache.Level1.Data.Size) + cache.Level1.Code.Size;
  if (l1 > 0)
    AddItem(ctx, page, sysdev_section::kCache, lbl::S_CPU_CACHE_1, FormatKilobytesText(l1), "", false, meta);
  if (cache.Level2.Size > 0)
    AddItem(ctx, page, sysdev_section::kCache, lbl::S_CPU_CACHE_2, FormatKilobytesText(cache.Level2.Size), "",
            false, meta);
  if (cache.Level3.Size > 0)
    AddItem(ctx, page, sysdev_section::kCache, lbl::S_CPU_CACHE_3, FormatKilobytesText(cache.Level3.Size), "",
            true, meta);
}

}  // namespace tavrin::pages
