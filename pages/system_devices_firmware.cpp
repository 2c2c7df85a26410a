// The firmware's rows of the system devices page: BIOS, motherboard and memory, from the
// machine collector's SMBIOS and BIOS sub-collectors.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "collectors/firmware/smbios_names.h"
#include "collectors/firmware/smbios_text.h"
#include "collectors/system_info.h"
#include "helpers/accessors.h"
#include "pages/page_layouts.h"
#include "pages/system_devices_page.h"
#include "pages/value_format.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using collectors::TVexa_Machine;
using collectors::TVexa_SMBIOS;
using collectors::smbios::Shown;
using platform::DmiField;
using platform::Status;

constexpr int kBiosSection = sysdev_section::kBios;
constexpr int kBoardSection = sysdev_section::kBoard;
constexpr int kMemorySection = sysdev_section::kMemory;

std::string WithUnit(uint64_t value, const std::string& unit) {
  return std::to_string(value) + " " + unit;
}

// The row's source with the raw number behind its text, for the JSON report.
RowMeta Bytes(const platform::Provenance& source, uint64_t bytes) {
  return {source, false, Quantity::Of(bytes, QuantityUnit::kBytes)};
}
RowMeta Count(const platform::Provenance& source, uint64_t n) {
  return {source, false, Quantity::Of(n, QuantityUnit::kCount)};
}

// A memory device width in bits; FFFFh is the table's "unknown" (DMTF SMBIOS 7.18) and shows
// no row rather than "65535 bits".
std::string WidthText(uint16_t bits) {
  return bits == 0xFFFF ? std::string() : WithUnit(bits, lbl::S_COUNT_BITS);
}

// Removes every occurrence of `what`, compared without case.
std::string RemoveNoCase(std::string text, const std::string& what) {
  if (what.empty()) return text;
  auto lower = [](std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
  };
  const std::string needle = lower(what);
  for (std::size_t at = lower(text).find(needle); at != std::string::npos;
       at = lower(text).find(needle, at))
    text.erase(at, what.size());
  return text;
}

// Which firmware route answered, and why the ones before it did not.
std::string RouteText(const TVexa_SMBIOS& smbios) {
  std::string text;
  bool needs_root = false;
  for (const auto& route : smbios.Routes) {
    if (route.ok()) continue;
    needs_root = needs_root || route.status == Status::PermissionDenied;
    text += (text.empty() ? "" : "; ") + route.Explain();
  }
  needs_root = needs_root || smbios.DmiIdNeedsRoot();
  if (smbios.TableSource.ok()) {
    std::string answered = "SMBIOS " + smbios.VersionText + " " + smbios.TableSource.Explain();
    return text.empty() ? answered : answered + " (not used: " + text + ")";
  }
  if (text.empty()) text = smbios.TableSource.Explain();
  std::string out = "no tables: " + text;
  if (smbios.FromDmiId) out += "; showing what the kernel exports " + smbios.DmiId.source.Explain();
  if (needs_root) out += "; running as root would fill the empty values";
  return out;
}

void AddBiosRows(const FillContext& c, Page& page, const TVexa_Machine& machine) {
  const auto& smbios = machine.SMBIOS;
  const auto& bios = machine.BIOS;
  AddItem(c, page, kBiosSection, lbl::S_CPU_BIOS_VENDOR, Shown(smbios.BIOSVendor), "", false,
          {smbios.ValueSource(DmiField::BiosVendor)});
  AddItem(c, page, kBiosSection, lbl::S_CPU_BIOS_TYPE, bios.NameString, "", false, {bios.Source});
  AddItem(c, page, kBiosSection, lbl::S_CPU_BIOS_VERSION, Shown(smbios.BIOSVersion), "", false,
          {smbios.ValueSource(DmiField::BiosVersion)});
  AddItem(c, page, kBiosSection, lbl::S_CPU_COPYRIGHT, bios.Copyright, "", false);
  AddItem(c, page, kBiosSection, lbl::S_CPU_DATE, Shown(smbios.BIOSDate), "", false,
          {smbios.ValueSource(DmiField::BiosDate)});
  // Without the BIOS structure there is no size to show (0 would be a wrong size).
  if (smbios.BIOSRomSizeKB > 0)
    AddItem(c, page, kBiosSection, lbl::S_CPU_SIZE, FormatKilobytesText(smbios.BIOSRomSizeKB), "",
            false, Bytes(smbios.TableSource, uint64_t{smbios.BIOSRomSizeKB} * 1024));
  // 0 and FFh both mean "not given" for the revision bytes (DMTF SMBIOS 7.1).
  auto revision = [](uint8_t major, uint8_t minor) {
    return major == 0xFF || (major == 0 && minor == 0)
               ? std::string()
               : std::to_string(major) + "." + std::to_string(minor);
  };
  AddItem(c, page, kBiosSection, lbl::S_SMB_BIOS_REVISION,
          revision(smbios.BIOSMajorRelease, smbios.BIOSMinorRelease), "", true,
          {smbios.TableSource});
  AddItem(c, page, kBiosSection, lbl::S_SMB_EC_REVISION,
          revision(smbios.FirmwareMajorRelease, smbios.FirmwareMinorRelease), "", true,
          {smbios.TableSource});
  AddItem(c, page, kBiosSection, lbl::S_CPU_FIRMWARE_SOURCE, RouteText(smbios), "", true,
          {smbios.TableSource});
}

