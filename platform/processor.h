// The processor service: the CPUID instruction, pinning to one logical processor, the operating
// system's view of the processors, and the clocks a frequency measurement needs.
//
// The live service executes the instruction on this machine; the recorded one answers from
// register dumps, so a dump from any machine identifies the same way everywhere.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

struct CpuidRegisters {
  uint32_t eax = 0;
  uint32_t ebx = 0;
  uint32_t ecx = 0;
  uint32_t edx = 0;
  bool operator==(const CpuidRegisters&) const = default;
};

/// One executed leaf of one logical processor.
struct CpuidEntry {
  uint32_t leaf = 0;
  uint32_t subleaf = 0;
  CpuidRegisters regs;
};
/// Every leaf read from one logical processor, in the order they were read.
using LogicalCpuDump = std::vector<CpuidEntry>;

/// Leaf lookup with what real processors do: a leaf that ignores the sub-leaf answers every
/// sub-leaf as the one recorded; an unrecorded sub-leaf of a leaf that has them is zeros.
CpuidRegisters LookupLeaf(const LogicalCpuDump& cpu, uint32_t leaf, uint32_t subleaf);

/// The first leaf of the range `leaf` belongs to: 0x80000000 (extended), 0x80860000
/// (Transmeta), 0xC0000000 (Centaur), else 0 (basic). That leaf's EAX is the range's maximum.
inline uint32_t LeafRangeBase(uint32_t leaf) {
  if (leaf >= 0x80000000u && leaf <= 0x8000FFFFu) return 0x80000000u;
  if (leaf >= 0x80860000u && leaf <= 0x8086FFFFu) return 0x80860000u;
  if (leaf >= 0xC0000000u && leaf <= 0xC000FFFFu) return 0xC0000000u;
  return 0;
}

/// Whether `leaf` exists, given the EAX its range's first leaf answered. A range that is absent
/// answers with garbage below its base (or zero).
inline bool LeafWithinRange(uint32_t leaf, uint32_t rangeMax) {
  const uint32_t base = LeafRangeBase(leaf);
  if (base != 0 && (rangeMax & 0xFFFF0000u) != base) return false;
  return leaf <= rangeMax;
}

class ProcessorService;
/// Every leaf of the processor the calling thread runs on: the basic range, then the
/// hypervisor, extended, Transmeta and Centaur ranges where present, with the sub-leaves of the
/// cache, topology and feature leaves until each says there are no more.
LogicalCpuDump ReadEveryLeaf(const ProcessorService& cpu);

/// One logical processor as the kernel places it.
struct KernelCpuPlace {
  unsigned cpu = 0;
  std::string package;  ///< physical_package_id
  std::string core;     ///< core_id
};

/// One cache the kernel lists for the first processor.
struct KernelCache {
  int level = 0;
  std::string type;  ///< "Data", "Instruction", "Unified"
  uint64_t sizeBytes = 0;
  uint32_t ways = 0;
  uint32_t lineSize = 0;
  uint32_t sharedBy = 0;  ///< logical processors in shared_cpu_list (0 when not given)
};

/// What the kernel says of the processors, for machines without CPUID (ARM and the like) and
/// as a second opinion on the others.
struct KernelProcessorRecord {
  std::string vendorId;   ///< "vendor_id" (x86), or "CPU implementer 0x41" (ARM)
  std::string modelName;  ///< "model name", "Processor", "cpu model" or "Hardware"
  std::string cpuPart;    ///< "CPU part" (ARM)
  double cpuMHz = 0;      ///< "cpu MHz" of the first processor (0 when absent)
  uint32_t maxKHz = 0;    ///< cpufreq cpuinfo_max_freq of the first processor
  std::vector<KernelCpuPlace> places;
  std::vector<KernelCache> caches;
};

/// The processor part of a Windows machine's registry (its CentralProcessor key); empty texts
/// for values the key lacks.
struct RegistryProcessorRecord {
  std::string vendorIdentifier, identifier, processorNameString;
};
class Registry;
Answer<RegistryProcessorRecord> ReadProcessorRegistryRecord(const Registry& registry,
                                                            unsigned index);

/// Processor architecture codes of the operating system's record (the Windows values, so that
/// a recorded Windows machine and this one mean the same by them).
enum ProcessorArchitecture : uint16_t {
  kArchX86 = 0,
  kArchArm = 5,
  kArchIa64 = 6,
  kArchX64 = 9,
  kArchArm64 = 12,
  kArchUnknown = 0xFFFF,
};

