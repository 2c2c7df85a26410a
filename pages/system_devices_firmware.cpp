// The firmware's rows of the system devices page: BIOS, motherboard and memory, from the
// machine collector's SMBIOS and BIOS sub-collectors.
#include <algorithm>
#include <cctype>

#include "text/labels.h"
#include "collectors/firmware/smbios_names.h"
#include "collectors/system_info.h"
#include "helpers/accessors.h"
#include "pages/page_layouts.h"
#include "pages/system_devices_page.h"
#include "pages/value_format.h"

namespace tavrin::pages {
namespace {

using collectors::TVexa_Machine;
using collectors::TVexa_SMBIOS;
using platform::Provenance;
using platform::Status;

constexpr int kBiosSection = sysdev_section::kBios;
constexpr int kBoardSection = sysdev_section::kBoard;
constexpr int kMemorySection = sysdev_section::kMemory;

std::string WithUnit(uint64_t value, const std::string& unit) {
  return std::to_string(value) + " " + unit;
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

// The provenance of a value of the BIOS, system, board or chassis records: the tables, or the
// /sys/class/dmi/id attribute it came from (serials there need root).
Provenance SourceOf(const TVexa_SMBIOS& smbios, std::string_view dmiAttribute = {}) {
  if (smbios.TableSource.ok()) return smbios.TableSource;
  if (!smbios.FromDmiId)
    return Provenance::Failure(smbios.TableSource.status, "firmware tables",
                               "no route answered; " + smbios.DmiIdSource.Explain());
  const std::string path = "/sys/class/dmi/id/" + std::string(dmiAttribute);
  for (const auto& p : smbios.DmiIdUnreadable)
    if (!dmiAttribute.empty() && p.source == path) return p;
  return Provenance::Answered(dmiAttribute.empty() ? "/sys/class/dmi/id" : path);
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
  for (const auto& p : smbios.DmiIdUnreadable)
    needs_root = needs_root || p.status == Status::PermissionDenied;
  if (smbios.TableSource.ok()) {
    std::string answered = "SMBIOS " + smbios.VersionText + " " + smbios.TableSource.Explain();
    return text.empty() ? answered : answered + " (not used: " + text + ")";
  }
  if (text.empty()) text = smbios.TableSource.Explain();
  std::string out = "no tables: " + text;
  if (smbios.FromDmiId) out += "; showing what /sys/class/dmi/id exports";
  if (needs_root) out += "; running as root would fill the empty values";
  return out;
}

void AddBiosRows(const FillContext& c, Page& page, const TVexa_Machine& machine) {
  const auto& smbios = machine.SMBIOS;
  const auto& bios = machine.BIOS;
  AddItem(c, page, kBiosSection, lbl::S_CPU_BIOS_VENDOR, smbios.BIOSVendor, "", false,
          {SourceOf(smbios, "bios_vendor")});
  AddItem(c, page, kBiosSection, lbl::S_CPU_BIOS_TYPE, bios.NameString, "", false,
          {SourceOf(smbios)});
  AddItem(c, page, kBiosSection, lbl::S_CPU_BIOS_VERSION, smbios.BIOSVersion, "", false,
          {SourceOf(smbios, "bios_version")});
  AddItem(c, page, kBiosSection, lbl::S_CPU_COPYRIGHT, bios.Copyright, "", false);
  AddItem(c, page, kBiosSection, lbl::S_CPU_DATE, smbios.BIOSDate, "", false,
          {SourceOf(smbios, "bios_date")});
  // Without the BIOS structure there is no size to show (0 would be a wrong size).
  if (smbios.BIOSRomSizeKB > 0)
    AddItem(c, page, kBiosSection, lbl::S_CPU_SIZE, FormatKilobytesText(smbios.BIOSRomSizeKB), "",
            false, {smbios.TableSource});
  AddItem(c, page, kBiosSection, lbl::S_CPU_FIRMWARE_SOURCE, RouteText(smbios), "", true,
          {smbios.TableSource});
}

void AddBoardRows(const FillContext& c, Page& page, const TVexa_SMBIOS& smbios) {
  AddItem(c, page, kBoardSection, lbl::S_CPU_MOTHER_VENDOR, smbios.MainBoardManufacturer, "", false,
          {SourceOf(smbios, "board_vendor")});
  AddItem(c, page, kBoardSection, lbl::S_CPU_MOTHER_MODEL, smbios.MainBoardModel, "", false,
          {SourceOf(smbios, "board_name")});
  AddItem(c, page, kBoardSection, lbl::S_CPU_MOTHER_VERSION, smbios.MainBoardVersion, "", false,
          {SourceOf(smbios, "board_version")});
  AddItem(c, page, kBoardSection, lbl::S_CPU_SERIAL, smbios.MainBoardSerial, "", false,
          {SourceOf(smbios, "board_serial"), true});
  // The counts come from the tables only; /sys/class/dmi/id has no ports or slots.
  if (smbios.TableSource.ok()) {
    AddItem(c, page, kBoardSection, lbl::S_CPU_PORTS, std::to_string(smbios.PortCount()), "", false,
            {smbios.TableSource});
    AddItem(c, page, kBoardSection, lbl::S_CPU_SYSTEMSLOTS,
            std::to_string(smbios.SystemSlotCount()), "", false, {smbios.TableSource});
  }
}

void AddMemoryDeviceRows(const FillContext& c, Page& page,
                         const TVexa_SMBIOS& smbios) {
  const RowMeta meta{smbios.TableSource};
  AddItem(c, page, kMemorySection, lbl::S_CPU_MEMORYDEVICES,
          std::to_string(smbios.MemoryDeviceCount()), "", false, meta);
  uint64_t total_mb = 0;
  for (std::size_t i = 0; i < smbios.MemoryDevices.size(); ++i) {
    const auto& d = smbios.MemoryDevices[i];
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV, std::to_string(i), "", false, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_DEV_LOCATOR, d.DeviceLocator, "", false,
            meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_BANK_LOCATOR, d.BankLocator, "", false,
            meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_MANUFACTURER, d.Manufacturer, "", false,
            meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_S_NUMBER, d.SerialNumber, "", false,
            {smbios.TableSource, true});
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_PART_NUMBER, d.PartNumber, "", false, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_TYPE,
            collectors::smbios::NameOf(collectors::smbios::MemoryDeviceTypeNames(), d.Device), "",
            false, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_TOTAL_WIDTH,
            WidthText(d.TotalWidth), "", false, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_DATA_WIDTH,
            WidthText(d.DataWidth), "", false, meta);
    // The decoded size: KB-granular and extended sizes included, which the raw field is not.
    const uint64_t mb = d.SizeKB / 1024;
    total_mb += mb;
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_SIZE, WithUnit(mb, lbl::S_COUNT_MB), "",
            false, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_SPEED, WithUnit(d.Speed, lbl::S_COUNT_NS),
            "", false, meta);
    AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_FORM_FACTOR,
            collectors::smbios::NameOf(collectors::smbios::MemoryFormFactorNames(), d.FormFactor),
            "", false, meta);
  }
  AddItem(c, page, kMemorySection, lbl::S_CPU_MEMDEV_TOTAL_SIZE,
          WithUnit(total_mb, lbl::S_COUNT_MB), "", false, meta);
}

