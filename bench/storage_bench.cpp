// A full drives refresh on this machine, as the gathering runs it: the mounted file systems
// with statvfs of each, and the block devices with the commands each device is sent.
#include <benchmark/benchmark.h>

#include "collectors/storage/vsi_disk.h"
#include "collectors/storage/vsi_storage.h"
#include "platform/file_reader.h"
#include "platform/linux/linux_system_facts.h"
#include "platform/service_hooks.h"

namespace {

using namespace tavrin;

void BM_DrivesRefreshThisMachine(benchmark::State& state) {
  // This machine's files and its storage service, as the live service set adds them.
  auto services = std::make_shared<platform::Services>();
  services->files = std::make_shared<platform::FileReader>("/");
  services->system = std::make_shared<platform::LinuxSystemFacts>();
  services->live = true;
  platform::AddLinuxStorage(*services);
  collectors::TVexa_Disk disk(services);
  collectors::TVexa_Storage storage(services);
  for (auto _ : state) {
    disk.RefreshData();
    storage.RefreshData();
    benchmark::DoNotOptimize(disk.Drives().size() + storage.PhysicalDevices().size());
  }
  state.counters["drives"] = static_cast<double>(disk.Drives().size());
  state.counters["devices"] = storage.PhysicalCount();
}
BENCHMARK(BM_DrivesRefreshThisMachine)->Unit(benchmark::kMillisecond);

}  // namespace
