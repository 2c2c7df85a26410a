// A full refresh of the device list on this machine: the sysfs walk, the id-file lookups and
// the records, as the gathering runs it.
#include <benchmark/benchmark.h>

#include "collectors/devices/vsi_devices.h"
#include "platform/linux/live_services.h"

namespace {

using namespace tavrin;

void BM_DevicesRefreshThisMachine(benchmark::State& state) {
  auto services = std::make_shared<platform::Services>(platform::MakeLiveServices());
  collectors::TVexa_Devices devices(services);
  for (auto _ : state) {
    devices.RefreshData();
    benchmark::DoNotOptimize(devices.DeviceCount());
  }
  state.counters["devices"] = devices.DeviceCount();
}
BENCHMARK(BM_DevicesRefreshThisMachine)->Unit(benchmark::kMillisecond);

}  // namespace
