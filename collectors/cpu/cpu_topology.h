// Packages, cores and threads from the CPUID leaves of every logical processor (and the
// kernel's placement where the leaves cannot be read on every processor). Pure: registers in,
// counts out.
#pragma once

#include <string>
#include <vector>

#include "collectors/cpu/cpu_raw.h"
#include "collectors/cpu/cpu_types.h"

namespace tavrin::collectors {

struct CpuTopology {
  uint32_t packages = 1;
  uint32_t coresPerPackage = 1;    ///< every core type summed
  uint32_t threadsPerPackage = 1;  ///< every core type summed
  uint32_t threadsPerCoreMax = 1;  ///< 2 where any core of the package runs two threads
  uint8_t apicId = 255;            ///< initial APIC id of the examined processor (255 without HTT)
  uint8_t physicalId = 255, logicalId = 0;
  bool htt = false;  ///< leaf 1 EDX bit 28: the package may hold more than one logical processor
  uint32_t leaf4Cores = 0;  ///< leaf 4's (maximum addressable) core count, 0 without leaf 4
  std::vector<CoreTypeCount> coreTypes;  ///< hybrid parts only, performance cores first
  std::string method;                    ///< which leaves decided, for the diagnostics log
};

/// Where the package and core parts of an APIC id begin, and the package's thread count as the
/// examined processor's leaves give it (0 when they give none).
struct ApicLayout {
  int smtShift = 0;
  int packageShift = 0;
  uint32_t threads = 0;
  uint32_t threadsPerCore = 1;
  uint32_t topologyLeaf = 0;  ///< 0x1F, 0xB, 0x80000008 or 1 (leaf 1/4 rules)
};

/// Intel SDM Vol. 2A, CPUID leaves 0BH/1FH "Extended Topology Enumeration" (also on AMD since
/// Zen 2 and on Zhaoxin); AMD APM Vol. 3, E.4.7 Fn8000_0008 ECX and E.4.16 Fn8000_001E EBX for
/// AMD and Hygon parts without them; leaf 1 EBX[23:16] and leaf 4 EAX[31:26] as the fallback of
/// older parts (there they are maximum addressable ids, which the old parts fill exactly).
ApicLayout DecodeApicLayout(const CpuidLeaves& leaves, TCpuVendor vendor);

/// The APIC id a processor's leaves give: x2APIC id of leaf 0x1F/0xB, AMD's extended id of
/// 0x8000001E, else the initial id of leaf 1.
uint32_t ApicIdOf(const CpuidLeaves& leaves, const ApicLayout& layout, TCpuVendor vendor);

/// Counts the examined processor's package. With several processors read, their APIC ids are
/// counted; with one, the examined processor's leaves say; with the kernel placing more
/// processors than could be read, the kernel's core ids are counted.
CpuTopology DecodeTopology(const CpuRawRecord& raw, TCpuVendor vendor);

}  // namespace tavrin::collectors
