// The advanced sections of the system devices page: the firmware's records in full (machine,
// chassis, processor sockets and caches, memory arrays, slots and ports, on-board devices),
// and two cross-checks of the firmware against what the running system sees.
#include <cstdio>

#include "collectors/firmware/smbios_names.h"
#include "collectors/firmware/smbios_text.h"
#include "collectors/system_info.h"
#include "pages/page_layouts.h"
#include "pages/system_devices_page.h"
#include "pages/value_format.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

namespace sm = collectors::smbios;
using collectors::TVexa_Machine;
using collectors::TVexa_SMBIOS;
using platform::DmiField;
using sm::Shown;

// Every row here is advanced-only.
void Row(const FillContext& c, Page& page, int section, std::string_view label,
         std::string_view value, const RowMeta& meta) {
  AddItem(c, page, section, label, value, "", true, meta);
}

std::string Number(uint64_t n) {
  return n ? std::to_string(n) : std::string();
}

std::string Mhz(uint16_t mhz) {
  return mhz == 0 || mhz == 0xFFFF ? std::string() : std::to_string(mhz) + lbl::S_COUNT_MHZ;
}

// "Name, Name2, Name3", skipping empty parts.
std::string Joined(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (auto part : parts) {
    if (part.empty()) continue;
    if (!out.empty()) out += ", ";
    out += part;
  }
  return out;
}

std::string PciText(const collectors::TSMBIOS_PciAddress& a) {
  char text[24];
  std::snprintf(text, sizeof text, "%04x:%02x:%02x.%x", a.Segment, a.Bus, a.DeviceFunction >> 3,
                a.DeviceFunction & 7);
  return text;
}

// Lane counts from the data bus width codes 08h..0Eh; older codes name bits.
std::string WidthName(uint8_t code) {
  return std::string(sm::NameOfCode(sm::SlotDataBusNames(), code));
}

void AddMachineRows(const FillContext& c, Page& page, const TVexa_SMBIOS& s) {
  constexpr int k = sysdev_section::kMachine;
  Row(c, page, k, lbl::S_SMB_MANUFACTURER, Shown(s.SystemManufacturer),
      {s.ValueSource(DmiField::SystemVendor)});
  Row(c, page, k, lbl::S_SMB_PRODUCT, Shown(s.SystemProductName),
      {s.ValueSource(DmiField::ProductName)});
  Row(c, page, k, lbl::S_SMB_VERSION, Shown(s.SystemVersion),
      {s.ValueSource(DmiField::ProductVersion)});
  Row(c, page, k, lbl::S_SMB_FAMILY, Shown(s.SystemFamily),
      {s.ValueSource(DmiField::ProductFamily)});
  Row(c, page, k, lbl::S_SMB_SKU, Shown(s.SystemSKU), {s.ValueSource(DmiField::ProductSku)});
  Row(c, page, k, lbl::S_SMB_SERIAL, Shown(s.SystemSerial),
      {s.ValueSource(DmiField::ProductSerial), true});
  Row(c, page, k, lbl::S_SMB_UUID, s.SystemUUIDText, {s.ValueSource(DmiField::ProductUuid), true});
  if (s.SystemWakeUpType > 2)  // 0 reserved, 1 other, 2 unknown say nothing
    Row(c, page, k, lbl::S_SMB_WAKEUP, sm::NameOf(sm::WakeUpTypeNames(), s.SystemWakeUpType),
        {s.TableSource});
  for (std::size_t i = 0; i < s.OEMStrings.size(); ++i)
    Row(c, page, k, FormatText(lbl::S_SMB_OEM_STRING, {std::to_string(i + 1)}),
        Shown(s.OEMStrings[i]), {s.TableSource});
}

