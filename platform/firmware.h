// Firmware tables and physical memory: where the SMBIOS (DMI) data of the machine comes from.
//
// The service hands out raw bytes only (the entry point structure and the structure table, or
// a range of physical memory); decoding them is the firmware collector's business. Several
// routes may lead to the tables; the service reports which one answered and why the others did
// not, so a page can say that running with more rights would fill its empty rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_reader.h"
#include "platform/provenance.h"

namespace tavrin::platform {

/// The SMBIOS data as the firmware publishes it.
struct SmbiosTables {
  std::string entryPoint;     ///< raw entry point structure ("_SM_", "_SM3_" or "_DMI_")
  std::string table;          ///< raw structure table
  uint64_t tableAddress = 0;  ///< physical address of the table (0 when unknown)
};

/// One attempt to get the tables: the route that answered, or one that did not.
struct FirmwareRoutes {
  Answer<SmbiosTables> tables;    ///< provenance names the route that answered, or the last failure
  std::vector<Provenance> tried;  ///< every route in the order tried, each with its outcome
};

class FirmwareService {
 public:
  virtual ~FirmwareService() = default;

  /// The SMBIOS entry point and structure table, through the first route that works.
  virtual FirmwareRoutes ReadSmbios() const = 0;
  /// `length` bytes of physical memory from `address`.
  virtual Answer<std::string> ReadPhysicalMemory(uint64_t address, std::size_t length) const = 0;
};

/// The firmware values Linux exports to every user under /sys/class/dmi/id: what a page can
/// show when the tables themselves are out of reach. Serial numbers and the UUID are readable
/// by root only; their reasons are kept in `unreadable`.
struct DmiIdRecord {
  std::string biosVendor, biosVersion, biosDate, biosRelease;
  std::string systemVendor, productName, productVersion, productSerial, productUuid;
  std::string boardVendor, boardName, boardVersion, boardSerial, boardAssetTag;
  std::string chassisVendor, chassisVersion, chassisSerial, chassisAssetTag;
  int chassisType = 0;                 ///< SMBIOS chassis type code, 0 when not readable
  std::vector<Provenance> unreadable;  ///< attributes that exist but could not be read
};

/// Reads /sys/class/dmi/id through `files` (so a captured tree replays). Fails when the folder
/// is missing or no attribute could be read.
Answer<DmiIdRecord> ReadDmiIdRecord(const FileReader& files);

/// Where a table begins and how long it is, as an entry point structure at the start of `bytes`
/// gives them (anchor and checksums checked). Only what acquisition needs to find the table.
struct EntryPointLocation {
  bool is64 = false;  ///< "_SM3_": the length is a maximum, the table ends at type 127
  uint64_t tableAddress = 0;
  uint32_t tableLength = 0;
  std::size_t entryLength = 0;  ///< bytes of the entry point structure
};
std::optional<EntryPointLocation> LocateEntryPoint(std::string_view bytes);

/// The dump layout shared with other tools: the entry point at offset 0 with its table address
/// set to 0x20 (checksums recomputed), zero padding to 0x20, the table from 0x20.
inline constexpr std::size_t kDumpTableOffset = 0x20;
std::string ComposeSmbiosDump(const SmbiosTables& tables);
/// The inverse, recognising a dump by its content; nullopt when `bytes` is not one.
std::optional<SmbiosTables> SplitSmbiosDump(std::string_view bytes);

}  // namespace tavrin::platform
