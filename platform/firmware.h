// Firmware tables and physical memory: where the SMBIOS (DMI) data of the machine comes from.
//
// The service hands out raw bytes (the entry point structure and the structure table already cut
// to the length the entry point gives, or a range of physical memory) with the entry point
// parsed; decoding the structures is the firmware collector's business. Several
// routes may lead to the tables; the service reports which one answered and why the others did
// not, so a page can say that running with more rights would fill its empty rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/provenance.h"
#include "platform/smbios_entry_point.h"

namespace tavrin::platform {

/// The SMBIOS data as the firmware publishes it.
struct SmbiosTables {
  std::string entryPoint;     ///< raw entry point structure ("_SM_", "_SM3_" or "_DMI_")
  std::string table;          ///< raw structure table, cut as the entry point bounds it
  uint64_t tableAddress = 0;  ///< physical address of the table (0 when unknown)
  SmbiosEntryPoint entry;     ///< `entryPoint` parsed: version, kind, table bounds
};

/// Tables from a raw entry point and the bytes read for its table: the entry point parsed and
/// the table cut; nullopt when `entryPoint` holds no valid entry point.
std::optional<SmbiosTables> MakeSmbiosTables(std::string entryPoint, std::string table,
                                             uint64_t tableAddress);

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

/// The dump layout shared with other tools: the entry point at offset 0 with its table address
/// set to 0x20 (checksums recomputed), zero padding to 0x20, the table from 0x20.
inline constexpr std::size_t kDumpTableOffset = 0x20;
std::string ComposeSmbiosDump(const SmbiosTables& tables);
/// The inverse, recognising a dump by its content; nullopt when `bytes` is not one.
std::optional<SmbiosTables> SplitSmbiosDump(std::string_view bytes);

}  // namespace tavrin::platform