void AddChassisRows(const FillContext& c, Page& page, const TVexa_SMBIOS& s) {
  constexpr int k = sysdev_section::kChassis;
  if (s.ChassisTypeCode != 0)
    Row(c, page, k, lbl::S_SMB_CHASSIS_TYPE, sm::NameOfCode(sm::ChassisNames(), s.ChassisTypeCode),
        {s.ValueSource(DmiField::ChassisType)});
  Row(c, page, k, lbl::S_SMB_MANUFACTURER, Shown(s.ChassisManufacturer),
      {s.ValueSource(DmiField::ChassisVendor)});
  Row(c, page, k, lbl::S_SMB_VERSION, Shown(s.ChassisVersion),
      {s.ValueSource(DmiField::ChassisVersion)});
  Row(c, page, k, lbl::S_SMB_SERIAL, Shown(s.ChassisSerial),
      {s.ValueSource(DmiField::ChassisSerial), true});
  Row(c, page, k, lbl::S_SMB_ASSET_TAG, Shown(s.ChassisAssetTag),
      {s.ValueSource(DmiField::ChassisAssetTag), true});
  Row(c, page, k, lbl::S_SMB_SKU, Shown(s.ChassisSKU), {s.TableSource});
  if (!s.TableSource.ok()) return;  // the rest is in the tables only
  Row(c, page, k, lbl::S_SMB_CHASSIS_LOCK,
      s.ChassisLock ? lbl::S_SMB_PRESENT : lbl::S_SMB_NOT_PRESENT, {s.TableSource});
  Row(c, page, k, lbl::S_SMB_BOOTUP_STATE,
      sm::NameOfCode(sm::ChassisStateNames(), s.ChassisBootUpState), {s.TableSource});
  Row(c, page, k, lbl::S_SMB_POWER_STATE,
      sm::NameOfCode(sm::ChassisStateNames(), s.ChassisPowerSupplyState), {s.TableSource});
  Row(c, page, k, lbl::S_SMB_THERMAL_STATE,
      sm::NameOfCode(sm::ChassisStateNames(), s.ChassisThermalState), {s.TableSource});
  Row(c, page, k, lbl::S_SMB_SECURITY,
      sm::NameOfCode(sm::ChassisSecurityNames(), s.ChassisSecurityStatus), {s.TableSource});
  if (s.ChassisHeightU)
    Row(c, page, k, lbl::S_SMB_HEIGHT,
        FormatText(lbl::S_SMB_HEIGHT_U, {std::to_string(s.ChassisHeightU)}), {s.TableSource});
  Row(c, page, k, lbl::S_SMB_POWER_CORDS, Number(s.ChassisPowerCords), {s.TableSource});
}

std::string CacheText(const collectors::TSMBIOS_Cache& cache) {
  return Joined({cache.Level ? FormatText(lbl::S_SMB_CACHE_LEVEL, {std::to_string(cache.Level)})
                             : std::string(),
                 cache.InstalledSizeKB ? FormatKilobytesText(cache.InstalledSizeKB) : std::string(),
                 sm::NameOfCode(sm::CacheAssociativityNames(), cache.AssociativityCode),
                 sm::NameOfCode(sm::CacheTypeNames(), cache.TypeCode),
                 sm::NameOfCode(sm::CacheErrorCorrectionNames(), cache.ErrorCorrectionCode)});
}

