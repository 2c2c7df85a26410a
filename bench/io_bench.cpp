// A full refresh of the I/O page's collectors on this machine (USB tree, sound, power with the
// processors' idle states, printers, Bluetooth, parallel ports) and the filling of the page, as the gathering
// runs them.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "collectors/system_info.h"
#include "gather/controller.h"
#include "pages/categories.h"
#include "platform/linux/live_services.h"
#include "platform/recorded/snapshot.h"

namespace {

using namespace tavrin;

// Every I/O collector refreshed once per iteration over `services`.
void RefreshEveryIoCollector(benchmark::State& state,
                             const std::shared_ptr<const platform::Services>& services) {
  collectors::TVexa_USB usb(services);
  collectors::TVexa_Media media(services);
  collectors::TVexa_APM power(services);
  collectors::TVexa_Printers printers(services);
  collectors::TVexa_BT bluetooth(services);
  collectors::TVexa_Ports ports(services);
  for (auto _ : state) {
    usb.RefreshData();
    media.RefreshData();
    power.RefreshData();
    printers.RefreshData();
    bluetooth.RefreshData();
    ports.RefreshData();
    benchmark::DoNotOptimize(usb.NodeCount() + power.ProcessorCount());
  }
  state.counters["usb_nodes"] = usb.NodeCount();
  state.counters["processors"] = power.ProcessorCount();
}

void BM_IoRefreshThisMachine(benchmark::State& state) {
  RefreshEveryIoCollector(state,
                          std::make_shared<const platform::Services>(platform::MakeLiveServices()));
}
BENCHMARK(BM_IoRefreshThisMachine)->Unit(benchmark::kMillisecond);

// The same refresh from a snapshot named by TAVRIN_BENCH_IO_SNAPSHOT, for the paths a machine
// without USB devices, sound or batteries never takes (the tests' I/O tree is one such).
void BM_IoRefreshSnapshot(benchmark::State& state) {
  const char* dir = std::getenv("TAVRIN_BENCH_IO_SNAPSHOT");
  if (!dir) {
    state.SkipWithError("TAVRIN_BENCH_IO_SNAPSHOT names no snapshot");
    return;
  }
  auto opened = platform::OpenSnapshot(dir);
  if (!opened.services) {
    state.SkipWithError(opened.error.c_str());
    return;
  }
  RefreshEveryIoCollector(state,
                          std::make_shared<const platform::Services>(std::move(*opened.services)));
}
BENCHMARK(BM_IoRefreshSnapshot)->Unit(benchmark::kMillisecond);

void BM_IoPageFillThisMachine(benchmark::State& state) {
  auto aggregate = std::make_shared<collectors::TVexa_SystemInfo>(
      std::make_shared<platform::Services>(platform::MakeLiveServices()));
  gather::TGetFunctionsClass controller;
  controller.SetAggregate(aggregate);
  controller.SetAdvancedMode(true);
  const auto limit = std::chrono::seconds(30);
  aggregate->Refresh<collectors::TVexa_USB>(limit);
  aggregate->Refresh<collectors::TVexa_Media>(limit);
  aggregate->Refresh<collectors::TVexa_APM>(limit);
  aggregate->Refresh<collectors::TVexa_Printers>(limit);
  aggregate->Refresh<collectors::TVexa_BT>(limit);
  aggregate->Refresh<collectors::TVexa_Ports>(limit);
  const auto* category = pages::FindCategory("ioinfo");
  for (auto _ : state) controller.FillCategory(*category, nullptr);
}
BENCHMARK(BM_IoPageFillThisMachine)->Unit(benchmark::kMillisecond);

}  // namespace
