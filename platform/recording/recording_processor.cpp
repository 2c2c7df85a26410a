// --record for the processor: everything the live service answers passes through unchanged,
// and at the end every leaf of every logical processor is written to the snapshot.
#include <fstream>
#include <mutex>

#include <nlohmann/json.hpp>

#include "platform/processor.h"
#include "platform/recorded/recorded_processor.h"
#include "platform/recording/snapshot_folder.h"
#include "platform/service_hooks.h"

namespace tavrin::platform {
namespace {

// The time-stamp counter readings a gathering made, to record the counter's rate.
struct TscLog {
  std::mutex mutex;
  bool have = false;
  uint64_t first_tsc = 0, first_clock = 0, last_tsc = 0, last_clock = 0;
};

class RecordingProcessorService : public ProcessorService {
 public:
  RecordingProcessorService(std::shared_ptr<const ProcessorService> live,
                            std::shared_ptr<TscLog> log)
      : live_(std::move(live)), log_(std::move(log)) {}

  bool IsCPUIDAvailable() const override { return live_->IsCPUIDAvailable(); }
  CpuidRegisters ExecuteCPUID(uint32_t leaf, uint32_t subleaf) const override {
    return live_->ExecuteCPUID(leaf, subleaf);
  }
  Answer<ProcessorSystemInfo> SystemInfo() const override { return live_->SystemInfo(); }
  LogicalCpuDump ReadLeaves() const override { return live_->ReadLeaves(); }
  Answer<KernelProcessorRecord> KernelRecord() const override { return live_->KernelRecord(); }
  PinState PinCallingThread(unsigned index) const override {
    return live_->PinCallingThread(index);
  }
  void RestoreCallingThread(const PinState& state) const override {
    live_->RestoreCallingThread(state);
  }
  std::optional<uint64_t> ReadTimeStampCounter() const override {
    auto tsc = live_->ReadTimeStampCounter();
    if (tsc) {
      const uint64_t clock = live_->ReadClock();
      std::lock_guard lock(log_->mutex);
      if (!log_->have) {
        log_->have = true;
        log_->first_tsc = *tsc;
        log_->first_clock = clock;
      }
      log_->last_tsc = *tsc;
      log_->last_clock = clock;
    }
    return tsc;
  }
  uint64_t ReadClock() const override { return live_->ReadClock(); }
  void Sleep(std::chrono::milliseconds duration) const override { live_->Sleep(duration); }

 private:
  std::shared_ptr<const ProcessorService> live_;
  std::shared_ptr<TscLog> log_;
};

class ProcessorRecording : public ServiceRecording {
 public:
  ProcessorRecording(std::shared_ptr<const ProcessorService> live, std::shared_ptr<TscLog> log)
      : live_(std::move(live)), log_(std::move(log)) {}

  bool Finish(const std::filesystem::path& dir, std::string* error) override {
    const auto folder = dir / "cpuid";
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::filesystem::create_directories(folder, ec);
    const auto info = live_->SystemInfo();
    const uint32_t count = info ? info->processorCount : 1;
    if (live_->IsCPUIDAvailable()) {
      for (uint32_t i = 0; i < count; ++i) {
        ProcessorPin pin(*live_, i);
        if (!pin.pinned() || pin.index() != static_cast<int>(i)) continue;
        const LogicalCpuDump cpu = ReadEveryLeaf(*live_);
        if (!Write(folder / ("cpu" + std::to_string(i) + ".txt"), FormatCpuidDump({cpu}, i), error))
          return false;
      }
    }
    nlohmann::json j = nlohmann::json::object();
    if (info) {
      j["architecture"] = info->architecture;
      j["processorCount"] = info->processorCount;
      j["level"] = info->level;
      j["revision"] = info->revision;
    }
    {
      std::lock_guard lock(log_->mutex);
      if (log_->have && log_->last_clock > log_->first_clock)
        j["tscMHz"] = static_cast<double>(log_->last_tsc - log_->first_tsc) * 1000.0 /
                      static_cast<double>(log_->last_clock - log_->first_clock);
    }
    if (auto kernel = live_->KernelRecord())
      if (!Write(folder / "kernel.json", KernelRecordToJson(*kernel), error)) return false;
    return Write(folder / "processor.json", j.dump(2) + "\n", error);
  }

 private:
  static bool Write(const std::filesystem::path& file, const std::string& text,
                    std::string* error) {
    return WriteSnapshotFile(file, text, error);
  }

  std::shared_ptr<const ProcessorService> live_;
  std::shared_ptr<TscLog> log_;
};

}  // namespace

std::shared_ptr<const ProcessorService> RecordProcessor(
    std::shared_ptr<const ProcessorService> live, std::unique_ptr<ServiceRecording>& recording) {
  if (!live) return live;
  auto log = std::make_shared<TscLog>();
  recording = std::make_unique<ProcessorRecording>(live, log);
  return std::make_shared<RecordingProcessorService>(live, log);
}

}  // namespace tavrin::platform