void AddSocketRows(const FillContext& c, Page& page, const TVexa_SMBIOS& s) {
  constexpr int k = sysdev_section::kProcessorSockets;
  const RowMeta meta{s.TableSource};
  std::size_t populated = 0;
  for (const auto& p : s.Processors) {
    if (p.TypeCode != 3 && p.TypeCode != 0) continue;  // math, DSP or video processors
    if (!p.Populated()) {
      Row(c, page, k, lbl::S_SMB_SOCKET, FormatText(lbl::S_SMB_SOCKET_EMPTY, {Shown(p.Socket)}),
          meta);
      continue;
    }
    ++populated;
    Row(c, page, k, lbl::S_SMB_SOCKET, Shown(p.Socket), meta);
    Row(c, page, k, lbl::S_SMB_PROC_VERSION, Shown(p.Version), meta);
    Row(c, page, k, lbl::S_SMB_PROC_FAMILY, sm::ProcessorFamilyName(p.Family, p.Manufacturer), meta);
    Row(c, page, k, lbl::S_SMB_MANUFACTURER, Shown(p.Manufacturer), meta);
    Row(c, page, k, lbl::S_SMB_MAX_SPEED, Mhz(p.MaxSpeed), meta);
    Row(c, page, k, lbl::S_SMB_CURRENT_SPEED, Mhz(p.Frequency), meta);
    Row(c, page, k, lbl::S_SMB_EXT_CLOCK, Mhz(p.ExternalClock), meta);
    if (p.CoreCount)
      Row(c, page, k, lbl::S_SMB_CORES,
          p.CoreEnabled && p.CoreEnabled != p.CoreCount
              ? FormatText(lbl::S_SMB_CORES_ENABLED,
                           {std::to_string(p.CoreCount), std::to_string(p.CoreEnabled)})
              : std::to_string(p.CoreCount),
          meta);
    Row(c, page, k, lbl::S_SMB_THREADS, Number(p.ThreadCount), meta);
    Row(c, page, k, lbl::S_SMB_SOCKET_TYPE,
        sm::NameOfCode(sm::ProcessorUpgradeNames(), p.UpgradeCode), meta);
    Row(c, page, k, lbl::S_SMB_SERIAL, Shown(p.SerialNumber), {s.TableSource, true});
    Row(c, page, k, lbl::S_SMB_ASSET_TAG, Shown(p.AssetTag), {s.TableSource, true});
  }
  for (const auto& cache : s.Caches)
    Row(c, page, k, FormatText(lbl::S_SMB_CACHE, {cache.Designation}), CacheText(cache), meta);

  // Sockets the firmware lists as populated against the packages processor identification
  // counted. They must agree exactly: a difference means a table copied from another model,
  // or a virtual machine whose firmware describes a different topology.
  const auto packages = c.info.CPU().CPUPhysicalCount();
  if (populated > 0 && packages > 0 && populated != packages)
    Row(c, page, k, lbl::S_SMB_NOTE,
        FormatText(lbl::S_SMB_NOTE_SOCKETS, {std::to_string(populated), std::to_string(packages)}),
        meta);
}

void AddArrayRows(const FillContext& c, Page& page, const TVexa_Machine& machine) {
  constexpr int k = sysdev_section::kMemoryArray;
  const auto& s = machine.SMBIOS;
  const RowMeta meta{s.TableSource};
  for (const auto& a : s.MemoryArrays) {
    if (a.Use != 3) continue;  // video, flash and cache arrays are not the system's memory
    Row(c, page, k, lbl::S_SMB_ARRAY_LOCATION,
        sm::NameOf(sm::MemoryArrayLocationNames(), a.Location), meta);
    Row(c, page, k, lbl::S_SMB_ARRAY_USE, sm::NameOfCode(sm::MemoryArrayUseNames(), a.Use), meta);
    Row(c, page, k, lbl::S_SMB_ARRAY_ECC,
        sm::NameOfCode(sm::MemoryArrayErrorCorrectionNames(), a.ErrorCorrection), meta);
    if (a.MaxCapacityKB && *a.MaxCapacityKB)
      Row(c, page, k, lbl::S_SMB_ARRAY_MAX, FormatByteSizeText(*a.MaxCapacityKB * 1024), meta);
    Row(c, page, k, lbl::S_SMB_ARRAY_SLOTS, Number(a.DeviceCount), meta);
  }
  if (machine.KernelMemoryBytes)
    Row(c, page, k, lbl::S_SMB_KERNEL_MEMORY, FormatByteSizeText(*machine.KernelMemoryBytes),
        {machine.KernelMemorySource});

  // Installed modules against the kernel's MemTotal. The kernel never sees more than is
  // installed, and sees less by what firmware, graphics and the kernel image keep: allowed
  // up to 10 % plus 512 MiB. Beyond that a module is missing from the table, or the table
  // describes another machine.
  uint64_t installed_kb = 0;
  for (const auto& d : s.MemoryDevices) installed_kb += d.SizeKB;
  if (installed_kb == 0 || !machine.KernelMemoryBytes) return;
  const uint64_t installed = installed_kb * 1024, kernel = *machine.KernelMemoryBytes;
  const uint64_t slack = installed / 10 + (512ull << 20);
  if (kernel > installed + (64ull << 20) || kernel + slack < installed)
    Row(c, page, k, lbl::S_SMB_NOTE,
        FormatText(lbl::S_SMB_NOTE_MEMORY,
                   {FormatByteSizeText(installed), FormatByteSizeText(kernel)}),
        {machine.KernelMemorySource});
}

