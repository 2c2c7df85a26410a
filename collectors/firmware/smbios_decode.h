// Decoding of the walked SMBIOS table into the collector's values. Pure: bytes in, records out.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "collectors/firmware/smbios_records.h"
#include "collectors/firmware/smbios_table.h"

namespace tavrin::collectors::smbios {

/// The SMBIOS version the table follows; fields added after it are not read.
struct SmbiosVersion {
  uint8_t major = 0, minor = 0;
};

/// Every decoded value of the table. `index` is the walk of `table`.
SmbiosValues DecodeSmbios(std::string_view table, const std::vector<StructureEntry>& index,
                          SmbiosVersion version);

// The parts, by structure type (smbios_decode_board.cpp too) (smbios_decode_single.cpp,
// smbios_decode_lists.cpp).
void DecodeSingleStructures(std::string_view table, const std::vector<StructureEntry>& index,
                            SmbiosVersion version, SmbiosValues& out);
void DecodeListStructures(std::string_view table, const std::vector<StructureEntry>& index,
                          SmbiosVersion version, SmbiosValues& out);
/// Memory arrays, extended on-board devices, OEM strings and the IPMI device.
void DecodeBoardStructures(std::string_view table, const std::vector<StructureEntry>& index,
                           SmbiosValues& out);

// Value encodings worth testing on their own.
/// Memory module installed size byte: MB, 0 for "not installed / not determinable".
uint32_t ModuleSizeMB(uint8_t sizeByte);
/// Cache size word: KB (bit 15 selects 64 KB granularity).
uint32_t CacheSizeKB(uint16_t word);
/// Cache size double word of SMBIOS 3.1 (bit 31 selects 64 KB granularity).
uint64_t CacheSize2KB(uint32_t dword);
/// Processor voltage byte, volts.
double ProcessorVoltage(uint8_t voltageByte);
/// Memory device size in KB from the size word and the extended size; nullopt when unknown.
std::optional<uint64_t> MemoryDeviceSizeKB(uint16_t sizeWord, uint32_t extendedSize);
/// BIOS ROM size in KB from the 64 KB-block byte and the SMBIOS 3.1 extended size word.
uint64_t BiosRomSizeKB(uint8_t blocksByte, uint16_t extendedSize, bool hasExtended);

}  // namespace tavrin::collectors::smbios
