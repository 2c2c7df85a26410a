// Cost of a processor refresh: the frequency measurement's wait (a 5 ms window plus at least
// three 2 ms counter brackets on the nanosecond clock) and everything else (reading every leaf
// of every processor once and decoding it), which should stay within a few ms.
#include <benchmark/benchmark.h>

#include "collectors/cpu/vsi_cpu.h"
#include "platform/linux/linux_processor.h"
#include "platform/linux/linux_system_facts.h"
#include "platform/registry.h"
#include "platform/service_hooks.h"

namespace {

using namespace tavrin;

// The live machine's processor, with the measurement's sleep made free so that the figure is
// the refresh's own cost (the counter brackets still spin for real).
class NoSleep : public platform::LinuxProcessorService {
 public:
  using LinuxProcessorService::LinuxProcessorService;
  void Sleep(std::chrono::milliseconds) const override {}
};

// Everything but the measurement: no time-stamp counter, so none is made.
class NoCounter : public platform::LinuxProcessorService {
 public:
  using LinuxProcessorService::LinuxProcessorService;
  std::optional<uint64_t> ReadTimeStampCounter() const override { return std::nullopt; }
};

enum class Kind { kFull, kNoSleep, kNoMeasurement };

std::shared_ptr<const platform::Services> Services(Kind kind) {
  auto s = std::make_shared<platform::Services>();
  s->files = std::make_shared<platform::FileReader>();
  s->registry = std::make_shared<platform::RegistryTree>("bench");
  s->system = std::make_shared<platform::LinuxSystemFacts>();
  s->live = true;
  if (kind == Kind::kFull) s->processor = platform::MakeLinuxProcessorService(s->files);
  if (kind == Kind::kNoSleep) s->processor = std::make_shared<NoSleep>(s->files);
  if (kind == Kind::kNoMeasurement) s->processor = std::make_shared<NoCounter>(s->files);
  return s;
}

void BM_CpuRefreshFull(benchmark::State& state) {
  collectors::TVexa_CPU cpu(Services(Kind::kFull));
  for (auto _ : state) cpu.RefreshData();
}
BENCHMARK(BM_CpuRefreshFull)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CpuRefreshWithoutSleep(benchmark::State& state) {
  collectors::TVexa_CPU cpu(Services(Kind::kNoSleep));
  for (auto _ : state) cpu.RefreshData();
}
BENCHMARK(BM_CpuRefreshWithoutSleep)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

namespace {
// The refresh's own cost beside the measurement's wait (the budget is 5 ms).
void BM_CpuRefreshWithoutMeasurement(benchmark::State& state) {
  collectors::TVexa_CPU cpu(Services(Kind::kNoMeasurement));
  for (auto _ : state) cpu.RefreshData();
}
BENCHMARK(BM_CpuRefreshWithoutMeasurement)->Unit(benchmark::kMillisecond);
}  // namespace
