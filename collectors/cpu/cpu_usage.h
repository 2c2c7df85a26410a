// The processor load sampler: the load of every processor over the last interval, from the idle
// time the kernel keeps per processor.
//
// Not a collector: it is not refreshed once by the gathering but sampled continuously. It owns
// no timer either; whoever shows the loads runs a periodic timer on its own thread that calls
// Tick() every Interval() milliseconds while Active() (the window's timer, the command line's
// loop), so the sampler stays free of any event loop.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/services.h"

namespace tavrin::collectors {

using TUsages = std::vector<int64_t>;     ///< idle times, 100 ns units, one per processor
using TCPUUsages = std::vector<int32_t>;  ///< loads in percent, one per processor

class TVexa_CPUUsage;
using TOnIntervalEvent =
    std::function<void(TVexa_CPUUsage& sender, const TCPUUsages& values, int32_t avgValue)>;

/// Load of one processor over an interval in which it was idle for `idleDelta` (100 ns units):
/// round((10 000 000 - idleDelta / (interval / 1000)) / 10 000 000 * 100), halves to even. The
/// interval is the configured one, not a measured one, so a late tick can give a little below 0
/// or above 100. An interval of 0 gives 0.
int32_t LoadFromIdle(int64_t idleDelta, uint32_t intervalMs);
/// The average of the loads, rounded halves to even; 0 for no loads.
int32_t AverageLoad(const TCPUUsages& loads);
/// What the window keeps of an average: above 100 is a timing artefact and shows as 0.
constexpr int32_t StoredAverageLoad(int32_t average) {
  return average > 100 ? 0 : average;
}

class TVexa_CPUUsage {
 public:
  /// Finds the processors and whether they can be sampled: only the machine we run on can.
  explicit TVexa_CPUUsage(std::shared_ptr<const platform::Services> services);

  /// Setting true takes one sample as the baseline of the first tick (its loads go to no one)
  /// and activates the sampler only when it is available.
  void SetActive(bool active);
  bool Active() const { return active_; }
  void SetInterval(uint32_t ms) { interval_ = ms; }
  uint32_t Interval() const { return interval_; }
  bool Available() const { return available_; }
  uint32_t ProcessorCount() const { return static_cast<uint32_t>(processors_.size()); }
  /// The kernel's numbers of the processors sampled, in order.
  const std::vector<uint32_t>& Processors() const { return processors_; }
  /// Loads of the last sample.
  const TCPUUsages& Loads() const { return loads_; }

  /// One timer tick: sample, average, and call OnInterval.
  void Tick();

  TOnIntervalEvent OnInterval;

 private:
  void Sample();

  std::shared_ptr<const platform::Services> services_;
  std::vector<uint32_t> processors_;
  // Idle times of the last two samples; empty while a processor is offline or not yet seen.
  std::vector<std::optional<int64_t>> current_, previous_;
  TCPUUsages loads_;
  uint32_t interval_ = 1000;
  bool available_ = false;
  bool active_ = false;
};

}  // namespace tavrin::collectors
