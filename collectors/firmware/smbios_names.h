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

/// The name at `index`; empty when the table has none there.
std::string_view NameOf(NameTable table, int index);
/// The name of `code`; empty when the table has none.
std::string_view NameOf(CodeTable table, uint8_t code);

/// The names of the set bits of `mask` (bit i is `table[i]`), each followed by ",", the last
/// "," removed; empty for an empty set.
std::string SetText(uint32_t mask, NameTable table);

}  // namespace tavrin::collectors::smbios
