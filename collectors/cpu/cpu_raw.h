// The processor data a refresh reads once: every CPUID leaf of every logical processor, the
// operating system's record and what the kernel says. Everything the collector shows is worked
// out from this record alone, so a dump from any machine identifies the same way everywhere.
#pragma once

#include <optional>
#include <vector>

#include "platform/processor.h"

namespace tavrin::collectors {

struct CpuRawRecord {
  /// One dump per logical processor, in processor order; empty without CPUID.
  std::vector<platform::LogicalCpuDump> cpus;
  /// The processor examined (CPUIndex after the range rule), an index into `cpus`.
  unsigned examined = 0;
  platform::ProcessorSystemInfo system;
  std::optional<platform::KernelProcessorRecord> kernel;
  platform::Provenance kernelSource;
};

/// The leaves of one logical processor, with the instruction's range rules.
class CpuidLeaves {
 public:
  CpuidLeaves() = default;
  explicit CpuidLeaves(const platform::LogicalCpuDump& dump) : dump_(&dump) {}

  platform::CpuidRegisters Get(uint32_t leaf, uint32_t subleaf = 0) const {
    return dump_ ? platform::LookupLeaf(*dump_, leaf, subleaf) : platform::CpuidRegisters{};
  }
  uint32_t MaxBasic() const { return Get(0).eax; }
  /// 0 when the extended range is absent (its leaf answers below 0x80000000).
  uint32_t MaxExtended() const {
    const uint32_t max = Get(0x80000000u).eax;
    return (max & 0xFFFF0000u) == 0x80000000u ? max : 0;
  }
  /// A leaf exists when it is not above the maximum of its range (as IsLeafSupported).
  bool Supported(uint32_t leaf) const {
    if (!dump_ || dump_->empty()) return false;
    return platform::LeafWithinRange(leaf, Get(platform::LeafRangeBase(leaf)).eax);
  }
  bool empty() const { return !dump_ || dump_->empty(); }

 private:
  const platform::LogicalCpuDump* dump_ = nullptr;
};

}  // namespace tavrin::collectors