void AddSlotRows(const FillContext& c, Page& page, const TVexa_SMBIOS& s) {
  constexpr int k = sysdev_section::kSlotsPorts;
  const RowMeta meta{s.TableSource};
  for (const auto& slot : s.SystemSlots) {
    const std::string width =
        slot.DataBusWidth ? WidthName(slot.DataBusWidth) : WidthName(slot.DataBus);
    Row(c, page, k, FormatText(lbl::S_SMB_SLOT, {slot.Designation}),
        Joined({sm::NameOf(sm::SlotTypeNames(), slot.Typ), width,
                sm::NameOfCode(sm::SlotUsageNames(), slot.Usage),
                slot.Address ? PciText(*slot.Address) : std::string()}),
        meta);
    for (const auto& peer : slot.Peers)
      Row(c, page, k, lbl::S_SMB_PEER,
          Joined({PciText(peer.Address),
                  peer.DataBusWidth ? "x" + std::to_string(peer.DataBusWidth) : std::string()}),
          meta);
  }
  for (const auto& port : s.Ports) {
    const std::string name =
        Shown(port.ExternalDesignator).empty() ? port.InternalDesignator : port.ExternalDesignator;
    const uint8_t connector =
        port.ExternalConnector ? port.ExternalConnector : port.InternalConnector;
    Row(c, page, k, FormatText(lbl::S_SMB_PORT, {name}),
        Joined({sm::NameOf(sm::PortTypeNames(), port.Typ),
                connector ? sm::NameOf(sm::ConnectorTypeNames(), connector) : std::string_view()}),
        meta);
  }
}

void AddOnBoardRows(const FillContext& c, Page& page, const TVexa_SMBIOS& s) {
  constexpr int k = sysdev_section::kOnBoardDevices;
  const RowMeta meta{s.TableSource};
  // The extended records (type 41) replace the older ones where a table has both.
  if (!s.OnBoardDevicesEx.empty()) {
    for (const auto& d : s.OnBoardDevicesEx)
      Row(c, page, k, FormatText(lbl::S_SMB_DEVICE, {Shown(d.ReferenceDesignation)}),
          Joined({sm::NameOfCode(sm::DeviceTypeNames(), d.TypeCode),
                  d.Enabled ? lbl::S_SMB_ENABLED : lbl::S_SMB_DISABLED,
                  d.Address ? PciText(*d.Address) : std::string()}),
          meta);
  } else {
    for (const auto& d : s.OnBoardDevices)
      Row(c, page, k, FormatText(lbl::S_SMB_DEVICE, {Shown(d.DeviceName)}),
          Joined({sm::NameOfCode(sm::DeviceTypeNames(), d.TypeCode),
                  d.Status ? lbl::S_SMB_ENABLED : lbl::S_SMB_DISABLED}),
          meta);
  }
  if (s.Ipmi) {
    const auto& i = *s.Ipmi;
    char address[32];
    std::snprintf(address, sizeof address, "%s 0x%llX", i.IoSpace ? "I/O" : "MMIO",
                  static_cast<unsigned long long>(i.BaseAddress));
    Row(c, page, k, lbl::S_SMB_IPMI,
        Joined({sm::NameOf(sm::IpmiInterfaceNames(), i.InterfaceType),
                FormatText(lbl::S_SMB_IPMI_SPEC,
                           {std::to_string(i.SpecMajor), std::to_string(i.SpecMinor)}),
                address}),
        meta);
  }
}

}  // namespace

void AddFirmwareRecordRows(const FillContext& ctx, Page& page) {
  const TVexa_Machine& machine = ctx.info.Machine();
  AddMachineRows(ctx, page, machine.SMBIOS);
  AddChassisRows(ctx, page, machine.SMBIOS);
  AddSocketRows(ctx, page, machine.SMBIOS);
  AddArrayRows(ctx, page, machine);
  AddSlotRows(ctx, page, machine.SMBIOS);
  AddOnBoardRows(ctx, page, machine.SMBIOS);
}

}  // namespace tavrin::pages
