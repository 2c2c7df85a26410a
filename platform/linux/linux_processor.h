// The processor service of this machine: CPUID on x86, thread affinity, the time-stamp counter,
// and the kernel's record of the processors from /proc/cpuinfo and /sys/devices/system/cpu.
#pragma once

#include <memory>

#include "platform/file_reader.h"
#include "platform/processor.h"

namespace tavrin::platform {

class LinuxProcessorService : public ProcessorService {
 public:
  explicit LinuxProcessorService(std::shared_ptr<const FileReader> files);

  bool IsCPUIDAvailable() const override;
  CpuidRegisters ExecuteCPUID(uint32_t leaf, uint32_t subleaf = 0) const override;
  Answer<ProcessorSystemInfo> SystemInfo() const override;
  /// Pins with sched_setaffinity on the calling thread only; a processor that is not online
  /// is not pinned.
  PinState PinCallingThread(unsigned index) const override;
  void RestoreCallingThread(const PinState& state) const override;
  std::optional<uint64_t> ReadTimeStampCounter() const override;
  /// /proc/cpuinfo, the topology and cpufreq folders of every processor, and cpu0's caches.
  Answer<KernelProcessorRecord> KernelRecord() const override;

 private:
  std::shared_ptr<const FileReader> files_;
};

/// The kernel's "model : 158" style fields of the first processor block of /proc/cpuinfo.
std::string CpuInfoField(std::string_view cpuinfo, std::string_view name);

/// The kernel record from the files under `files` (its root may be a captured tree).
Answer<KernelProcessorRecord> ReadKernelProcessorRecord(const FileReader& files,
                                                        uint32_t processorCount);

}  // namespace tavrin::platform
