// Display names of the SMBIOS values the firmware collector keeps. The tables are plain data
// in smbios_names.cpp, each beside the DMTF section it follows.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tavrin::collectors::smbios {

/// A name table indexed by the stored value (index 0 first).
using NameTable = std::span<const std::string_view>;

/// A code and its name, for values that keep the SMBIOS code itself.
struct CodeName {
  uint8_t code;
  std::string_view name;
};
/// Sorted by code.
using CodeTable = std::span<const CodeName>;

NameTable ChassisNames();
NameTable InterleaveNames();
NameTable VoltageNames();
NameTable MemorySpeedNames();
NameTable ModuleTypeNames();
NameTable ProcessorUpgradeNames();
NameTable MemoryFormFactorNames();
NameTable MemoryDeviceTypeNames();
/// Names of the type-detail bits, from bit 1 ("Other"); bit 0 is reserved.
NameTable MemoryTypeDetailNames();
NameTable SlotDataBusNames();
NameTable SlotUsageNames();
NameTable SlotLengthNames();
NameTable CacheSramTypeNames();
NameTable CacheTypeNames();
NameTable CacheAssociativityNames();
NameTable OnBoardDeviceTypeNames();
NameTable ProbeLocationNames();
NameTable ProbeStatusNames();

CodeTable ConnectorTypeNames();
CodeTable PortTypeNames();
CodeTable SlotTypeNames();

/// A 16-bit code and its name (processor families go past 255).
struct CodeName16 {
  uint16_t code;
  std::string_view name;
};
using CodeTable16 = std::span<const CodeName16>;

// Tables of the advanced page's records (smbios_names_more.cpp).
NameTable WakeUpTypeNames();            ///< indexed by code
NameTable ChassisStateNames();          ///< code - 1
NameTable ChassisSecurityNames();       ///< code - 1
NameTable ProcessorTypeNames();         ///< code - 1
NameTable CacheErrorCorrectionNames();  ///< code - 1
/// On-board device types of both records (types 10 and 41); code - 1.
NameTable DeviceTypeNames();
CodeTable MemoryArrayLocationNames();
NameTable MemoryArrayUseNames();              ///< code - 1
NameTable MemoryArrayErrorCorrectionNames();  ///< code - 1
NameTable IpmiInterfaceNames();               ///< indexed by code
CodeTable16 ProcessorFamilyNames();
/// The family name of a processor record. Code BEh is reserved by DSP0134, yet firmware of
/// both makers stores it: Intel's for the Core 2, AMD's for the K7; the maker tells which.
std::string_view ProcessorFamilyName(uint16_t code, std::string_view manufacturer);

/// The name at `index`; empty when the table has none there.
std::string_view NameOf(NameTable table, int index);
/// The name of `code`; empty when the table has none.
std::string_view NameOf(CodeTable table, uint8_t code);
std::string_view NameOf(CodeTable16 table, uint16_t code);
/// The name of a code stored 1-based (code - 1 indexes `table`); empty for 0 or past the end.
std::string_view NameOfCode(NameTable table, int code);

/// The names of the set bits of `mask` (bit i is `table[i]`), each followed by ",", the last
/// "," removed; empty for an empty set.
std::string SetText(uint32_t mask, NameTable table);

}  // namespace tavrin::collectors::smbios
