#include "collectors/network/vsi_tcpip.h"

#include <algorithm>
#include <cstdlib>

#include "collectors/network/adapter_build.h"
#include "collectors/network/lease_parse.h"
#include "collectors/network/netlink_parse.h"
#include "collectors/network/netlink_wire.h"
#include "collectors/network/resolver_parse.h"
#include "collectors/network/share_parse.h"
#include "collectors/network/windows_network_registry.h"
#include "platform/network.h"
#include "platform/registry_source.h"

namespace tavrin::collectors {
namespace {

using platform::Answer;
using platform::NetlinkDump;
using platform::Provenance;

// The C library's resolver asks at most this many name servers.
constexpr std::size_t kResolverServerLimit = 3;

std::vector<DhcpLease> DecodeLeases(const std::vector<platform::LeaseFile>& files) {
  std::vector<DhcpLease> out;
  for (const auto& file : files) {
    switch (file.client) {
      case platform::LeaseClient::Dhclient:
        for (auto& lease : ParseDhclientLeases(file.text)) {
          if (lease.interfaceName.empty()) lease.interfaceName = file.interfaceHint;
          out.push_back(std::move(lease));
        }
        break;
      case platform::LeaseClient::Networkd:
      case platform::LeaseClient::NetworkManagerInternal:
        if (auto lease = ParseNetworkdLease(file.text)) {
          if (file.client == platform::LeaseClient::Networkd) {
            lease->interfaceIndex = std::atoi(file.interfaceHint.c_str());
          } else {
            lease->interfaceName = file.interfaceHint;
            lease->client = "NetworkManager";
          }
          out.push_back(std::move(*lease));
        }
        break;
    }
  }
  return out;
}

// The three dumps; the first failure's answer when one fails.
std::optional<NetlinkTables> DumpAll(const platform::NetworkService& net, Provenance& source) {
  NetlinkTables all;
  all.complete = true;
  for (NetlinkDump what : {NetlinkDump::Links, NetlinkDump::Addresses, NetlinkDump::Routes}) {
    auto answer = net.Netlink(what);
    if (!answer) {
      source = answer.source;
      return std::nullopt;
    }
    auto tables = ParseNetlinkMessages(*answer);
    if (tables.error || tables.truncated) {
      source = Provenance::Failure(platform::Status::Malformed, answer.source.source,
                                   tables.error ? "error " + std::to_string(*tables.error)
                                                : "a message runs past the answer's end");
      if (tables.links.empty() && what == NetlinkDump::Links) return std::nullopt;
    }
    MergeNetlinkTables(all, std::move(tables));
    if (what == NetlinkDump::Links) source = answer.source;
  }
  return all;
}

// The node type of Samba's name resolution, and where it came from or why there is none.
TNodeType SambaNodeType(const platform::NetworkService& net, Provenance& source) {
  auto config = net.SambaConfig();
  if (!config) {
    source = Provenance::Failure(
        config.source.status, config.source.source,
        "no Samba configuration: NetBIOS names are not used, names resolve through DNS and the "
        "hosts file");
    return TNodeType::ntUnknown;
  }
  const SambaNameService service = ParseSambaNameService(*config);
  const uint32_t code = NetBiosNodeCode(service);
  if (code == 0) {
    source = Provenance::Failure(platform::Status::NotSupported, config.source.source,
                                 service.netbiosDisabled
                                     ? "NetBIOS is disabled in Samba's configuration"
                                     : "Samba's name resolve order asks neither a WINS server "
                                       "nor broadcasts");
    return TNodeType::ntUnknown;
  }
  source = config.source;
  return NodeTypeOfCode(code);
}

}  // namespace

TNodeType NodeTypeOfCode(uint32_t code) {
  switch (code) {
    case 1:
      return TNodeType::ntBroadcast;
    case 2:
      return TNodeType::ntPeerToPeer;
    case 4:
      return TNodeType::ntMixed;
    case 8:
      return TNodeType::ntHybrid;
    default:
      return TNodeType::ntUnknown;
  }
}

void TVexa_TCPIP::RefreshFromRegistry(const platform::Registry& registry) {
  WindowsTcpip w = ReadWindowsTcpip(registry);
  if (!w.present) return;
  const auto from = Provenance::Answered(platform::RegistryKeyName(
      platform::RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters"));
  AdapterSource = HostSource = DomainSource = DnsSource = RoutingSource = from;
  NodeTypeSource = Provenance::Answered(platform::RegistryKeyName(
      platform::RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters"));
  HostName = w.hostName;
  DomainName = w.domainName;
  DHCPScopeName = w.scopeId;
  DNSServers = w.dnsServers;
  DNSSuffixes = w.dnsSuffixes;
  NodeType = w.nodeType;
  EnableRouting = w.enableRouting;
  EnableDNS = !DNSServers.empty();
  adapters_ = std::move(w.adapters);
}

void TVexa_TCPIP::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  adapters_.clear();
  HostName.clear();
  DomainName.clear();
  PrimaryDNSSuffix.clear();
  DHCPScopeName.clear();
  DNSServers.clear();
  DNSSuffixes.clear();
  NodeType = TNodeType::ntUnknown;
  EnableProxy = EnableRouting = EnableDNS = false;
  NetlinkFailure.reset();
  Routes.clear();
  UsedDnsServers = 0;

  const auto& net = Platform().network;
  if (!net) {
    const auto none = Provenance::Failure(platform::Status::NotSupported, "network service",
                                          "this source has no network configuration");
    AdapterSource = HostSource = DomainSource = DnsSource = RoutingSource = LeaseSource =
        NodeTypeSource = none;
    if (Platform().registry) RefreshFromRegistry(*Platform().registry);
    return;
  }

  // Interface attributes first: the fallback needs them, and so do speed and the bus split.
  std::vector<platform::InterfaceFacts> facts;
  if (auto names = net->InterfaceNames())
    for (const auto& name : *names)
      if (auto f = net->Interface(name)) facts.push_back(std::move(*f));

  Provenance dumpSource;
  auto tables = DumpAll(*net, dumpSource);
  if (tables) {
    AdapterSource = dumpSource;
  } else {
    // No routing socket (a sandbox, a seccomp filter): the kernel's text tables say nearly
    // as much.
    NetlinkFailure = dumpSource;
    auto inet6 = net->KernelTable(platform::KernelNetTable::Inet6Addresses);
    auto routes4 = net->KernelTable(platform::KernelNetTable::Ipv4Routes);
    auto routes6 = net->KernelTable(platform::KernelNetTable::Ipv6Routes);
    auto trie = net->KernelTable(platform::KernelNetTable::Ipv4Trie);
    tables = TablesFromKernelText(
        facts, {inet6.value_or(""), routes4.value_or(""), routes6.value_or(""), trie.value_or("")});
    AdapterSource = routes4 ? routes4.source : inet6.source;
  }

  auto leaseFiles = net->DhcpLeases();
  LeaseSource = leaseFiles.source;
  const auto leases = leaseFiles ? DecodeLeases(*leaseFiles) : std::vector<DhcpLease>{};
  adapters_ = BuildAdapters(*tables, facts, leases);
  for (auto& route : tables->routes)
    if (route.table == netlink::kRouteTableMain) Routes.push_back(std::move(route));

  auto host = net->HostName();
  HostSource = host.source;
  HostName = host.value_or("");
  auto hosts = net->HostsFile();
  DomainName = HostDomain(HostName, hosts.value_or(""));
  DomainSource = HostName.find('.') != std::string::npos ? HostSource : hosts.source;

  auto resolv = net->Resolver(platform::ResolverFile::System);
  DnsSource = resolv.source;
  if (resolv) {
    ResolverConfig config = ParseResolvConf(*resolv);
    if (PointsAtLocalStub(config)) {
      // The stub forwards to the servers systemd-resolved was given; those are the answer.
      auto upstream = net->Resolver(platform::ResolverFile::ResolvedUpstream);
      if (upstream) {
        ResolverConfig real = ParseResolvConf(*upstream);
        if (!real.nameServers.empty()) {
          config.nameServers = real.nameServers;
          if (config.searchDomains.empty()) config.searchDomains = real.searchDomains;
          DnsSource = upstream.source;
        }
      }
    }
    DNSServers = config.nameServers;
    DNSSuffixes = config.searchDomains;
    PrimaryDNSSuffix = config.domain.empty() && !config.searchDomains.empty()
                           ? config.searchDomains.front()
                           : config.domain;
    // The C library stops at three servers; systemd-resolved asks all it was given.
    UsedDnsServers = DnsSource.source == resolv.source.source
                         ? std::min(DNSServers.size(), kResolverServerLimit)
                         : DNSServers.size();
  }
  EnableDNS = !DNSServers.empty();

  NodeType = SambaNodeType(*net, NodeTypeSource);

  auto forwarding = net->IpForwarding();
  RoutingSource = forwarding.source;
  EnableRouting = forwarding.value_or(false);
}

}  // namespace tavrin::collectors
