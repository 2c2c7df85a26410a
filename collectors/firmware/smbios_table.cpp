#include "collectors/firmware/smbios_table.h"

#include <unordered_set>

#include "base/strings.h"

namespace tavrin::collectors::smbios {
namespace {

constexpr uint8_t kEndOfTable = 127;
constexpr std::size_t kMaxString = 255;

// DMTF SMBIOS 3.x, section 6.1.2 (structure types 0 to 39, 126 and 127), with the names as
// this program shows them.
constexpr std::string_view kTypeNames[] = {
    "BIOS Information",
    "System Information",
    "Base Board Information",
    "System Enclosure or Chassis",
    "Processor Information",
    "Memory Controller Information",
    "Memory Module Information",
    "Cache Information",
    "Port Connector Information",
    "System Slots",
    "On Board Devices Information",
    "OEM Strings",
    "System Configuration Options",
    "BIOS Language Information",
    "Group Associations",
    "System Event Log",
    "Physical Memory Array",
    "Memory Device",
    "32-bit Memory Error Information",
    "Memory Array Mapped Address",
    "Memory Device Mapped Address",
    "Built-in Pointing Device",
    "Portable Battery",
    "System Reset",
    "Hardware Security",
    "System Power Controls",
    "Voltage Probe",
    " Cooling Device",
    "Temperature Probe",
    "Electrical Current Probe",
    "Out-of-Band Remote Access",
    "Boot Integrity Services (BIS) Entry Point",
    "System Boot Information",
    "64-bit Memory Error Information",
    "Management Device",
    "Management Device Component",
    "Management Device Threshold Data",
    "Memory Channel",
    "IPMI Device Information",
    "System Power Supply",
};

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

constexpr std::string_view Trim(std::string_view text) {
  return base::Trim(text, " \t\r\n");
}

}  // namespace

uint32_t ReadLe(std::string_view bytes, std::size_t offset, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    const std::size_t at = offset + static_cast<std::size_t>(i);
    value = (value << 8) | (at < bytes.size() ? static_cast<uint8_t>(bytes[at]) : 0u);
  }
  return value;
}

std::string_view WalkStopName(WalkStop stop) {
  switch (stop) {
    case WalkStop::EndOfTable:
      return "end-of-table structure";
    case WalkStop::EndOfData:
      return "end of the table data";
    case WalkStop::ShortHeader:
      return "truncated structure header";
    case WalkStop::LengthTooSmall:
      return "structure length below 4";
    case WalkStop::PastEnd:
      return "structure runs past the table";
    case WalkStop::Unterminated:
      return "strings without terminator";
    case WalkStop::RepeatedHandle:
      return "repeated structure handle";
  }
  return "unknown";
}

std::string_view StructureTypeName(uint8_t type) {
  if (type < std::size(kTypeNames)) return kTypeNames[type];
  if (type == 126) return "Inactive";
  if (type == kEndOfTable) return "End-of-Table";
  return "Unknown";
}

WalkResult WalkStructures(std::string_view table) {
  WalkResult result;
  std::unordered_set<uint16_t> handles;
  std::size_t at = 0;
  for (;;) {
    if (at >= table.size()) {
      result.stop = WalkStop::EndOfData;
      return result;
    }
    if (table.size() - at < 4) {
      result.stop = WalkStop::ShortHeader;
      return result;
    }
    StructureEntry entry;
    entry.address = static_cast<uint32_t>(at);
    entry.type = static_cast<uint8_t>(table[at]);
    entry.length = static_cast<uint8_t>(table[at + 1]);
    entry.handle = static_cast<uint16_t>(ReadLe(table, at + 2, 2));
    if (entry.length < 4) {
      result.stop = WalkStop::LengthTooSmall;
      return result;
    }
    if (entry.length > table.size() - at) {
      result.stop = WalkStop::PastEnd;
      return result;
    }
    // The string set ends at the first pair of zero bytes after the formatted area.
    const auto end = table.find(std::string_view("\0\0", 2), at + entry.length);
    if (end == std::string_view::npos) {
      result.stop = WalkStop::Unterminated;
      return result;
    }
    if (!handles.insert(entry.handle).second) {
      result.stop = WalkStop::RepeatedHandle;
      return result;
    }
    entry.name = std::string(StructureTypeName(entry.type));
    result.index.push_back(std::move(entry));
    if (result.index.back().type == kEndOfTable) {
      result.stop = WalkStop::EndOfTable;
      return result;
    }
    at = end + 2;
  }
}

std::optional<std::size_t> FindStructure(const std::vector<StructureEntry>& index, uint8_t type,
                                         std::size_t start) {
  for (std::size_t i = start; i < index.size(); ++i)
    if (index[i].type == type) return i;
  return std::nullopt;
}

std::size_t CountStructures(const std::vector<StructureEntry>& index, uint8_t type) {
  std::size_t count = 0;
  for (auto at = FindStructure(index, type); at; at = FindStructure(index, type, *at + 1)) ++count;
  return count;
}

std::string GetStructureString(std::string_view table, uint32_t address, uint8_t length,
                               uint8_t number) {
  if (number == 0) return {};
  std::size_t at = std::size_t{address} + length;
  for (uint8_t n = 1; at < table.size(); ++n) {
    auto end = table.find('\0', at);
    if (end == std::string_view::npos) end = table.size();  // unterminated: up to the table end
    std::string_view text = table.substr(at, end - at);
    if (text.empty()) return {};  // the string set ended before string `number`
    if (n == number) return Latin1ToUtf8(Trim(text.substr(0, kMaxString)));
    at = end + 1;
  }
  return {};
}

}  // namespace tavrin::collectors::smbios