void AddBoardRows(const FillContext& c, Page& page, const TVexa_SMBIOS& smbios) {
  AddItem(c, page, kBoardSection, lbl::S_CPU_MOTHER_VENDOR, Shown(smbios.MainBoardManufacturer), "",
          false, {smbios.ValueSource(DmiField::BoardVendor)});
  AddItem(c, page, kBoardSection, lbl::S_CPU_MOTHER_MODEL, Shown(smbios.MainBoardModel), "", false,
          {smbios.ValueSource(DmiField::BoardName)});
  AddItem(c, page, kBoardSection, lbl::S_CPU_MOTHER_VERSION, Shown(smbios.MainBoardVersion), "",
          false, {smbios.ValueSource(DmiField::BoardVersion)});
  AddItem(c, page, kBoardSection, lbl::S_CPU_SERIAL, Shown(smbios.MainBoardSerial), "", false,
          {smbios.ValueSource(DmiField::BoardSerial), true});
  // The counts come from the tables only; the kernel's DMI id export has no ports or slots.
  if (smbios.TableSource.ok()) {
    AddItem(c, page, kBoardSection, lbl::S_CPU_PORTS, std::to_string(smbios.PortCount()), "", false,
            {smbios.TableSource});
    AddItem(c, page, kBoardSection, lbl::S_CPU_SYSTEMSLOTS,
            std::to_string(smbios.SystemSlotCount()), "", false, {smbios.TableSource});
  }
}

// Speeds in MT/s, the unit of every module since DDR; 0 (and FFFFh before 3.3) is unknown.
std::string SpeedText(uint32_t mts) {
  return mts == 0 || mts == 0xFFFF ? std::string() : WithUnit(mts, lbl::S_COUNT_MTS);
}

std::string VoltageText(uint16_t millivolts) {
  if (millivolts == 0) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", millivolts / 1000.0);
  std::string v = text;
  while (v.back() == '0') v.pop_back();  // "1.20" -> "1.2", "1.00" -> "1."
  if (v.back() == '.') v += '0';
  return v + lbl::S_COUNT_VOLT;
}

// The type detail bits as names: "Synchronous, Registered (Buffered)".
std::string TypeDetailText(uint16_t bits) {
  namespace sm = collectors::smbios;
  std::string text;
  // Bit 0 is reserved; bit i names entry i - 1 of the table.
  for (int i = 1; i < 16; ++i) {
    if (!(bits & (1u << i))) continue;
    const auto name = sm::NameOf(sm::MemoryTypeDetailNames(), i - 1);
    if (name.empty() || name == "Unknown") continue;
    text += (text.empty() ? "" : ", ") + std::string(name);
  }
  return text;
}