void AddMemoryModuleRows(const FillContext& c, Page& page,
                         const TVexa_SMBIOS& smbios) {
  namespace sm = collectors::smbios;
  const RowMeta meta{smbios.TableSource};
  AddItem(c, page, kMemorySection, lbl::S_CPU_MEMORYMODULES,
          std::to_string(smbios.MemoryModuleCount()), "", false, meta);
  AddItem(c, page, kMemorySection, lbl::S_CPU_SUPPORTEDSPEEDS,
          sm::SetText(smbios.MemCtrlSupportedSpeeds, sm::MemorySpeedNames()), "", false, meta);
  AddItem(c, page, kMemorySection, lbl::S_CPU_SUPPORTEDTYPES,
          sm::SetText(smbios.MemCtrlSupportedTypes, sm::ModuleTypeNames()), "", false, meta);
  AddItem(c, page, kMemorySection, lbl::S_CPU_SUPPORTEDVOLTAGE,
          sm::SetText(smbios.MemCtrlSupportedVoltages, sm::VoltageNames()), "", false, meta);
  if (smbios.MemCtrlMaxSize != 0)
    AddItem(c, page, kMemorySection, lbl::S_CPU_SUPPORTEDMAXSIZE,
            WithUnit(smbios.MemCtrlMaxSize, lbl::S_COUNT_MB), "", false, meta);
  for (std::size_t i = 0; i < smbios.MemoryModules.size(); ++i) {
    const auto& m = smbios.MemoryModules[i];
    const std::string n = std::to_string(i + 1) + ":";
    AddItem(c, page, kMemorySection, lbl::S_CPU_MSOCKET + n, m.Socket, "", false, meta);
    if (m.Size != 0)
      AddItem(c, page, kMemorySection, lbl::S_CPU_MSIZE + n, WithUnit(m.Size, lbl::S_COUNT_MB), "",
              false, meta);
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
