// Processors answered from CPUID register dumps: the processor part of a snapshot, or one dump
// file in any of the layouts CPUID dump tools write.
#pragma once

#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/processor.h"

namespace tavrin::platform {

/// Reads every logical processor of a dump. Understands the "CPUID LLLLLLLL: E-B-C-D" line
/// layouts (with or without "[SL nn]" sub-leaf notes, under "Logical CPU #N", "CPU#NNN AffMask"
/// or "CPUID Registers (CPU #N):" headers, also with a tab after the leaf) and the
/// "basic_cpuid[i]=e b c d" key=value layout. Reading stops at a line of 80 '-' (the expected
/// values some dumps carry below). Empty when the text holds no leaf 0.
std::vector<LogicalCpuDump> ParseCpuidDump(std::string_view text);

/// The kernel record as JSON and back (the snapshot's cpuid/kernel.json).
std::string KernelRecordToJson(const KernelProcessorRecord& record);
/// Throws SnapshotFileError naming `file` and the field when a field has the wrong type.
std::optional<KernelProcessorRecord> KernelRecordFromJson(std::string_view text,
                                                          std::string_view file = "kernel.json");

/// Writes processors in the line layout with explicit sub-leaves, one header per processor,
/// numbered from `first`.
std::string FormatCpuidDump(const std::vector<LogicalCpuDump>& cpus, unsigned first = 0);

class RecordedProcessorService : public ProcessorService {
 public:
  /// `info` overrides what is worked out from the registers; `tscMHz` 0 means the dump has no
  /// time-stamp counter rate, so no frequency is measured from it.
  RecordedProcessorService(std::vector<LogicalCpuDump> cpus, std::string source,
                           std::optional<ProcessorSystemInfo> info = std::nullopt,
                           double tscMHz = 0,
                           std::optional<KernelProcessorRecord> kernel = std::nullopt);

  bool IsCPUIDAvailable() const override { return !cpus_.empty(); }
  CpuidRegisters ExecuteCPUID(uint32_t leaf, uint32_t subleaf = 0) const override;
  Answer<ProcessorSystemInfo> SystemInfo() const override;
  /// The dump of the selected processor as it was written.
  LogicalCpuDump ReadLeaves() const override;
  /// The kernel record the snapshot holds (cpuid/kernel.json), if any.
  Answer<KernelProcessorRecord> KernelRecord() const override;
  /// Selects which recorded processor the calling thread sees.
  PinState PinCallingThread(unsigned index) const override;
  void RestoreCallingThread(const PinState& state) const override;
  /// With a recorded rate, the counter follows the replay's own clock at that rate.
  std::optional<uint64_t> ReadTimeStampCounter() const override;
  /// A replay's clock is virtual (nanoseconds): each reading moves it on by a microsecond and a
  /// sleep by its duration, so a measurement costs no waiting and gives the recorded rate every
  /// time.
  uint64_t ReadClock() const override;
  void Sleep(std::chrono::milliseconds duration) const override;

  const std::vector<LogicalCpuDump>& Cpus() const { return cpus_; }

 private:
  unsigned CurrentCpu() const;

  std::vector<LogicalCpuDump> cpus_;
  std::string source_;
  ProcessorSystemInfo info_;
  double tsc_mhz_;
  std::optional<KernelProcessorRecord> kernel_;
  mutable std::mutex mutex_;
  mutable std::map<std::thread::id, unsigned> current_;
  mutable std::atomic<uint64_t> clock_{1};
};

/// ParseCpuidDump, saying in `why` what is missing when nothing comes back: no register lines
/// at all, or no leaf 0 in the first processor.
std::vector<LogicalCpuDump> ParseCpuidDumpExplained(std::string_view text, std::string& why);

/// The processor service of a single dump file's bytes; nullptr with `why` set when they are
/// not a register dump.
std::shared_ptr<const ProcessorService> LoadProcessorDump(std::string_view bytes,
                                                          const std::filesystem::path& file,
                                                          std::string& why);

}  // namespace tavrin::platform
