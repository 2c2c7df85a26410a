// A full refresh of the network collector on this machine: the three routing-socket dumps,
// the interface attributes, resolver and lease files, the socket tables and the owners of the
// listening sockets, as the gathering runs it; and the decoding of a dump alone.
#include <benchmark/benchmark.h>

#include "collectors/network/netlink_parse.h"
#include "collectors/network/vsi_network.h"
#include "platform/linux/live_services.h"
#include "platform/network.h"

namespace {

using namespace tavrin;

void BM_NetworkRefreshThisMachine(benchmark::State& state) {
  auto services = std::make_shared<platform::Services>(platform::MakeLiveServices());
  collectors::TVexa_Network network(services);
  for (auto _ : state) {
    network.RefreshData();
    benchmark::DoNotOptimize(network.TCPIP().AdapterCount());
  }
  state.counters["adapters"] = network.TCPIP().AdapterCount();
  state.counters["listening"] = static_cast<double>(network.ListeningPorts.size());
}
BENCHMARK(BM_NetworkRefreshThisMachine)->Unit(benchmark::kMillisecond);

void BM_NetlinkDecodeAddressDump(benchmark::State& state) {
  auto answer = platform::MakeKernelNetlinkSource()->Dump(platform::NetlinkDump::Addresses);
  if (!answer) {
    state.SkipWithError("no routing socket here");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(collectors::ParseNetlinkMessages(*answer));
  state.counters["bytes"] = static_cast<double>(answer->size());
}
BENCHMARK(BM_NetlinkDecodeAddressDump)->Unit(benchmark::kMicrosecond);

}  // namespace