/// The operating system's record of the processors.
struct ProcessorSystemInfo {
  uint16_t architecture = kArchX86;
  uint32_t processorCount = 1;  ///< logical processors online
  uint16_t level = 0;           ///< family
  uint16_t revision = 0;        ///< model * 256 + stepping
};

/// What a pin changed, so that it can be put back.
struct PinState {
  bool pinned = false;                  ///< the thread now runs on the wanted processor
  bool restore = false;                 ///< the previous mask differs and must be set again
  std::vector<uint64_t> previous_mask;  ///< one bit per logical processor
};

class ProcessorService {
 public:
  virtual ~ProcessorService() = default;

  /// Does the processor have the CPUID instruction at all (never on ARM; not on a 386)?
  virtual bool IsCPUIDAvailable() const = 0;
  /// Executes CPUID on whatever processor the calling thread runs on (see ProcessorPin).
  virtual CpuidRegisters ExecuteCPUID(uint32_t leaf, uint32_t subleaf = 0) const = 0;
  /// A leaf exists when it is not above the maximum of its range: 0x80000000.. against leaf
  /// 0x80000000, 0x80860000.. (Transmeta) against leaf 0x80860000, 0xC0000000.. (Centaur)
  /// against 0xC0000000, everything else against leaf 0.
  bool IsLeafSupported(uint32_t leaf) const {
    return LeafWithinRange(leaf, ExecuteCPUID(LeafRangeBase(leaf)).eax);
  }

  /// The operating system's record: architecture, logical processor count, level, revision.
  virtual Answer<ProcessorSystemInfo> SystemInfo() const = 0;

  /// Every leaf of the processor the calling thread runs on (see ReadEveryLeaf); a recorded
  /// processor answers with its dump as it was written.
  virtual LogicalCpuDump ReadLeaves() const { return ReadEveryLeaf(*this); }

  /// The kernel's record of the processors; "not supported" where the source has none.
  virtual Answer<KernelProcessorRecord> KernelRecord() const {
    return Answer<KernelProcessorRecord>::Fail(Status::NotSupported, "kernel processor record",
                                               "this source holds no kernel record");
  }

  /// Moves the calling thread to logical processor `index`; use ProcessorPin rather than this.
  virtual PinState PinCallingThread(unsigned index) const = 0;
  virtual void RestoreCallingThread(const PinState& state) const = 0;

  /// The time-stamp counter; none where the processor has no readable one (or a dump was not
  /// recorded with its rate).
  virtual std::optional<uint64_t> ReadTimeStampCounter() const = 0;
  /// A monotonic clock in nanoseconds (ClockFrequency() ticks per second).
  virtual uint64_t ReadClock() const {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
  }
  static constexpr uint64_t ClockFrequency() { return 1'000'000'000; }
  /// The measurement's pause.
  virtual void Sleep(std::chrono::milliseconds duration) const {
    std::this_thread::sleep_for(duration);
  }
};

/// The processor index a pin request really goes to: -1 for indices of 32 and above, 0 for an
/// index above the last of `count` processors.
inline int EffectivePinIndex(unsigned index, uint32_t count) {
  if (index >= 32) return -1;
  return index + 1 > count ? 0 : static_cast<int>(index);
}

/// Pins the calling thread to one logical processor for its lifetime and puts the previous
/// affinity back at once when it ends. Indices of 32 and above are not pinned; an index above
/// the last processor examines processor 0.
class ProcessorPin {
 public:
  ProcessorPin(const ProcessorService& service, unsigned index) : service_(service) {
    const auto info = service.SystemInfo();
    index_ = EffectivePinIndex(index, info ? info->processorCount : 1);
    if (index_ >= 0) state_ = service.PinCallingThread(static_cast<unsigned>(index_));
  }
  ~ProcessorPin() {
    if (state_.restore) service_.RestoreCallingThread(state_);
  }
  ProcessorPin(const ProcessorPin&) = delete;
  ProcessorPin& operator=(const ProcessorPin&) = delete;

  bool pinned() const { return state_.pinned; }
  /// The processor actually asked for after the range rule (-1 when not pinned).
  int index() const { return index_; }

 private:
  const ProcessorService& service_;
  PinState state_;
  int index_ = -1;
};

}  // namespace tavrin::platform
