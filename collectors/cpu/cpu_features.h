// The five feature sets (leaf 1 EDX/ECX, 0x80000001 EDX/ECX, 0x80000007 EDX) and the instruction
// set extensions of current processors. Pure: registers in, records out.
#pragma once

#include <vector>

#include "collectors/cpu/cpu_types.h"
#include "platform/processor.h"

namespace tavrin::collectors {

/// The register blocks the feature sets are read from; a block not read stays zero.
struct FeatureRegisters {
  platform::CpuidRegisters standard;  ///< leaf 1
  platform::CpuidRegisters extended;  ///< leaf 0x80000001
  platform::CpuidRegisters power;     ///< leaf 0x80000007
};

/// Vendor class of the feature table: 1 Intel, 2 AMD, 3 Cyrix, 0 every other vendor.
int FeatureVendorClass(TCpuVendor vendor);

/// The list of set `set` (1..5) with availability from `regs`.
TCPUFeatureSet DecodeFeatureSet(int set, TCpuVendor vendor, const FeatureRegisters& regs);

/// Registers an extension list is read from (whatever is not supported stays zero).
struct ExtensionRegisters {
  platform::CpuidRegisters leaf1;
  platform::CpuidRegisters leaf7_0;
  platform::CpuidRegisters leaf7_1;
  platform::CpuidRegisters leaf0xD_1;
  platform::CpuidRegisters ext1;  ///< 0x80000001
};

/// Instruction set extensions in display order.
std::vector<IsaExtension> DecodeExtensions(const ExtensionRegisters& regs);

}  // namespace tavrin::collectors