void AddMemoryDeviceRows(const FillContext& c, Page& page, const TVexa_SMBIOS& smbios) {
  const RowMeta meta{smbios.TableSource};
  const RowMeta sensitive{smbios.TableSource, true};
  AddItem(c, page, kMemorySection, lbl::S_CPU_MEMORYDEVICES,
          std::to_string(smbios.MemoryDeviceCount()), "", false,
          Count(smbios.TableSource, smbios.MemoryDeviceCount()));
  uint64_t total_mb = 0;
  for (std::size_t i = 0; i < smbios.MemoryDevices.size(); ++i) {
    const auto& d = smbios.MemoryDevices[i];
    const std::string locator = Shown(d.DeviceLocator);
    // An empty socket is one row; its stored speed and placeholder strings mean nothing.
    if (!d.Installed()) {
      AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV,
              std::to_string(i) + ", " +
                  FormatText(lbl::S_SMB_SOCKET_EMPTY,
                             {locator.empty() ? Shown(d.BankLocator) : locator}),
              "", false, meta);
      continue;
    }
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV, std::to_string(i), "", false, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_DEV_LOCATOR, locator, "", false, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_BANK_LOCATOR, Shown(d.BankLocator), "",
            false, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_MANUFACTURER, Shown(d.Manufacturer), "",
            false, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_S_NUMBER, Shown(d.SerialNumber), "", false,
            sensitive);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_PART_NUMBER, Shown(d.PartNumber), "", false,
            meta);
    AddItem(c, page, kMemorySection, lbl::S_SMB_ASSET_TAG, Shown(d.AssetTag), "", true, sensitive);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_TYPE,
            collectors::smbios::NameOf(collectors::smbios::MemoryDeviceTypeNames(), d.Device), "",
            false, meta);
    AddItem(c, page, kMemorySection, lbl::S_SMB_TYPE_DETAIL, TypeDetailText(d.TypeDetailBits), "",
            true, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_TOTAL_WIDTH, WidthText(d.TotalWidth), "",
            false, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_DATA_WIDTH, WidthText(d.DataWidth), "",
            false, meta);
    // The decoded size: KB-granular and extended sizes included, which the raw field is not.
    const uint64_t mb = d.SizeKB / 1024;
    total_mb += mb;
    if (!d.SizeUnknown)
      AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_SIZE, WithUnit(mb, lbl::S_COUNT_MB), "",
              false, Bytes(smbios.TableSource, d.SizeKB * 1024));
    // The speed in MT/s: the classic "1000 div MHz" in ns reads 0 for every module above
    // 1000 MT/s and truncates the older ones.
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_SPEED, SpeedText(d.SpeedMTs), "", false,
            meta);
    AddItem(c, page, kMemorySection, lbl::S_SMB_CONFIGURED_SPEED, SpeedText(d.ConfiguredSpeedMTs),
            "", true, meta);
    AddItem(c, page, kMemorySection, lbl::S_SMB_RANK, d.Rank ? std::to_string(d.Rank) : "", "",
            true, meta);
    AddItem(c, page, kMemorySection, lbl::S_SMB_VOLTAGE,
            VoltageText(d.ConfiguredVoltage ? d.ConfiguredVoltage : d.MinVoltage), "", true, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_FORM_FACTOR,
            collectors::smbios::NameOf(collectors::smbios::MemoryFormFactorNames(), d.FormFactor),
            "", false, meta);
  }
  AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_TOTAL_SIZE,
          WithUnit(total_mb, lbl::S_COUNT_MB), "", false,
          Bytes(smbios.TableSource, total_mb << 20));
}

void AddMemoryModuleRows(const FillContext& c, Page& page, const TVexa_SMBIOS& smbios) {
  namespace sm = collectors::smbios;
  const RowMeta meta{smbios.TableSource};
  AddItem(c, page, kMemorySection, lbl::S_CPU_MEMORYMODULES,
          std::to_string(smbios.MemoryModuleCount()), "", false,
          Count(smbios.TableSource, smbios.MemoryModuleCount()));
  AddItem(c, page, kMemorySection, lbl::S_CPU_SUPPORTEDSPEEDS,
          sm::SetText(smbios.MemCtrlSupportedSpeeds, sm::MemorySpeedNames()), "", false, meta);
  AddItem(c, page, kMemorySection, lbl::S_CPU_SUPPORTEDTYPES,
          sm::SetText(smbios.MemCtrlSupportedTypes, sm::ModuleTypeNames()), "", false, meta);
  AddItem(c, page, kMemorySection, lbl::S_CPU_SUPPORTEDVOLTAGE,
          sm::SetText(smbios.MemCtrlSupportedVoltages, sm::VoltageNames()), "", false, meta);
  if (smbios.MemCtrlMaxSize != 0)
    AddItem(c, page, kMemorySection, lbl::S_CPU_SUPPORTEDMAXSIZE,
            WithUnit(smbios.MemCtrlMaxSize, lbl::S_COUNT_MB), "", false,
            Bytes(smbios.TableSource, uint64_t{smbios.MemCtrlMaxSize} << 20));
  for (std::size_t i = 0; i < smbios.MemoryModules.size(); ++i) {
    const auto& m = smbios.MemoryModules[i];
    const std::string n = std::to_string(i + 1) + ":";
    AddItem(c, page, kMemorySection, lbl::S_CPU_MSOCKET + n, m.Socket, "", false, meta);
    if (m.Size != 0)
      AddItem(c, page, kMemorySection, lbl::S_CPU_MSIZE + n, WithUnit(m.Size, lbl::S_COUNT_MB), "",
              false, Bytes(smbios.TableSource, uint64_t{m.Size} << 20));
    if (m.Speed != 0)
      AddItem(c, page, kMemorySection, lbl::S_CPU_MSPEED + n, WithUnit(m.Speed, lbl::S_COUNT_NS),
              "", false, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MTYPE + n,
            RemoveNoCase(sm::SetText(m.Types, sm::ModuleTypeNames()), lbl::S_COUNT_UNKNOWN), "",
            false, meta);
  }
}

}  // namespace

void AddFirmwareRows(const FillContext& ctx, Page& page) {
  const TVexa_Machine& machine = ctx.info.Machine();
  AddBiosRows(ctx, page, machine);
  AddBoardRows(ctx, page, machine.SMBIOS);
  if (machine.SMBIOS.MemoryDeviceCount() > 0) {
    AddMemoryDeviceRows(ctx, page, machine.SMBIOS);
  } else if (machine.SMBIOS.MemoryModuleCount() > 0) {
    AddMemoryModuleRows(ctx, page, machine.SMBIOS);
  }
}

}  // namespace tavrin::pages
