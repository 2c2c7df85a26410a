#include "collectors/cpu/cpu_usage.h"

#include <cfenv>
#include <cmath>

#include "platform/processes.h"

namespace tavrin::collectors {
namespace {

// Nearest integer, halves to the even neighbour (the default rounding mode).
int32_t RoundHalfEven(long double value) {
  return static_cast<int32_t>(std::nearbyintl(value));
}

}  // namespace

int32_t LoadFromIdle(int64_t idleDelta, uint32_t intervalMs) {
  if (intervalMs == 0) return 0;  // the arithmetic has no answer: the load counts as 0
  constexpr long double kUnitsPerSecond = 10'000'000.0L;  // 100 ns units
  const long double seconds = static_cast<long double>(intervalMs) / 1000.0L;
  const long double load =
      (kUnitsPerSecond - static_cast<long double>(idleDelta) / seconds) / kUnitsPerSecond * 100.0L;
  if (!std::isfinite(load) || std::fabs(load) > 2e9L) return 0;
  return RoundHalfEven(load);
}

int32_t AverageLoad(const TCPUUsages& loads) {
  if (loads.empty()) return 0;
  int32_t sum = 0;
  for (int32_t v : loads) sum += v;
  return RoundHalfEven(static_cast<long double>(sum) / static_cast<long double>(loads.size()));
}

TVexa_CPUUsage::TVexa_CPUUsage(std::shared_ptr<const platform::Services> services)
    : services_(std::move(services)) {
  if (platform::IsLiveMachine(*services_) && services_->processes) {
    const auto idle = services_->processes->IdleTimes();
    if (idle)
      for (const auto& entry : *idle) processors_.push_back(entry.processor);
  }
  available_ = !processors_.empty();
  if (processors_.empty()) processors_.push_back(0);  // one processor, never sampled
  current_.assign(processors_.size(), std::nullopt);
  previous_.assign(processors_.size(), std::nullopt);
  loads_.assign(processors_.size(), 0);
}

void TVexa_CPUUsage::SetActive(bool active) {
  if (!active) {
    active_ = false;
    return;
  }
  Sample();
  active_ = available_;
}

void TVexa_CPUUsage::Sample() {
  if (!available_) return;
  previous_ = current_;
  const auto idle = services_->processes->IdleTimes();
  const std::vector<platform::ProcessorIdle> none;
  const auto& entries = idle ? *idle : none;
  // Both lists are in processor order. A processor that went offline has no entry: it counts as
  // idle-less (load 0) and starts afresh when it returns, so it never skews the others.
  std::size_t at = 0;
  for (std::size_t i = 0; i < processors_.size(); ++i) {
    while (at < entries.size() && entries[at].processor < processors_[i]) ++at;
    if (at < entries.size() && entries[at].processor == processors_[i]) {
      current_[i] = entries[at].idle;
    } else {
      current_[i].reset();
    }
    loads_[i] =
        current_[i] && previous_[i] ? LoadFromIdle(*current_[i] - *previous_[i], interval_) : 0;
  }
}

void TVexa_CPUUsage::Tick() {
  Sample();
  const int32_t average = AverageLoad(loads_);
  if (OnInterval) OnInterval(*this, loads_, average);
}

}  // namespace tavrin::collectors
