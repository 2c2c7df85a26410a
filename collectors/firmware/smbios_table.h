// The SMBIOS structure table: the walk into an index of structures, structure lookup by type,
// string lookup, and bounded field reads. Pure decoding of bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::collectors::smbios {

/// Little-endian value of `size` bytes (1..4) at `offset`; bytes outside `bytes` read as 0.
uint32_t ReadLe(std::string_view bytes, std::size_t offset, int size);

/// One structure of the table.
struct StructureEntry {
  uint32_t address = 0;  ///< offset of the structure in the table
  uint8_t type = 0;
  uint8_t length = 0;  ///< length of the formatted area
  uint16_t handle = 0;
  std::string name;  ///< the type's name, "Unknown" for types without one
};

/// Why the walk ended. Everything but EndOfTable and EndOfData means the table was damaged
/// after the last indexed structure.
enum class WalkStop : uint8_t {
  EndOfTable,      ///< the type 127 structure
  EndOfData,       ///< the table bytes ended between structures
  ShortHeader,     ///< fewer than 4 bytes left for a header
  LengthTooSmall,  ///< a formatted length below the 4-byte header
  PastEnd,         ///< a formatted area running past the table
  Unterminated,    ///< a string set without its closing pair of zero bytes
  RepeatedHandle,  ///< a handle met twice: the table repeats itself
};
std::string_view WalkStopName(WalkStop stop);

struct WalkResult {
  std::vector<StructureEntry> index;
  WalkStop stop = WalkStop::EndOfData;
};

/// Walks the table from its first byte. Only complete structures are indexed.
WalkResult WalkStructures(std::string_view table);

/// Name of a structure type ("BIOS Information"); "Unknown" when the type has none.
std::string_view StructureTypeName(uint8_t type);

/// Position in `index` of the first structure of `type` at or after `start`.
std::optional<std::size_t> FindStructure(const std::vector<StructureEntry>& index, uint8_t type,
                                         std::size_t start = 0);
std::size_t CountStructures(const std::vector<StructureEntry>& index, uint8_t type);

/// String `number` (from 1) of the structure at `address` whose formatted area is `length`
/// bytes: trimmed, single-byte characters converted to UTF-8. Empty for number 0, for a number
/// past the last string, and for anything outside the table.
std::string GetStructureString(std::string_view table, uint32_t address, uint8_t length,
                               uint8_t number);

/// Field reads of one structure, bounded by its formatted area: a field the structure is too
/// short to hold reads as 0 (or empty), as older SMBIOS versions define it.
class StructureView {
 public:
  StructureView(std::string_view table, const StructureEntry& entry)
      : table_(table), entry_(entry) {}

  const StructureEntry& entry() const { return entry_; }
  uint8_t length() const { return entry_.length; }
  bool Has(std::size_t offset, std::size_t size) const { return offset + size <= entry_.length; }
  uint8_t Byte(std::size_t offset) const { return static_cast<uint8_t>(Read(offset, 1)); }
  uint16_t Word(std::size_t offset) const { return static_cast<uint16_t>(Read(offset, 2)); }
  uint32_t Dword(std::size_t offset) const { return Read(offset, 4); }
  /// The string whose number is stored at `offset`.
  std::string String(std::size_t offset) const {
    return GetStructureString(table_, entry_.address, entry_.length, Byte(offset));
  }

 private:
  uint32_t Read(std::size_t offset, int size) const {
    if (!Has(offset, static_cast<std::size_t>(size))) return 0;
    return ReadLe(table_, entry_.address + offset, size);
  }

  std::string_view table_;
  const StructureEntry& entry_;
};

}  // namespace tavrin::collectors::smbios
