// The SMBIOS entry point structures: where the structure table is and which version it follows.
//
// One pure parser (bytes in) serves every route that finds the tables (the kernel's export,
// physical memory, a dump file) and the firmware collector, so they can never disagree about
// what an entry point says.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin::platform {

enum class EntryPointKind : uint8_t {
  Smbios2,    ///< 32-bit "_SM_" with its "_DMI_" intermediate part
  LegacyDmi,  ///< a lone "_DMI_" structure (DMI 2.0 era)
  Smbios3,    ///< 64-bit "_SM3_"
};

struct SmbiosEntryPoint {
  EntryPointKind kind = EntryPointKind::Smbios2;
  std::size_t position = 0;  ///< offset of the anchor in the searched bytes
  /// Bytes the entry point structure takes. For "_SM_" at least 0x1F, with its intermediate
  /// "_DMI_" part, even when its length field says 0x1E.
  std::size_t entryLength = 0;
  uint8_t major = 0, minor = 0, docrev = 0;
  uint64_t tableAddress = 0;
  /// Exact table length for 2.x; a maximum for 3.x, whose table ends at the type 127 structure.
  uint32_t tableLength = 0;
  /// Number of structures (2.x); 0xFFFF when the entry point does not say (3.x).
  uint16_t structureCount = 0xFFFF;
  uint16_t maxStructureSize = 0;

  /// "%d.%d" of the major and minor version.
  std::string VersionText() const;
};

/// The entry point whose anchor is at `position`, with its checksums checked; nullopt when
/// there is none or a checksum is wrong.
std::optional<SmbiosEntryPoint> ParseEntryPointAt(std::string_view bytes, std::size_t position = 0);

/// Searches every byte position for an entry point with valid checksums: "_SM3_" first, then
/// "_SM_" with "_DMI_" 16 bytes further, then a lone "_DMI_".
std::optional<SmbiosEntryPoint> FindEntryPoint(std::string_view bytes);

/// The structure table as the entry point bounds it: a 2.x table is exactly as long as the
/// entry point says, so bytes after it are cut; a 3.x length is only a maximum.
std::string CutStructureTable(const SmbiosEntryPoint& entry, std::string table);

/// `entryPoint` rewritten for a table at `tableAddress`: its address field set and its
/// checksums made right again, `entryLength` bytes long. nullopt when `entryPoint` holds no
/// valid entry point at its start, or the address does not fit a 32-bit form.
std::optional<std::string> RelocateEntryPoint(std::string_view entryPoint, uint64_t tableAddress);

}  // namespace tavrin::platform
