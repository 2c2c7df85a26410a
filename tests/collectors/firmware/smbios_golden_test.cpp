// Every SMBIOS dump of the shared fixtures, decoded and compared twice: with our own labeled
// goldens (TAVRIN_REWRITE_GOLDENS=1 rewrites them), and field by field with the dmidecode
// decode stored beside each dump.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "collectors/firmware/smbios_decode.h"
#include "collectors/firmware/smbios_entry_point.h"
#include "collectors/firmware/smbios_names.h"
#include "base/strings.h"
#include "platform/firmware.h"
#include "tests/support/golden.h"
#include "tests/support/test_data.h"

namespace tavrin::collectors::smbios {
namespace {

namespace fs = std::filesystem;

fs::path FixturesDir() { return tavrin::testing::TestDataDir(); }

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

struct Decoded {
  SmbiosEntryPoint ep;
  std::string table;
  std::vector<StructureEntry> index;
  SmbiosValues values;
};

std::optional<Decoded> DecodeDump(const fs::path& file) {
  auto tables = platform::SplitSmbiosDump(ReadFile(file));
  if (!tables) return std::nullopt;
  auto ep = FindEntryPoint(tables->entryPoint);
  if (!ep) return std::nullopt;
  Decoded d{*ep, tables->table, {}, {}};
  if (ep->kind != EntryPointKind::Smbios3 && d.table.size() > ep->tableLength)
    d.table.resize(ep->tableLength);
  d.index = WalkStructures(d.table).index;
  d.values = DecodeSmbios(d.table, d.index, {ep->major, ep->minor});
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
    << "system.model: " << v.SystemModel << "\n"
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
      << p.ThreadCount << "\n";
  }
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
      << k << "speed: " << m.SpeedMTs << " MT/s, " << m.Speed << " ns\n";
  }
  return o.str();
}

// --- dmidecode's text -------------------------------------------------------------------

struct Paragraph {
  int type = -1;
  std::map<std::string, std::string> fields;
};

std::string Trimmed(std::string_view s) { return std::string(base::Trim(s, " \t")); }

std::vector<Paragraph> ParseDmidecode(const std::string& text) {
  std::vector<Paragraph> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("Handle 0x", 0) == 0) {
      Paragraph p;
      const auto at = line.find("DMI type ");
      if (at != std::string::npos) p.type = std::atoi(line.c_str() + at + 9);
      out.push_back(std::move(p));
    } else if (!out.empty() && line.size() > 1 && line[0] == '\t' && line[1] != '\t') {
      const auto colon = line.find(':');
      if (colon == std::string::npos) continue;
      out.back().fields[line.substr(1, colon - 1)] = Trimmed(line.substr(colon + 1));
    }
  }
  return out;
}

std::vector<const Paragraph*> OfType(const std::vector<Paragraph>& all, int type) {
  std::vector<const Paragraph*> out;
  for (const auto& p : all)
    if (p.type == type) out.push_back(&p);
  return out;
}

// Names compared without case, blanks and punctuation ("LapTop" = "Laptop").
std::string Folded(std::string_view s) {
  std::string out;
  for (unsigned char c : s)
    if (std::isalnum(c)) out += static_cast<char>(std::tolower(c));
  return out;
}

// Where our name tables keep the original program's wording, and where dmidecode 3.4 misnames
// a code (24h is "Socket LGA1155" in the DMTF table).
bool SameName(std::string_view ours, std::string_view theirs) {
  static const std::map<std::string, std::string> kAliases = {{"rowchip", "rowofchips"},
                                                              {"propcard", "proprietarycard"},
                                                              {"multisystemchassis", "multisystem"},
                                                              {"370pinsocket", "socket370"},
                                                              {"socketlga1155", "socketbga1155"}};
  const auto a = Folded(ours), b = Folded(theirs);
  if (a == b) return true;
  const auto it = kAliases.find(a);
  return it != kAliases.end() && it->second == b;
}

// dmidecode's words for a string number of 0 and for one past the last string are an empty
// text for us; firmware that stores the words itself is read the same way.
std::string Unspecified(const std::string& text) {
  return text == "Not Specified" || text == "<BAD INDEX>" ? std::string() : text;
}

// A dmidecode string value as our decoder gives it.
std::string Text(const Paragraph& p, const std::string& key) {
  auto it = p.fields.find(key);
  if (it == p.fields.end()) return {};
  return Unspecified(it->second);
}

// dmidecode shows bytes outside printable ASCII as '.'; compare ours the same way.
std::string AsDmidecode(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0xC0) {
      out += '.';
      ++i;
    } else {
      out += (c < 0x20 || c == 0x7F) ? '.' : static_cast<char>(c);
    }
  }
  return out;
}

// "16 GB", "512 kB", "No Module Installed", "Unknown" in KB; nullopt for unknown.
std::optional<uint64_t> SizeKB(const std::string& text) {
  if (text == "No Module Installed" || text.empty()) return 0;
  if (text == "Unknown") return std::nullopt;
  std::istringstream in(text);
  uint64_t n = 0;
  std::string unit;
  in >> n >> unit;
  if (unit == "kB") return n;
  if (unit == "MB") return n * 1024;
  if (unit == "GB") return n * 1024 * 1024;
  if (unit == "TB") return n * 1024 * 1024 * 1024;
  return std::nullopt;
}

uint64_t Number(const std::string& text) {  // "100 MHz", "64 bits", "Unknown" -> 0
  return std::strtoull(text.c_str(), nullptr, 10);
}

// dmidecode's UUID form: dashes, and (from 2.6) the first three fields little-endian.
std::string UuidAsDmidecode(const std::string& hex, const SmbiosEntryPoint& ep) {
  if (hex.size() != 32) return hex;
  if (hex == std::string(32, 'f')) return "Not Present";
  if (hex == std::string(32, '0')) return "Not Settable";
  std::string h = hex;
  if (ep.major > 2 || (ep.major == 2 && ep.minor >= 6)) {
    auto swap = [&h](std::size_t at, std::size_t bytes) {
      std::string part;
      for (std::size_t i = bytes; i-- > 0;) part += h.substr(at + 2 * i, 2);
      h.replace(at, 2 * bytes, part);
    };
    swap(0, 4);
    swap(8, 2);
    swap(12, 2);
  }
  std::string out = h.substr(0, 8) + "-" + h.substr(8, 4) + "-" + h.substr(12, 4) + "-" +
                    h.substr(16, 4) + "-" + h.substr(20);
  return out;
}

#define EXPECT_FIELD(ours, paragraph, key) \
  EXPECT_EQ(Unspecified(AsDmidecode(ours)), Text(paragraph, key)) << "field " << key

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
    EXPECT_FIELD(v.SystemModel, *system[0], "Product Name");
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
    CompareWithDmidecode(*decoded, ParseDmidecode(ReadFile(dump.string() + ".txt")));
  }
  EXPECT_TRUE(saw_sm3);
  EXPECT_TRUE(saw_many_dimms);
}

}  // namespace
}  // namespace tavrin::collectors::smbios
