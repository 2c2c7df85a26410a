// The processor collector's steps beyond the pure identification: the code-name tables, the
// frequency measurement, and the fallbacks where there is no CPUID (the registry record of a
// recorded Windows machine; the kernel's record on ARM and the like).
#include <algorithm>
#include <cmath>
#include <set>

#include "collectors/cpu/cpu_codenames.h"
#include "collectors/cpu/cpu_identify.h"
#include "collectors/cpu/vsi_cpu.h"
#include "helpers/debug_log.h"
#include "platform/registry.h"

namespace tavrin::collectors {

using platform::ProcessorPin;
using platform::ProcessorService;
using enum TCpuVendor;

void TVexa_CPU::ApplyCodeNameTables() {
  const auto table = CodeNameTable(vendor_);
  const CodeNameRow* row =
      FindCodeName(table, {family_, model_, stepping_, package_cores_, marketing_name_});
  if (!row) return;
  code_name_ = row->code;
  if (row->technology[0]) technology_ = row->technology;
  if (const std::string why = CodeNameReason(table, *row); !why.empty())
    helpers::DebugLogFmt("VSI_CPU. Code name %s: %s", row->code, why.c_str());
}

// Two measurements, the larger snapped value wins: counter brackets of 1 ms, then a 5 ms
// window. The clock counts nanoseconds, so a few milliseconds give the MHz to the unit (the
// classic 200 ms window was chosen for millisecond timers).
void TVexa_CPU::MeasureFrequency(const ProcessorService& cpu) {
  ProcessorPin pin(cpu, cpu_index_);
  if (!cpu.ReadTimeStampCounter()) {
    frequency_source_ = platform::Provenance::Failure(
        platform::Status::NotSupported, "time-stamp counter",
        "no readable time-stamp counter (or no recorded rate in this source)");
    return;
  }
  frequency_source_ = platform::Provenance::Answered("time-stamp counter against the clock");
  const uint64_t freq = ProcessorService::ClockFrequency();
  const uint64_t delay = freq / 1000;  // 1 ms

  uint64_t total_cycles = 0, total_us = 0;
  int64_t r[3] = {0, 0, 0};
  for (int attempt = 0; attempt < 20; ++attempt) {
    uint64_t t0 = cpu.ReadClock(), t = t0, c0 = 0, c1 = 0;
    do {
      t = cpu.ReadClock();
      c0 = cpu.ReadTimeStampCounter().value_or(0);
    } while (t - t0 < delay);
    t0 = t;
    do {
      t = cpu.ReadClock();
      c1 = cpu.ReadTimeStampCounter().value_or(0);
    } while (t - t0 < delay);
    const auto us = static_cast<uint32_t>(
        std::llround(static_cast<double>(t - t0) * 1e6 / static_cast<double>(freq)));
    const auto cycles = static_cast<uint32_t>(c1 - c0);
    total_cycles += cycles;
    total_us += us;
    r[0] = r[1];
    r[1] = r[2];
    r[2] = us ? std::llround(static_cast<double>(cycles) / us) : cycles;
    const int64_t sum = r[0] + r[1] + r[2];
    if (attempt >= 2 && std::llabs(3 * r[0] - sum) < 4 && std::llabs(3 * r[1] - sum) < 4 &&
        std::llabs(3 * r[2] - sum) < 4)
      break;
  }
  const uint32_t counted = SnapFrequency(NormaliseMeasured(total_cycles, total_us));

  const uint64_t c0 = cpu.ReadTimeStampCounter().value_or(0), t0 = cpu.ReadClock();
  cpu.Sleep(std::chrono::milliseconds(5));
  const uint64_t c1 = cpu.ReadTimeStampCounter().value_or(0), t1 = cpu.ReadClock();
  uint32_t windowed = 0;
  if (t1 > t0) {
    const double seconds = static_cast<double>(t1 - t0) / static_cast<double>(freq);
    windowed = SnapFrequency(
        static_cast<uint32_t>(std::llround(static_cast<double>(c1 - c0) / seconds / 1e6)));
  }
  frequency_ = std::max(counted, windowed);
  helpers::DebugLogFmt(
      "VSI_CPU. Measured: %u MHz counted, %u MHz in the window, before snapping "
      "%u MHz",
      counted, windowed, static_cast<unsigned>(NormaliseMeasured(total_cycles, total_us)));
}

// Without CPUID on a recorded Windows machine: its processor key.
void TVexa_CPU::FillFromRegistry() {
  const auto& registry = Platform().registry;
  if (!registry) return;
  const auto record = platform::ReadProcessorRegistryRecord(*registry, cpu_index_);
  if (!record) return;
  if (!record->vendorIdentifier.empty()) vendor_ = VendorFromString(record->vendorIdentifier, true);
  if (!record->identifier.empty()) generic_name_ = record->identifier;
  if (!record->processorNameString.empty())
    marketing_name_ = TrimBrand(record->processorNameString);
  source_ = record.source;
}

// Without CPUID on Linux (ARM and the like): what the kernel says of the processors.
void TVexa_CPU::FillFromKernel() {
  if (!raw_.kernel) {
    if (marketing_name_.empty()) source_ = raw_.kernelSource;
    return;
  }
  const auto& k = *raw_.kernel;
  source_ = raw_.kernelSource;
  vendor_text_ = k.vendorId;
  if (vendor_ == cvNone && !vendor_text_.empty()) vendor_ = VendorFromString(vendor_text_, true);
  if (marketing_name_.empty()) marketing_name_ = k.modelName;
  if (marketing_name_.empty() && !vendor_text_.empty())
    marketing_name_ = vendor_text_ + " part " + k.cpuPart;
  std::set<std::string> packages;
  std::set<std::pair<std::string, std::string>> cores;
  for (const auto& p : k.places) {
    packages.insert(p.package);
    cores.insert({p.package, p.core});
  }
  if (!packages.empty()) cpu_physical_count_ = static_cast<uint8_t>(packages.size());
  if (!cores.empty()) {
    package_cores_ =
        static_cast<uint32_t>(cores.size() / std::max<std::size_t>(packages.size(), 1));
    package_threads_ = cpu_count_ / std::max<uint32_t>(cpu_physical_count_, 1);
    core_per_package_ = static_cast<uint8_t>(std::min<uint32_t>(package_cores_, 255));
    logical_per_package_ = static_cast<uint8_t>(std::min<uint32_t>(package_threads_, 255));
    threads_per_core_ =
        std::max<uint32_t>(package_threads_ / std::max<uint32_t>(package_cores_, 1), 1);
  }
  if (frequency_ == 0) {
    frequency_ = k.maxKHz / 1000;
    if (frequency_ == 0) frequency_ = static_cast<uint32_t>(k.cpuMHz);
    if (frequency_) frequency_source_ = raw_.kernelSource;
  }
  // Caches as the kernel lists them.
  for (const auto& c : k.caches) {
    CacheLevelInfo info;
    info.level = c.level;
    info.type = c.type;
    info.sizeBytes = c.sizeBytes;
    info.ways = c.ways;
    info.lineSize = c.lineSize;
    info.sharedBy = c.sharedBy;
    cache_details_.push_back(info);
  }
}

}  // namespace tavrin::collectors
