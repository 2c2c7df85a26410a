// Every SMBIOS dump of the shared fixtures, decoded and compared twice: with our own labeled
// goldens (TAVRIN_REWRITE_GOLDENS=1 rewrites them), and field by field with the dmidecode
// decode stored beside each dump.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "base/strings.h"
#include "collectors/firmware/smbios_decode.h"
#include "collectors/firmware/smbios_names.h"
#include "collectors/firmware/smbios_text.h"
#include "platform/firmware.h"
#include "tests/collectors/firmware/reference_decode_text.h"
#include "tests/support/golden.h"
#include "tests/support/test_data.h"

namespace tavrin::collectors::smbios {
namespace {

namespace fs = std::filesystem;
using namespace reference;

fs::path FixturesDir() {
  return tavrin::testing::TestDataDir();
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

using platform::EntryPointKind;
using platform::SmbiosEntryPoint;

struct Decoded {
  SmbiosEntryPoint ep;
  std::string table;
  std::vector<StructureEntry> index;
  SmbiosValues values;
};

std::optional<Decoded> DecodeDump(const fs::path& file) {
  auto tables = platform::SplitSmbiosDump(ReadFile(file));
  if (!tables) return std::nullopt;
  const auto& ep = tables->entry;
  Decoded d{ep, tables->table, {}, {}};
  d.index = WalkStructures(d.table).index;
  d.values = DecodeSmbios(d.table, d.index, {ep.major, ep.minor});
  return d;
}

std::string Volts(double v) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

// Our values as labeled lines: the golden file's content.
std::string GoldenText(const Decoded& d) {
  const auto& v = d.values;
  std::ostringstream o;
  o << "smbios.version: " << d.ep.VersionText() << "\n"
    << "smbios.structures: " << d.index.size() << "\n"
    << "bios.vendor: " << v.BIOSVendor << "\n"
    << "bios.version: " << v.BIOSVersion << "\n"
    << "bios.date: " << v.BIOSDate << "\n"
    << "bios.size_kb: " << v.BIOSSize << "\n"
    << "bios.rom_size_kb: " << v.BIOSRomSizeKB << "\n"
    << "system.manufacturer: " << v.SystemManufacturer << "\n"
    << "system.product: " << v.SystemProductName << "\n"
    << "system.model: " << v.SystemModel << "\n"
    << "system.family: " << v.SystemFamily << ", sku " << v.SystemSKU << "\n"
    << "system.uuid_text: " << v.SystemUUIDText << "\n"
    << "system.version: " << v.SystemVersion << "\n"
    << "system.serial: " << v.SystemSerial << "\n"
    << "system.uuid: " << v.SystemUUID << "\n"
    << "board.manufacturer: " << v.MainBoardManufacturer << "\n"
    << "board.model: " << v.MainBoardModel << "\n"
    << "board.version: " << v.MainBoardVersion << "\n"
    << "board.serial: " << v.MainBoardSerial << "\n"
    << "board.asset_tag: " << v.MainBoardAssetTag << "\n"
    << "board.location: " << v.MainBoardLocationInChassis << "\n"
    << "chassis.type: " << NameOf(ChassisNames(), static_cast<int>(v.ChassisModel)) << "\n"
    << "chassis.manufacturer: " << v.ChassisManufacturer << "\n"
    << "chassis.version: " << v.ChassisVersion << "\n"
    << "chassis.serial: " << v.ChassisSerial << "\n"
    << "chassis.asset_tag: " << v.ChassisAssetTag << "\n"
    << "chassis.code: " << int(v.ChassisTypeCode) << (v.ChassisLock ? ", lock" : "") << ", height "
    << int(v.ChassisHeightU) << ", cords " << int(v.ChassisPowerCords) << "\n"
    << "counts: processors " << v.ProcessorCount() << ", caches " << v.CacheCount() << ", ports "
    << v.PortCount() << ", slots " << v.SystemSlotCount() << ", on-board " << v.OnBoardDeviceCount()
    << ", modules " << v.MemoryModuleCount() << ", devices " << v.MemoryDeviceCount() << ", probes "
    << v.TemperatureProbeCount() << "\n";
  for (std::size_t i = 0; i < v.Processors.size(); ++i) {
    const auto& p = v.Processors[i];
    const std::string k = "processor[" + std::to_string(i) + "].";
    o << k << "socket: " << p.Socket << "\n"
      << k << "manufacturer: " << p.Manufacturer << "\n"
      << k << "version: " << p.Version << "\n"
      << k << "clocks: external " << p.ExternalClock << ", current " << p.Frequency << ", max "
      << p.MaxSpeed << "\n"
      << k << "voltage: " << Volts(p.Voltage) << "\n"
      << k << "upgrade: " << NameOf(ProcessorUpgradeNames(), p.Upgrade) << "\n"
      << k << "cores: " << p.CoreCount << ", enabled " << p.CoreEnabled << ", threads "
      << p.ThreadCount << "\n"
      << k << "family: " << ProcessorFamilyName(p.Family, p.Manufacturer) << ", "
      << (p.Populated() ? "populated" : "empty") << "\n";
  }
  for (std::size_t i = 0; i < v.Caches.size(); ++i) {
    const auto& c = v.Caches[i];
    o << "cache[" << i << "]: " << c.Designation << ", L" << int(c.Level) << ", "
      << c.InstalledSizeKB << "/" << c.MaxSizeKB << " KB, "
      << NameOfCode(CacheAssociativityNames(), c.AssociativityCode) << ", "
      << NameOfCode(CacheTypeNames(), c.TypeCode) << ", "
      << NameOfCode(CacheErrorCorrectionNames(), c.ErrorCorrectionCode) << "\n";
  }
  for (const auto& a : v.MemoryArrays)
    o << "array: " << NameOf(MemoryArrayLocationNames(), a.Location) << ", "
      << NameOfCode(MemoryArrayUseNames(), a.Use) << ", "
      << NameOfCode(MemoryArrayErrorCorrectionNames(), a.ErrorCorrection) << ", max "
      << (a.MaxCapacityKB ? std::to_string(*a.MaxCapacityKB) + " KB" : "unknown") << ", slots "
      << a.DeviceCount << "\n";
  for (std::size_t i = 0; i < v.SystemSlots.size(); ++i) {
    const auto& sl = v.SystemSlots[i];
    o << "slot[" << i << "]: " << sl.Designation << ", " << NameOf(SlotTypeNames(), sl.Typ) << ", "
      << NameOfCode(SlotUsageNames(), sl.Usage) << ", peers " << sl.Peers.size() << "\n";
  }
  for (const auto& d : v.OnBoardDevicesEx)
    o << "onboard: " << d.ReferenceDesignation << ", " << NameOfCode(DeviceTypeNames(), d.TypeCode)
      << (d.Enabled ? ", enabled" : ", disabled") << "\n";
  for (const auto& text : v.OEMStrings) o << "oem: " << text << "\n";
  if (v.Ipmi)
    o << "ipmi: " << NameOf(IpmiInterfaceNames(), v.Ipmi->InterfaceType) << ", "
      << int(v.Ipmi->SpecMajor) << "." << int(v.Ipmi->SpecMinor) << ", base " << std::hex
      << v.Ipmi->BaseAddress << std::dec << "\n";
  for (std::size_t i = 0; i < v.MemoryDevices.size(); ++i) {
    const auto& m = v.MemoryDevices[i];
    const std::string k = "memory[" + std::to_string(i) + "].";
    o << k << "locator: " << m.DeviceLocator << " / " << m.BankLocator << "\n"
      << k << "module: " << m.Manufacturer << " / " << m.PartNumber << " / " << m.SerialNumber
      << "\n"
      << k << "size: " << (m.SizeUnknown ? "unknown" : std::to_string(m.SizeKB) + " KB") << " (raw "
      << m.Size << ")\n"
      << k << "type: " << NameOf(MemoryDeviceTypeNames(), m.Device) << ", "
      << NameOf(MemoryFormFactorNames(), m.FormFactor) << ", width " << m.TotalWidth << "/"
      << m.DataWidth << "\n"
      << k << "speed: " << m.SpeedMTs << " MT/s, " << m.Speed << " ns\n"
      << k << "configured: " << m.ConfiguredSpeedMTs << " MT/s, rank " << int(m.Rank) << ", "
      << m.ConfiguredVoltage << " mV, details " << m.TypeDetailBits << "\n";
  }
  return o.str();
}

// Every record the advanced page shows, field by field where dmidecode prints the field.
void CompareRecordsWithDmidecode(const Decoded& d, const std::vector<Paragraph>& ref) {
  const auto& v = d.values;
  auto has = [](const Paragraph& p, const char* key) { return p.fields.count(key) > 0; };
  auto raw = [](const Paragraph& p, const char* key) { return p.fields.at(key); };
  if (auto bios = OfType(ref, 0); !bios.empty()) {
    if (has(*bios[0], "BIOS Revision")) {
      EXPECT_EQ(std::to_string(v.BIOSMajorRelease) + "." + std::to_string(v.BIOSMinorRelease),
                raw(*bios[0], "BIOS Revision"));
    }
    if (has(*bios[0], "Firmware Revision")) {
      EXPECT_EQ(
          std::to_string(v.FirmwareMajorRelease) + "." + std::to_string(v.FirmwareMinorRelease),
          raw(*bios[0], "Firmware Revision"));
    }
  }
  if (auto system = OfType(ref, 1); !system.empty()) {
    const auto& r = *system[0];
    if (has(r, "SKU Number")) {
      EXPECT_FIELD(v.SystemSKU, r, "SKU Number");
    }
    if (has(r, "Family")) {
      EXPECT_FIELD(v.SystemFamily, r, "Family");
    }
    if (has(r, "UUID")) {
      std::string theirs = raw(r, "UUID");
      if (theirs == "Not Present" || theirs == "Not Settable") theirs.clear();
      for (auto& ch : theirs) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      EXPECT_EQ(v.SystemUUIDText, theirs) << "UUID in the kernel's form";
    }
    if (has(r, "Wake-up Type")) {
      EXPECT_TRUE(SameName(NameOf(WakeUpTypeNames(), v.SystemWakeUpType), raw(r, "Wake-up Type")));
    }
  }
  if (auto chassis = OfType(ref, 3); !chassis.empty()) {
    const auto& r = *chassis[0];
    EXPECT_EQ(v.ChassisLock ? "Present" : "Not Present", raw(r, "Lock"));
    for (auto [key, code] : {std::pair{"Boot-up State", v.ChassisBootUpState},
                             {"Power Supply State", v.ChassisPowerSupplyState},
                             {"Thermal State", v.ChassisThermalState}}) {
      if (has(r, key)) {
        EXPECT_TRUE(SameName(NameOfCode(ChassisStateNames(), code), raw(r, key))) << key;
      }
    }
    if (has(r, "Security Status")) {
      EXPECT_TRUE(SameName(NameOfCode(ChassisSecurityNames(), v.ChassisSecurityStatus),
                           raw(r, "Security Status")));
    }
    if (has(r, "Height")) {
      EXPECT_EQ(v.ChassisHeightU ? std::to_string(v.ChassisHeightU) + " U" : "Unspecified",
                raw(r, "Height"));
    }
    if (has(r, "Number Of Power Cords")) {
      EXPECT_EQ(v.ChassisPowerCords ? std::to_string(v.ChassisPowerCords) : "Unspecified",
                raw(r, "Number Of Power Cords"));
    }
    if (has(r, "SKU Number")) {
      EXPECT_FIELD(v.ChassisSKU, r, "SKU Number");
    }
  }
  const auto processors = OfType(ref, 4);
  for (std::size_t i = 0; i < processors.size() && i < v.Processors.size(); ++i) {
    SCOPED_TRACE("processor " + std::to_string(i));
    const auto& p = v.Processors[i];
    const auto& r = *processors[i];
    const auto family = raw(r, "Family");
    if (family != "<UNKNOWN CODE>") {
      EXPECT_TRUE(NamesOverlap(ProcessorFamilyName(p.Family, p.Manufacturer), family))
          << family << " / " << ProcessorFamilyName(p.Family, p.Manufacturer);
    }
    EXPECT_TRUE(SameName(NameOfCode(ProcessorTypeNames(), p.TypeCode), raw(r, "Type")));
    EXPECT_EQ(p.Populated(), raw(r, "Status").rfind("Populated", 0) == 0) << raw(r, "Status");
  }
  const auto caches = OfType(ref, 7);
  ASSERT_EQ(caches.size(), v.CacheCount());
  for (std::size_t i = 0; i < caches.size(); ++i) {
    SCOPED_TRACE("cache " + std::to_string(i));
    const auto& c = v.Caches[i];
    const auto& r = *caches[i];
    const auto config = raw(r, "Configuration");
    EXPECT_NE(config.find("Level " + std::to_string(c.Level)), std::string::npos) << config;
    EXPECT_EQ(c.Enabled, config.rfind("Enabled", 0) == 0) << config;
    if (auto size = SizeKB(raw(r, "Installed Size")); size && raw(r, "Installed Size") != "") {
      EXPECT_EQ(c.InstalledSizeKB, *size) << raw(r, "Installed Size");
    }
    for (auto [key, name] :
         {std::pair{"Error Correction Type",
                    NameOfCode(CacheErrorCorrectionNames(), c.ErrorCorrectionCode)},
          {"System Type", NameOfCode(CacheTypeNames(), c.TypeCode)},
          {"Associativity", NameOfCode(CacheAssociativityNames(), c.AssociativityCode)}}) {
      if (has(r, key)) {
        // A code the name table does not know is "<UNKNOWN CODE>" in the reference and empty for
        // us.
        EXPECT_TRUE(raw(r, key) == "<UNKNOWN CODE>" ? name.empty() : SameName(name, raw(r, key)))
            << key << ": " << raw(r, key);
      }
    }
  }
  const auto arrays = OfType(ref, 16);
  ASSERT_EQ(arrays.size(), v.MemoryArrays.size());
  for (std::size_t i = 0; i < arrays.size(); ++i) {
    SCOPED_TRACE("array " + std::to_string(i));
    const auto& a = v.MemoryArrays[i];
    const auto& r = *arrays[i];
    EXPECT_TRUE(SameName(NameOf(MemoryArrayLocationNames(), a.Location), raw(r, "Location")));
    EXPECT_TRUE(SameName(NameOfCode(MemoryArrayUseNames(), a.Use), raw(r, "Use")));
    EXPECT_TRUE(SameName(NameOfCode(MemoryArrayErrorCorrectionNames(), a.ErrorCorrection),
                         raw(r, "Error Correction Type")));
    EXPECT_EQ(a.MaxCapacityKB, SizeKB(raw(r, "Maximum Capacity"))) << raw(r, "Maximum Capacity");
    EXPECT_EQ(a.DeviceCount, Number(raw(r, "Number Of Devices")));
  }
  const auto devices = OfType(ref, 17);
  for (std::size_t i = 0; i < devices.size() && i < v.MemoryDevices.size(); ++i) {
    SCOPED_TRACE("memory device " + std::to_string(i));
    const auto& m = v.MemoryDevices[i];
    const auto& r = *devices[i];
    for (const char* key : {"Configured Memory Speed", "Configured Clock Speed"}) {
      if (has(r, key)) {
        EXPECT_EQ(m.ConfiguredSpeedMTs, Number(raw(r, key))) << raw(r, key);
      }
    }
    if (has(r, "Rank")) {
      EXPECT_EQ(m.Rank, Number(raw(r, "Rank")));
    }
    EXPECT_EQ(DetailFolded(m.TypeDetailBits), Folded(raw(r, "Type Detail")));
    if (has(r, "Configured Voltage")) {
      EXPECT_EQ(m.ConfiguredVoltage,
                static_cast<uint16_t>(
                    std::strtod(raw(r, "Configured Voltage").c_str(), nullptr) * 1000 + 0.5))
          << raw(r, "Configured Voltage");
    }
  }
  const auto slots = OfType(ref, 9);
  ASSERT_EQ(slots.size(), v.SystemSlotCount());
  for (std::size_t i = 0; i < slots.size(); ++i) {
    SCOPED_TRACE("slot " + std::to_string(i));
    const auto& sl = v.SystemSlots[i];
    const auto& r = *slots[i];
    const auto designation = Text(r, "Designation");
    EXPECT_EQ(AsDmidecode(sl.Designation),
              designation.empty() ? "Slot_" + std::to_string(i) : designation);
    EXPECT_TRUE(NamesOverlap(NameOf(SlotTypeNames(), sl.Typ), raw(r, "Type"))) << raw(r, "Type");
    EXPECT_TRUE(SameName(NameOfCode(SlotUsageNames(), sl.Usage), raw(r, "Current Usage")));
    EXPECT_EQ(sl.Address ? PciText(*sl.Address) : "", Text(r, "Bus Address"));
    if (has(r, "Peer Devices")) {
      EXPECT_EQ(sl.Peers.size(), Number(raw(r, "Peer Devices")));
    }
  }
  const auto ports = OfType(ref, 8);
  ASSERT_EQ(ports.size(), v.PortCount());
  for (std::size_t i = 0; i < ports.size(); ++i) {
    SCOPED_TRACE("port " + std::to_string(i));
    const auto& p = v.Ports[i];
    const auto& r = *ports[i];
    const auto internal = Text(r, "Internal Reference Designator");
    EXPECT_EQ(AsDmidecode(p.InternalDesignator),
              internal.empty() ? "PortSlot_" + std::to_string(i) : internal);
    EXPECT_FIELD(p.ExternalDesignator, r, "External Reference Designator");
    EXPECT_TRUE(SameName(NameOf(PortTypeNames(), p.Typ), raw(r, "Port Type")))
        << raw(r, "Port Type");
  }
  const auto onboard = OfType(ref, 41);
  ASSERT_EQ(onboard.size(), v.OnBoardDevicesEx.size());
  for (std::size_t i = 0; i < onboard.size(); ++i) {
    const auto& o = v.OnBoardDevicesEx[i];
    const auto& r = *onboard[i];
    EXPECT_FIELD(o.ReferenceDesignation, r, "Reference Designation");
    EXPECT_TRUE(SameName(NameOfCode(DeviceTypeNames(), o.TypeCode), raw(r, "Type")));
    EXPECT_EQ(o.Enabled ? "Enabled" : "Disabled", raw(r, "Status"));
    EXPECT_EQ(o.Address ? PciText(*o.Address) : "", Text(r, "Bus Address"));
  }
  const auto oem = OfType(ref, 11);
  std::size_t oem_strings = 0;
  for (const auto* r : oem) {
    for (int n = 1; r->fields.count("String " + std::to_string(n)); ++n, ++oem_strings) {
      ASSERT_LT(oem_strings, v.OEMStrings.size());
      EXPECT_FIELD(v.OEMStrings[oem_strings], *r, "String " + std::to_string(n));
    }
  }
  EXPECT_EQ(oem_strings, v.OEMStrings.size());
  const auto ipmi = OfType(ref, 38);
  ASSERT_EQ(!ipmi.empty(), v.Ipmi.has_value());
  if (v.Ipmi) {
    const auto& r = *ipmi[0];
    const auto ours = NameOf(IpmiInterfaceNames(), v.Ipmi->InterfaceType);
    const auto theirs = raw(r, "Interface Type");
    EXPECT_EQ(ours.substr(0, ours.find(' ')), theirs.substr(0, theirs.find(' ')));
    EXPECT_EQ(std::to_string(v.Ipmi->SpecMajor) + "." + std::to_string(v.Ipmi->SpecMinor),
              raw(r, "Specification Version"));
    char base[48];
    std::snprintf(base, sizeof base, "0x%016llX (%s)",
                  static_cast<unsigned long long>(v.Ipmi->BaseAddress),
                  v.Ipmi->IoSpace ? "I/O" : "Memory-mapped");
    EXPECT_EQ(base, raw(r, "Base Address"));
  }
}

void CompareWithDmidecode(const Decoded& d, const std::vector<Paragraph>& ref) {
  const auto& v = d.values;
  if (auto bios = OfType(ref, 0); !bios.empty()) {
    EXPECT_FIELD(v.BIOSVendor, *bios[0], "Vendor");
    EXPECT_FIELD(v.BIOSVersion, *bios[0], "Version");
    EXPECT_FIELD(v.BIOSDate, *bios[0], "Release Date");
    if (bios[0]->fields.count("ROM Size")) {
      EXPECT_EQ(SizeKB(bios[0]->fields.at("ROM Size")), v.BIOSRomSizeKB) << "ROM Size";
    }
  }
  if (auto system = OfType(ref, 1); !system.empty()) {
    EXPECT_FIELD(v.SystemManufacturer, *system[0], "Manufacturer");
    EXPECT_FIELD(v.SystemProductName, *system[0], "Product Name");
    EXPECT_FIELD(v.SystemVersion, *system[0], "Version");
    EXPECT_FIELD(v.SystemSerial, *system[0], "Serial Number");
    if (system[0]->fields.count("UUID")) {
      EXPECT_EQ(UuidAsDmidecode(v.SystemUUID, d.ep), system[0]->fields.at("UUID"));
    }
  }
  if (auto board = OfType(ref, 2); !board.empty()) {
    EXPECT_FIELD(v.MainBoardManufacturer, *board[0], "Manufacturer");
    EXPECT_FIELD(v.MainBoardModel, *board[0], "Product Name");
    EXPECT_FIELD(v.MainBoardVersion, *board[0], "Version");
    EXPECT_FIELD(v.MainBoardSerial, *board[0], "Serial Number");
    EXPECT_FIELD(v.MainBoardAssetTag, *board[0], "Asset Tag");
    if (board[0]->fields.count("Location In Chassis")) {
      EXPECT_FIELD(v.MainBoardLocationInChassis, *board[0], "Location In Chassis");
    }
  }
  if (auto chassis = OfType(ref, 3); !chassis.empty()) {
    EXPECT_FIELD(v.ChassisManufacturer, *chassis[0], "Manufacturer");
    EXPECT_FIELD(v.ChassisVersion, *chassis[0], "Version");
    EXPECT_FIELD(v.ChassisSerial, *chassis[0], "Serial Number");
    EXPECT_FIELD(v.ChassisAssetTag, *chassis[0], "Asset Tag");
    EXPECT_TRUE(SameName(NameOf(ChassisNames(), static_cast<int>(v.ChassisModel)),
                         chassis[0]->fields.at("Type")))
        << chassis[0]->fields.at("Type");
  }
  const auto processors = OfType(ref, 4);
  ASSERT_EQ(processors.size(), v.ProcessorCount());
  for (std::size_t i = 0; i < processors.size(); ++i) {
    SCOPED_TRACE("processor " + std::to_string(i));
    const auto& p = v.Processors[i];
    const auto& r = *processors[i];
    const auto socket = Text(r, "Socket Designation");
    EXPECT_EQ(AsDmidecode(p.Socket), socket.empty() ? "Processor_" + std::to_string(i) : socket);
    EXPECT_FIELD(p.Manufacturer, r, "Manufacturer");
    EXPECT_FIELD(p.Version, r, "Version");
    for (const char* key : {"Serial Number", "Asset Tag", "Part Number"}) {
      if (!r.fields.count(key)) continue;
      const auto& ours = std::string(key) == "Serial Number" ? p.SerialNumber
                         : std::string(key) == "Asset Tag"   ? p.AssetTag
                                                             : p.PartNumber;
      EXPECT_FIELD(ours, r, key);
    }
    EXPECT_EQ(p.ExternalClock, Number(Text(r, "External Clock")));
    EXPECT_EQ(p.Frequency, Number(Text(r, "Current Speed")));
    EXPECT_EQ(p.MaxSpeed, Number(Text(r, "Max Speed")));
    const auto volts = Text(r, "Voltage");
    // A voltage byte of 0x80 is 0.0 V to dmidecode; ours is 0 either way.
    const auto first_volts = volts.substr(0, volts.find(' '));
    EXPECT_EQ(p.Voltage == 0 && first_volts != "0.0" ? "Unknown" : Volts(p.Voltage), first_volts);
    EXPECT_TRUE(SameName(NameOf(ProcessorUpgradeNames(), p.Upgrade), Text(r, "Upgrade")))
        << Text(r, "Upgrade");
    if (r.fields.count("Core Count")) {
      EXPECT_EQ(p.CoreCount, Number(Text(r, "Core Count")));
    }
    if (r.fields.count("Thread Count")) {
      EXPECT_EQ(p.ThreadCount, Number(Text(r, "Thread Count")));
    }
  }
  const auto devices = OfType(ref, 17);
  ASSERT_EQ(devices.size(), v.MemoryDeviceCount());
  for (std::size_t i = 0; i < devices.size(); ++i) {
    SCOPED_TRACE("memory device " + std::to_string(i));
    const auto& m = v.MemoryDevices[i];
    const auto& r = *devices[i];
    EXPECT_FIELD(m.DeviceLocator, r, "Locator");
    EXPECT_FIELD(m.BankLocator, r, "Bank Locator");
    for (const char* key : {"Manufacturer", "Serial Number", "Asset Tag", "Part Number"}) {
      if (!r.fields.count(key)) continue;
      const std::string k = key;
      const auto& ours = k == "Manufacturer"    ? m.Manufacturer
                         : k == "Serial Number" ? m.SerialNumber
                         : k == "Asset Tag"     ? m.AssetTag
                                                : m.PartNumber;
      EXPECT_FIELD(ours, r, key);
    }
    EXPECT_EQ(m.TotalWidth == 0xFFFF ? 0 : m.TotalWidth, Number(Text(r, "Total Width")));
    EXPECT_EQ(m.DataWidth == 0xFFFF ? 0 : m.DataWidth, Number(Text(r, "Data Width")));
    const auto size = SizeKB(Text(r, "Size"));
    EXPECT_EQ(m.SizeUnknown, !size.has_value()) << Text(r, "Size");
    if (size) {
      EXPECT_EQ(m.SizeKB, *size) << Text(r, "Size");
    }
    EXPECT_TRUE(SameName(NameOf(MemoryFormFactorNames(), m.FormFactor), Text(r, "Form Factor")))
        << Text(r, "Form Factor");
    EXPECT_TRUE(SameName(NameOf(MemoryDeviceTypeNames(), m.Device), Text(r, "Type")))
        << Text(r, "Type");
    if (r.fields.count("Speed")) {
      EXPECT_EQ(m.SpeedMTs, Number(Text(r, "Speed")));
    }
  }
}

TEST(SmbiosGolden, EveryFixtureDumpMatchesGoldenAndDmidecode) {
  const auto dir = FixturesDir() / "dmi";
  ASSERT_TRUE(fs::is_directory(dir)) << "no SMBIOS dumps at " << dir;
  const fs::path golden_dir = fs::path(TAVRIN_SOURCE_DIR) / "tests/fixtures/firmware";
  std::vector<fs::path> dumps;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().extension() == ".bin") dumps.push_back(entry.path());
  std::sort(dumps.begin(), dumps.end());
  ASSERT_FALSE(dumps.empty());
  bool saw_sm3 = false, saw_many_dimms = false;
  for (const auto& dump : dumps) {
    SCOPED_TRACE(dump.filename().string());
    const auto decoded = DecodeDump(dump);
    ASSERT_TRUE(decoded) << "not recognised as a dump";
    saw_sm3 = saw_sm3 || decoded->ep.kind == EntryPointKind::Smbios3;
    saw_many_dimms = saw_many_dimms || decoded->values.MemoryDeviceCount() > 8;
    EXPECT_TRUE(tavrin::testing::MatchesGolden(golden_dir / (dump.stem().string() + ".txt"),
                                               GoldenText(*decoded)));
    const auto reference = ParseDmidecode(ReadFile(dump.string() + ".txt"));
    CompareWithDmidecode(*decoded, reference);
    CompareRecordsWithDmidecode(*decoded, reference);
  }
  EXPECT_TRUE(saw_sm3);
  EXPECT_TRUE(saw_many_dimms);
}

}  // namespace
}  // namespace tavrin::collectors::smbios
