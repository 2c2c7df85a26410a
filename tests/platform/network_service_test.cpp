// The network service and collectors over a file tree of our own and over this machine: bad
// sources (a dangling resolver link, a routing socket that cannot be opened, an interface
// that left), the listening sockets from the diagnostics socket or the text tables and the
// search for their owners, the recorded form of the netlink dumps, and comparisons with what
// iproute2 and the kernel's text tables say of this machine.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <tuple>

#include "collectors/network/adapter_build.h"
#include "collectors/network/address_text.h"
#include "collectors/network/netlink_parse.h"
#include "collectors/network/netlink_wire.h"
#include "collectors/network/proc_net_parse.h"
#include "collectors/network/vsi_network.h"
#include "platform/file_reader.h"
#include "platform/network.h"
#include "platform/network_netlink_json.h"
#include "tests/collectors/network/netlink_builder.h"
#include "tests/collectors/network/network_test_tree.h"
#include "tests/support/run_program.h"
#include "tests/support/test_services.h"

namespace tavrin::platform {
namespace {

using collectors::TVexa_Network;
using collectors::TVexa_TCPIP;
using testing::FailingNetlink;
using testing::TempDir;
using testing::TreeServices;
using testing::WriteTree;

TEST(NetworkService, ClosedRoutingSocketFallsBackToKernelTables) {
  TempDir dir;
  WriteTree(dir);
  TVexa_Network net(TreeServices(dir, std::make_shared<FailingNetlink>()));
  net.RefreshData();
  const TVexa_TCPIP& ip = net.TCPIP();
  ASSERT_TRUE(ip.NetlinkFailure);
  EXPECT_EQ(ip.NetlinkFailure->status, Status::PermissionDenied);
  ASSERT_EQ(ip.AdapterCount(), 2u);
  const auto& eth = ip.Adapters()[1];
  EXPECT_EQ(eth.Name, "eth0");
  EXPECT_EQ(eth.IPAddress, std::vector<std::string>{"192.168.0.5"});
  EXPECT_EQ(eth.IPAddressMask, std::vector<std::string>{"255.255.255.0"});
  EXPECT_EQ(eth.Gateway_IPAddress, std::vector<std::string>{"192.168.0.1"});
  EXPECT_EQ(eth.Speed, 1'000'000'000u);
  EXPECT_EQ(eth.BusDevice, "0000:00:03.0");
  EXPECT_EQ(eth.BusSubsystem, "pci");
  EXPECT_TRUE(eth.EnableDHCP);
  EXPECT_EQ(eth.DhcpClient, "NetworkManager");
  EXPECT_EQ(net.PhysicalAdapters, std::vector<std::string>{"eth0"});
  EXPECT_EQ(net.VirtualAdapters, std::vector<std::string>{"lo"});
  EXPECT_EQ(net.MACAddresses, std::vector<std::string>{"52-54-00-12-34-56"});
  EXPECT_EQ(net.IPAddresses, (std::vector<std::string>{"192.168.0.5", "fe80::5054:ff:fe12:3456"}));

  // Host-wide parameters: the stub's upstream servers, the hosts file's domain.
  EXPECT_EQ(ip.HostName, "box");
  EXPECT_EQ(ip.DomainName, "example.org");
  EXPECT_EQ(ip.DNSServers, (std::vector<std::string>{"192.168.0.1", "9.9.9.9"}));
  EXPECT_EQ(ip.DNSSuffixes, std::vector<std::string>{"example.org"});
  EXPECT_TRUE(ip.EnableDNS);
  EXPECT_TRUE(ip.EnableRouting);

  ASSERT_EQ(net.ListeningPorts.size(), 1u);
  EXPECT_EQ(net.ListeningPorts[0].Port, 22);
  EXPECT_EQ(net.ListeningPorts[0].Pid, 42);
  EXPECT_EQ(net.ListeningPorts[0].Command, "sshd");
  EXPECT_EQ(net.Protocols, (std::vector<std::string>{"TCP", "UDP"}));
  EXPECT_TRUE(net.WinSock().KernelSockets);
}

TEST(NetworkService, DanglingResolverLinkAndMissingSources) {
  TempDir dir;
  dir.Write("proc/sys/kernel/hostname", "box\n");
  std::filesystem::create_directories(dir.path() / "etc");
  std::filesystem::create_symlink("../run/systemd/resolve/stub-resolv.conf",
                                  dir.path() / "etc/resolv.conf");
  auto services = TreeServices(dir, std::make_shared<FailingNetlink>());
  EXPECT_EQ(services->network->Resolver(ResolverFile::System).source.status, Status::Missing);
  TVexa_Network net(services);
  net.RefreshData();
  EXPECT_TRUE(net.TCPIP().DNSServers.empty());
  EXPECT_FALSE(net.TCPIP().EnableDNS);
  EXPECT_EQ(net.TCPIP().DnsSource.status, Status::Missing);
  EXPECT_EQ(net.TCPIP().AdapterCount(), 0u);
  EXPECT_TRUE(net.ListeningPorts.empty());
  EXPECT_FALSE(net.ListeningSource.ok());
  EXPECT_TRUE(net.Resources().Shares.empty());
  EXPECT_EQ(net.Resources().NfsSource.status, Status::Missing);
}

TEST(NetworkService, NoServiceLeavesEverythingEmptyWithTheReason) {
  TempDir dir;
  TVexa_Network net(testing::MakeTestServices(dir.path()));
  net.RefreshData();
  EXPECT_EQ(net.TCPIP().AdapterCount(), 0u);
  EXPECT_EQ(net.TCPIP().AdapterSource.status, Status::NotSupported);
  EXPECT_FALSE(net.WinSock().KernelSockets);
  EXPECT_TRUE(net.IPAddresses.empty());
}

// The routing socket closed, the diagnostics socket answering for TCP and lacking its UDP
// module.
class DiagnosticsOnly : public NetlinkSource {
 public:
  Answer<std::string> Dump(NetlinkDump what) const override {
    namespace nl = collectors::netlink;
    testing::NetlinkBuilder b;
    if (what == NetlinkDump::TcpListeners) {
      b.Message(nl::kSockDiagByFamily,
                testing::NetlinkBuilder::DiagMessage(nl::kFamilyInet, 10, 2222, 0, "", "", 0, 777));
      b.Message(nl::kDone, testing::NetlinkBuilder::Le32(0));
      return Answer<std::string>::Of(b.Bytes(), "socket diagnostics");
    }
    if (what == NetlinkDump::UdpSockets) {
      b.Message(nl::kError, testing::NetlinkBuilder::Le32(static_cast<uint32_t>(-2)));
      return Answer<std::string>::Of(b.Bytes(), "socket diagnostics");
    }
    return FailingNetlink().Dump(what);
  }
};

TEST(NetworkService, ListenersFromDiagnosticsElseTextTables) {
  TempDir dir;
  WriteTree(dir);  // its text table says port 22, inode 777
  dir.Write("proc/net/udp",
            "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
            "timeout inode\n  1: 3500007F:0035 00000000:0000 07 00000000:00000000 00:00000000 "
            "00000000   101        0 555 2 0000000000000000 0\n");
  TVexa_Network net(TreeServices(dir, std::make_shared<DiagnosticsOnly>()));
  net.RefreshData();
  // TCP from the diagnostics answer (its port, not the table's), with the owner found;
  // UDP from the text table, the diagnostics answer having been an error.
  ASSERT_EQ(net.ListeningPorts.size(), 2u);
  EXPECT_EQ(net.ListeningPorts[0].Protocol, "tcp");
  EXPECT_EQ(net.ListeningPorts[0].Port, 2222);
  EXPECT_EQ(net.ListeningPorts[0].Command, "sshd");
  EXPECT_EQ(net.ListeningPorts[1].Protocol, "udp");
  EXPECT_EQ(net.ListeningPorts[1].Port, 53);
  EXPECT_EQ(net.ListeningPorts[1].Pid, 0);
  EXPECT_EQ(net.ListeningSource.source, "socket diagnostics");
}

// Refuses the descriptors of process 1 as the kernel does for a process we may not trace, and
// keeps every link it was asked for.
class RefusingFiles : public FileReader {
 public:
  using FileReader::FileReader;
  Answer<std::string> ReadLink(std::string_view path) const override {
    asked.emplace_back(path);
    if (!path.starts_with("/proc/1/fd/")) return FileReader::ReadLink(path);
    return Answer<std::string>::Fail(Status::PermissionDenied, std::string(path),
                                     "Permission denied");
  }
  std::size_t AskedUnder(std::string_view folder) const {
    return static_cast<std::size_t>(std::count_if(
        asked.begin(), asked.end(), [&](const std::string& p) { return p.starts_with(folder); }));
  }
  mutable std::vector<std::string> asked;
};

TEST(NetworkService, OwnerSearchLeavesARefusingProcessAndStopsWhenAllAreFound) {
  TempDir dir;
  WriteTree(dir);
  std::filesystem::create_directories(dir.path() / "proc/1/fd");
  for (int fd = 0; fd < 50; ++fd)
    std::filesystem::create_symlink("/dev/null", dir.path() / ("proc/1/fd/" + std::to_string(fd)));
  dir.Write("proc/7/comm", "late\n");
  std::filesystem::create_directories(dir.path() / "proc/7/fd");
  std::filesystem::create_symlink("socket:[777]", dir.path() / "proc/7/fd/4");
  auto files = std::make_shared<RefusingFiles>(dir.path());
  auto net = MakeLinuxNetworkService(files, std::make_shared<FailingNetlink>());

  auto owners = net->SocketOwners({777, 888});
  ASSERT_TRUE(owners);
  EXPECT_EQ(files->AskedUnder("/proc/1/fd/"), 1u);  // one refusal, not fifty
  EXPECT_EQ(files->AskedUnder("/proc/7/fd/"), 1u);  // 888 is still wanted there
  // "/proc" lists "1", "42", "7": 42 holds 777 and is met first; 888 is nobody's.
  ASSERT_EQ(owners->size(), 1u);
  EXPECT_EQ((*owners)[0].pid, 42);
  EXPECT_EQ((*owners)[0].command, "sshd");

  // With every inode found the walk ends: process 7, listed after 42, is not looked at.
  files->asked.clear();
  auto found = net->SocketOwners({777});
  ASSERT_TRUE(found);
  ASSERT_EQ(found->size(), 1u);
  EXPECT_EQ((*found)[0].pid, 42);
  EXPECT_EQ(files->AskedUnder("/proc/7/"), 0u);
}

class FixedNetlink : public NetlinkSource {
 public:
  Answer<std::string> Dump(NetlinkDump what) const override {
    if (what == NetlinkDump::Routes)
      return Answer<std::string>::Fail(Status::TimedOut, "routing socket", "no end of the dump");
    return Answer<std::string>::Of(std::string("\x01\0\xff", 3) + NetlinkDumpName(what), "kernel");
  }
};

TEST(NetworkService, RecordedDumpsReplayByteForByte) {
  TempDir dir;
  ServiceRecordings recordings;
  auto recording = RecordNetlink(std::make_shared<FixedNetlink>(), recordings);
  const auto links = recording->Dump(NetlinkDump::Links);
  recording->Dump(NetlinkDump::Routes);
  std::string error;
  ASSERT_EQ(recordings.size(), 1u);
  ASSERT_TRUE(recordings[0]->Finish(dir.path(), &error)) << error;

  std::vector<std::string> warnings;
  auto replay = LoadRecordedNetlink(dir.path(), warnings);
  ASSERT_TRUE(replay);
  EXPECT_TRUE(warnings.empty());
  auto again = replay->Dump(NetlinkDump::Links);
  ASSERT_TRUE(again);
  EXPECT_EQ(*again, *links);
  EXPECT_EQ(replay->Dump(NetlinkDump::Routes).source.status, Status::TimedOut);
  EXPECT_EQ(replay->Dump(NetlinkDump::Addresses).source.status, Status::NotSupported);

  TempDir none;
  EXPECT_FALSE(LoadRecordedNetlink(none.path(), warnings));
  none.Write("network.json", "{not json");
  auto broken = LoadRecordedNetlink(none.path(), warnings);
  ASSERT_TRUE(broken);
  EXPECT_EQ(warnings.size(), 1u);
  EXPECT_FALSE(broken->Dump(NetlinkDump::Links));
}

// Every interface iproute2 lists appears with the same addresses, prefixes, MTU and state,
// and its default route is the gateway shown.
TEST(NetworkService, ThisMachineAgreesWithIproute2) {
  const std::filesystem::path ip = std::filesystem::exists("/usr/sbin/ip") ? "/usr/sbin/ip"
                                   : std::filesystem::exists("/sbin/ip")   ? "/sbin/ip"
                                                                           : "/usr/bin/ip";
  if (!std::filesystem::exists(ip)) GTEST_SKIP() << "iproute2 is not installed";
  auto addr = testing::RunProgram(ip, {"-j", "addr"});
  auto route = testing::RunProgram(ip, {"-j", "route"});
  auto route6 = testing::RunProgram(ip, {"-j", "-6", "route"});
  ASSERT_EQ(addr.exit_code, 0) << addr.err;

  auto services = std::make_shared<Services>(*testing::MakeTestServices("/", true));
  services->network = MakeLinuxNetworkService(services->files, MakeKernelNetlinkSource());
  TVexa_TCPIP tcpip(services);
  tcpip.RefreshData();
  if (tcpip.NetlinkFailure)
    GTEST_SKIP() << "no routing socket here: " << tcpip.NetlinkFailure->Explain();

  const auto links = nlohmann::json::parse(addr.out);
  ASSERT_EQ(tcpip.AdapterCount(), links.size());
  for (const auto& link : links) {
    const std::string name = link["ifname"];
    const auto& adapters = tcpip.Adapters();
    auto it = std::find_if(adapters.begin(), adapters.end(),
                           [&](const auto& a) { return a.Name == name; });
    ASSERT_NE(it, adapters.end()) << name;
    EXPECT_EQ(it->MTU, link["mtu"].get<uint32_t>()) << name;
    EXPECT_EQ(collectors::OperStateName(it->OperState.value_or(0)), link["operstate"]) << name;
    std::vector<std::string> theirs, ours;
    for (const auto& a : link["addr_info"])
      theirs.push_back(a["local"].get<std::string>() + "/" +
                       std::to_string(a["prefixlen"].get<int>()));
    for (const auto& a : it->Addresses)
      ours.push_back(collectors::IpWithPrefix(a.raw, a.prefixLength));
    std::sort(theirs.begin(), theirs.end());
    std::sort(ours.begin(), ours.end());
    EXPECT_EQ(ours, theirs) << name;
  }
  for (const auto* run : {&route, &route6}) {
    if (run->exit_code != 0) continue;
    for (const auto& r : nlohmann::json::parse(run->out)) {
      if (r.value("dst", "") != "default" || !r.contains("gateway")) continue;
      const std::string dev = r["dev"];
      auto it = std::find_if(tcpip.Adapters().begin(), tcpip.Adapters().end(),
                             [&](const auto& a) { return a.Name == dev; });
      ASSERT_NE(it, tcpip.Adapters().end());
      EXPECT_NE(std::find(it->Gateway_IPAddress.begin(), it->Gateway_IPAddress.end(),
                          r["gateway"].get<std::string>()),
                it->Gateway_IPAddress.end())
          << dev;
    }
  }
}

// The listening sockets the diagnostics socket names are those of the text tables. Other
// programs may open or close sockets between the two reads, so a difference is read again.
TEST(NetworkService, ThisMachineDiagnosticsAgreeWithTextTables) {
  auto netlink = MakeKernelNetlinkSource();
  auto files = std::make_shared<FileReader>();
  using Key = std::tuple<std::string, std::string, uint16_t, uint64_t>;
  auto fromDiag = [&]() -> std::optional<std::set<Key>> {
    std::set<Key> out;
    for (auto [what, name] :
         {std::pair{NetlinkDump::TcpListeners, "tcp"}, std::pair{NetlinkDump::UdpSockets, "udp"}}) {
      auto answer = netlink->Dump(what);
      if (!answer) return std::nullopt;
      auto parsed = collectors::ParseSocketDiagMessages(*answer, name);
      if (parsed.error || parsed.truncated) return std::nullopt;
      for (const auto& s : parsed.sockets)
        if (collectors::IsListening(s))
          out.emplace(s.protocol, s.localAddress, s.localPort, s.inode);
    }
    return out;
  };
  auto fromText = [&] {
    std::set<Key> out;
    for (const char* name : {"tcp", "tcp6", "udp", "udp6"})
      if (auto text = files->ReadFile(std::string("/proc/net/") + name))
        for (const auto& s : collectors::ParseSocketTable(*text, name))
          if (collectors::IsListening(s))
            out.emplace(s.protocol, s.localAddress, s.localPort, s.inode);
    return out;
  };
  for (int attempt = 0;; ++attempt) {
    auto diag = fromDiag();
    if (!diag) GTEST_SKIP() << "no socket diagnostics here";
    auto text = fromText();
    if (*diag == text || attempt == 4) {
      EXPECT_EQ(*diag, text);
      break;
    }
  }
}

}  // namespace
}  // namespace tavrin::platform
