#include "platform/smbios_entry_point.h"

#include <algorithm>

namespace tavrin::platform {
namespace {

uint32_t ReadLe(std::string_view bytes, std::size_t offset, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    const std::size_t at = offset + static_cast<std::size_t>(i);
    value = (value << 8) | (at < bytes.size() ? static_cast<uint8_t>(bytes[at]) : 0u);
  }
  return value;
}

void PutLe(std::string& b, std::size_t at, uint64_t value, int size) {
  for (int i = 0; i < size; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Sets b[at] so that bytes [from, from + length) sum to zero; `at` lies in that range.
void FixChecksum(std::string& b, std::size_t at, std::size_t from, std::size_t length) {
  b[at] = 0;
  uint8_t sum = 0;
  for (std::size_t i = from; i < from + length; ++i) sum += static_cast<uint8_t>(b[i]);
  b[at] = static_cast<char>(static_cast<uint8_t>(0x100 - sum));
}

bool SumsToZero(std::string_view b, std::size_t from, std::size_t length) {
  if (from > b.size() || length > b.size() - from) return false;
  uint8_t sum = 0;
  for (std::size_t i = from; i < from + length; ++i) sum += static_cast<uint8_t>(b[i]);
  return sum == 0;
}

}  // namespace

std::string SmbiosEntryPoint::VersionText() const {
  return std::to_string(major) + "." + std::to_string(minor);
}

// DMTF SMBIOS 3.x, section 5.2.1 (32-bit entry point) and 5.2.2 (64-bit entry point); the lone
// "_DMI_" structure is the intermediate part of 5.2.1, which DMI 2.0 firmware published alone.
std::optional<SmbiosEntryPoint> ParseEntryPointAt(std::string_view b, std::size_t p) {
  if (p >= b.size()) return std::nullopt;
  const std::string_view at = b.substr(p);
  SmbiosEntryPoint ep;
  ep.position = p;
  if (at.substr(0, 5) == "_SM3_") {
    const std::size_t length = at.size() > 6 ? static_cast<uint8_t>(at[6]) : 0;
    if (length < 0x18 || length > at.size() || !SumsToZero(at, 0, length)) return std::nullopt;
    ep.kind = EntryPointKind::Smbios3;
    ep.entryLength = length;
    ep.major = ReadLe(at, 7, 1);
    ep.minor = ReadLe(at, 8, 1);
    ep.docrev = ReadLe(at, 9, 1);
    ep.tableLength = ReadLe(at, 0x0C, 4);
    ep.tableAddress = ReadLe(at, 0x10, 4) | (uint64_t{ReadLe(at, 0x14, 4)} << 32);
    return ep;
  }
  if (at.substr(0, 4) == "_SM_") {
    const std::size_t length = at.size() > 5 ? static_cast<uint8_t>(at[5]) : 0;
    // 0x1E is a known firmware misstatement of the 0x1F-byte structure.
    if (length < 0x1E || length > at.size() || !SumsToZero(at, 0, length)) return std::nullopt;
    if (at.substr(0x10, 5) != "_DMI_" || !SumsToZero(at, 0x10, 0x0F)) return std::nullopt;
    ep.kind = EntryPointKind::Smbios2;
    // The misstated 0x1E still has the intermediate part's last byte after it.
    ep.entryLength = std::max<std::size_t>(length, 0x1F);
    ep.major = ReadLe(at, 6, 1);
    ep.minor = ReadLe(at, 7, 1);
    ep.maxStructureSize = ReadLe(at, 8, 2);
    ep.tableLength = ReadLe(at, 0x16, 2);
    ep.tableAddress = ReadLe(at, 0x18, 4);
    ep.structureCount = ReadLe(at, 0x1C, 2);
    return ep;
  }
  if (at.substr(0, 5) == "_DMI_") {
    if (!SumsToZero(at, 0, 0x0F)) return std::nullopt;
    // The bytes before a lone "_DMI_" belong to nothing; its version is the BCD revision.
    const uint8_t bcd = ReadLe(at, 0x0E, 1);
    ep.kind = EntryPointKind::LegacyDmi;
    ep.entryLength = 0x0F;
    ep.major = bcd >> 4;
    ep.minor = bcd & 0x0F;
    ep.tableLength = ReadLe(at, 6, 2);
    ep.tableAddress = ReadLe(at, 8, 4);
    ep.structureCount = ReadLe(at, 0x0C, 2);
    return ep;
  }
  return std::nullopt;
}

std::optional<SmbiosEntryPoint> FindEntryPoint(std::string_view bytes) {
  for (std::string_view anchor : {"_SM3_", "_SM_", "_DMI_"}) {
    for (auto p = bytes.find(anchor); p != std::string_view::npos; p = bytes.find(anchor, p + 1)) {
      // A "_DMI_" inside an "_SM_" structure is not a lone one, whatever its own checksum.
      if (anchor == "_DMI_" && p >= 16 && bytes.substr(p - 16, 4) == "_SM_") continue;
      if (auto ep = ParseEntryPointAt(bytes, p)) return ep;
    }
  }
  return std::nullopt;
}

std::string CutStructureTable(const SmbiosEntryPoint& entry, std::string table) {
  if (entry.kind != EntryPointKind::Smbios3 && table.size() > entry.tableLength)
    table.resize(entry.tableLength);
  return table;
}

std::optional<std::string> RelocateEntryPoint(std::string_view entryPoint, uint64_t tableAddress) {
  const auto ep = ParseEntryPointAt(entryPoint);
  if (!ep) return std::nullopt;
  std::string out(entryPoint.substr(0, ep->entryLength));
  switch (ep->kind) {
    case EntryPointKind::Smbios3:
      PutLe(out, 0x10, tableAddress, 8);
      FixChecksum(out, 0x05, 0, static_cast<uint8_t>(out[6]));
      break;
    case EntryPointKind::Smbios2:
      if (tableAddress > 0xFFFFFFFFu) return std::nullopt;
      PutLe(out, 0x18, tableAddress, 4);
      // The intermediate part first: the outer checksum covers its bytes.
      FixChecksum(out, 0x15, 0x10, 0x0F);
      FixChecksum(out, 0x04, 0, static_cast<uint8_t>(out[5]));
      break;
    case EntryPointKind::LegacyDmi:
      if (tableAddress > 0xFFFFFFFFu) return std::nullopt;
      PutLe(out, 0x08, tableAddress, 4);
      FixChecksum(out, 0x05, 0, 0x0F);
      break;
  }
  return out;
}

}  // namespace tavrin::platform
