// The processor's rows of the system devices page: from CPUID, or, for a source that has none
// (a replayed SMBIOS dump), from the firmware's processor records.
#include <string>

#include "collectors/cpu/vsi_cpu.h"
#include "collectors/firmware/vsi_machine.h"
#include "collectors/system_info.h"
#include "pages/page_layouts.h"
#include "pages/system_devices_page.h"
#include "pages/value_format.h"
#include "text/format.h"
#include "text/labels.h"

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
    // Centaur designed the WinChip (sold by IDT) and every VIA processor since.
    case TCpuVendor::cvIDT:
      return "Centaur (VIA)";
    case TCpuVendor::cvNexGen:
      return "NexGen";
    case TCpuVendor::cvHygon:
      return "Hygon";
    case TCpuVendor::cvZhaoxin:
      return "Zhaoxin";
    default:
      return lbl::S_CPU_UNKNOWN;
  }
}

std::string Mhz(uint32_t mhz) {
  return mhz ? std::to_string(mhz) + lbl::S_COUNT_MHZ : std::string();
}

// A raw SMBIOS dump has no CPUID: the firmware's processor records (DMTF SMBIOS 7.5) say what
// the board has in its sockets.
void AddFirmwareProcessorRows(const FillContext& ctx, Page& page) {
  const auto& smbios = ctx.info.Machine().SMBIOS;
  const platform::Provenance& source = smbios.TableSource;
  const RowMeta meta{source, false};
  uint32_t threads = 0;
  for (const auto& p : smbios.Processors) threads += p.ThreadCount;
  const auto section = sysdev_section::kCpu;
  NoteEmptySection(page, sysdev_section::kCache, lbl::S_CPU_FROM_SMBIOS);
  AddItem(ctx, page, section, lbl::S_CPU_PHYSICAL_COUNT, std::to_string(smbios.ProcessorCount()),
          "", false, meta);
  if (threads)
    AddItem(ctx, page, section, lbl::S_CPU_LOGICAL_COUNT, std::to_string(threads), "", false, meta);
  for (const auto& p : smbios.Processors) {
    AddItem(ctx, page, section, lbl::S_CPU_SOCKET, p.Socket, "", false, meta);
    AddItem(ctx, page, section, lbl::S_CPU_VENODR, p.Manufacturer, "", false, meta);
    AddItem(ctx, page, section, lbl::S_CPU_NAME, p.Version, "", false, meta);
    AddItem(ctx, page, section, lbl::S_CPU_FREQ, Mhz(p.Frequency), "", false, meta);
    AddItem(ctx, page, section, lbl::S_CPU_MAX_FREQ, Mhz(p.MaxSpeed), "", false, meta);
    if (p.CoreCount)
      AddItem(ctx, page, section, lbl::S_CPU_CORE_COUNT, std::to_string(p.CoreCount), "", false,
              meta);
    if (p.ThreadCount)
      AddItem(ctx, page, section, lbl::S_CPU_LOGICAL_PER_PROC_COUNT, std::to_string(p.ThreadCount),
              "", false, meta);
  }
}

}  // namespace

/// A name looked up from the family and model a hypervisor reports is marked as such.
std::string MarkVirtual(const collectors::TVexa_CPU& cpu, const std::string& name) {
  if (name.empty() || !cpu.NamesFromVirtualSignature()) return name;
  return FormatText(lbl::S_CPU_AS_REPORTED_BY, {name, cpu.Hypervisor()});
}

/// The popular name; a hypervisor's generic brand is named as what it is.
std::string PopularName(const collectors::TVexa_CPU& cpu) {
  if (!cpu.GenericNameGiver().empty() && !cpu.CPUName().empty())
    return FormatText(lbl::S_CPU_GENERIC_NAME, {cpu.CPUName(), cpu.GenericNameGiver()});
  if (!cpu.PopularNameFromVirtualSignature()) return cpu.CPUName();
  return MarkVirtual(cpu, cpu.CPUName());
}

void AddProcessorRows(const FillContext& ctx, Page& page) {
  const collectors::TVexa_CPU& cpu = ctx.info.CPU();
  if (!cpu.CPUIDSupported() && cpu.MarketingName().empty() &&
      !ctx.info.Machine().SMBIOS.Processors.empty()) {
    AddFirmwareProcessorRows(ctx, page);
    return;
  }
  const RowMeta meta{cpu.Source(), false};
  const RowMeta serial{cpu.Source(), true};
  const auto section = sysdev_section::kCpu;

  AddItem(ctx, page, section, lbl::S_CPU_PHYSICAL_COUNT, std::to_string(cpu.CPUPhysicalCount()), "",
          false, meta);
  AddItem(ctx, page, section, lbl::S_CPU_LOGICAL_COUNT, std::to_string(cpu.CPUCount()), "", false,
          meta);
  AddItem(ctx, page, section, lbl::S_CPU_VENODR, VendorDisplayName(cpu.Vendor()), "", false, meta);
  AddItem(ctx, page, section, lbl::S_CPU_NAME, cpu.MarketingName(), "", false, meta);
  AddItem(ctx, page, section, lbl::S_CPU_ADD_NAME, cpu.GenericName(), "", false, meta);
  AddItem(ctx, page, section, lbl::S_CPU_POPULAR_NAME, PopularName(cpu), "", false, meta);
  AddItem(ctx, page, section, lbl::S_CPU_CODENAME, MarkVirtual(cpu, cpu.CodeName()), "", true,
          meta);
  AddItem(ctx, page, section, lbl::S_CPU_REVISION, cpu.Revision(), "", true, meta);
  // A source without a time-stamp counter rate measures nothing: no row, and --explain says why.
  AddItem(ctx, page, section, lbl::S_CPU_FREQ, Mhz(cpu.Frequency()), "", false,
          RowMeta{cpu.FrequencySource(), false,
                  Quantity::Of(uint64_t{cpu.Frequency()} * 1000000, QuantityUnit::kHertz)});
  // The serial number text is made of signature and feature words on every processor; only
  // with the processor serial number feature (Pentium III) is it a serial number.
  if (cpu.HasSerialNumberFeature())
    AddItem(ctx, page, section, lbl::S_CPU_SERIAL_NUM, cpu.SerialNumber(), "", false, serial);
  AddItem(ctx, page, section, lbl::S_CPU_HYPERVISOR, cpu.Hypervisor(), "", false, meta);

  // The same cache list as the processor properties page; the rows keep their KB format.
  const auto kb = cpu.SystemDevicesCacheKB();
  const std::string* labels[] = {&lbl::S_CPU_CACHE_1, &lbl::S_CPU_CACHE_2, &lbl::S_CPU_CACHE_3};
  for (int i = 0; i < 3; ++i)
    if (kb[i] > 0)
      AddItem(ctx, page, sysdev_section::kCache, *labels[i], FormatKilobytesText(kb[i]), "", i == 2,
              RowMeta{cpu.Source(), false, Quantity::Of(kb[i] * 1024, QuantityUnit::kBytes)});
}

}  // namespace tavrin::pages
