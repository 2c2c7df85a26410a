// A full refresh of the network collector on this machine: the three routing-socket dumps,
// the interface attributes, resolver and lease files, the listening sockets and their owners,
// as the gathering runs it; then its costly parts alone: the listening sockets from the
// diagnostics socket and from the text tables, the search for their owners, and the decoding
// of a dump.
#include <benchmark/benchmark.h>

#include "collectors/network/netlink_parse.h"
#include "collectors/network/proc_net_parse.h"
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

// The listening sockets as the diagnostics socket answers them (both dumps, decoded).
void BM_ListeningSocketsFromDiagnostics(benchmark::State& state) {
  auto source = platform::MakeKernelNetlinkSource();
  std::size_t count = 0;
  for (auto _ : state) {
    count = 0;
    for (auto what : {platform::NetlinkDump::TcpListeners, platform::NetlinkDump::UdpSockets}) {
      auto answer = source->Dump(what);
      if (!answer) {
        state.SkipWithError("no socket diagnostics here");
        return;
      }
      count += collectors::ParseSocketDiagMessages(*answer, "tcp").sockets.size();
    }
  }
  state.counters["sockets"] = static_cast<double>(count);
}
BENCHMARK(BM_ListeningSocketsFromDiagnostics)->Unit(benchmark::kMillisecond);

// The same from the four text tables, which list every socket.
void BM_ListeningSocketsFromTextTables(benchmark::State& state) {
  auto services = platform::MakeLiveServices();
  using T = platform::KernelNetTable;
  for (auto _ : state)
    for (auto table : {T::Tcp, T::Tcp6, T::Udp, T::Udp6}) {
      auto text = services.network->KernelTable(table);
      if (text) benchmark::DoNotOptimize(collectors::ParseSocketTable(*text, "tcp"));
    }
}
BENCHMARK(BM_ListeningSocketsFromTextTables)->Unit(benchmark::kMillisecond);

// The owner search for this machine's listening sockets: a walk of every visible process's
// descriptors unless every owner is found early.
void BM_SocketOwnerSearch(benchmark::State& state) {
  auto services = std::make_shared<platform::Services>(platform::MakeLiveServices());
  std::vector<uint64_t> inodes;
  for (auto what : {platform::NetlinkDump::TcpListeners, platform::NetlinkDump::UdpSockets})
    if (auto answer = services->network->Netlink(what))
      for (const auto& s : collectors::ParseSocketDiagMessages(*answer, "tcp").sockets)
        inodes.push_back(s.inode);
  std::size_t found = 0;
  for (auto _ : state) {
    auto owners = services->network->SocketOwners(inodes);
    found = owners ? owners->size() : 0;
  }
  state.counters["sockets"] = static_cast<double>(inodes.size());
  state.counters["owners"] = static_cast<double>(found);
}
BENCHMARK(BM_SocketOwnerSearch)->Unit(benchmark::kMillisecond);

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
