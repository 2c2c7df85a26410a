#include "collectors/network/adapter_build.h"

#include <algorithm>
#include <array>
#include <map>

#include "collectors/network/address_text.h"
#include "collectors/network/netlink_wire.h"
#include "collectors/network/proc_net_parse.h"

namespace tavrin::collectors {
namespace {

using namespace netlink;

// MIB-II interface states of the adapter record from the kernel's RFC 2863 state.
uint32_t OperStatusOf(std::optional<uint8_t> state, uint32_t flags) {
  switch (state.value_or(0)) {
    case 6:
      return 5;  // up: operational
    case 2:
    case 3:
      return 2;  // down, lower layer down: disconnected
    case 5:
      return 3;  // dormant: waiting to connect
    case 0:
      return (flags & kIffRunning) ? 5 : 0;  // unknown: the loopback says so while up
    default:
      return 0;
  }
}

std::optional<uint8_t> OperStateFromName(std::string_view name) {
  static constexpr std::array<std::string_view, 7> kNames = {
      "unknown", "notpresent", "down", "lowerlayerdown", "testing", "dormant", "up"};
  for (std::size_t i = 0; i < kNames.size(); ++i)
    if (kNames[i] == name) return static_cast<uint8_t>(i);
  return std::nullopt;
}

bool LeaseNames(const DhcpLease& lease, const TAdapter& adapter) {
  if (!lease.interfaceName.empty()) return lease.interfaceName == adapter.Name;
  return lease.interfaceIndex != 0 && lease.interfaceIndex == adapter.Index;
}

std::string ParseHardwareText(std::string_view text) {
  std::string raw;
  unsigned value = 0;
  int digits = 0;
  for (char c : text) {
    const int d = c >= '0' && c <= '9'   ? c - '0'
                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                         : -1;
    if (d >= 0) {
      value = value * 16 + static_cast<unsigned>(d);
      if (++digits == 2) {
        raw.push_back(static_cast<char>(value));
        value = 0;
        digits = 0;
      }
    } else if (c != ':') {
      return {};
    }
  }
  return raw;
}

}  // namespace

std::string_view OperStateName(uint8_t state) {
  static constexpr std::array<std::string_view, 7> kNames = {
      "UNKNOWN", "NOTPRESENT", "DOWN", "LOWERLAYERDOWN", "TESTING", "DORMANT", "UP"};
  return state < kNames.size() ? kNames[state] : "UNKNOWN";
}

std::vector<TAdapter> BuildAdapters(const NetlinkTables& tables,
                                    const std::vector<platform::InterfaceFacts>& facts,
                                    const std::vector<DhcpLease>& leases) {
  std::vector<TAdapter> out;
  std::map<int32_t, std::size_t> byIndex;
  std::vector<const NetLinkRecord*> links;
  for (const auto& link : tables.links) links.push_back(&link);
  std::sort(links.begin(), links.end(),
            [](const auto* a, const auto* b) { return a->index < b->index; });
  for (const NetLinkRecord* link : links) {
    if (byIndex.count(link->index)) continue;
    TAdapter a;
    a.Index = link->index;
    a.Name = link->name;
    a.HardwareType = link->hardwareType;
    a.HardwareAddress = link->hardwareAddress;
    a.Address = HardwareAddressText(link->hardwareAddress);
    a.MTU = link->mtu.value_or(0);
    a.OperState = link->operState;
    a.AdminStatus = (link->flags & kIffUp) ? 1 : 2;
    a.OperStatus = OperStatusOf(link->operState, link->flags);
    a.Kind = link->kind;
    a.Loopback = (link->flags & kIffLoopback) != 0 || link->hardwareType == kArpLoopback;
    for (const auto& f : facts) {
      if (f.name != a.Name) continue;
      a.BusDevice = f.busDevice;
      a.FactsPath = f.path;
      a.BusSubsystem = f.busSubsystem;
      a.Wireless = f.wireless;
      a.SpeedSource = f.speedSource;
      if (f.speedMbps) {
        a.Speed = static_cast<uint64_t>(*f.speedMbps) * 1000000u;
        a.MaxSpeed = static_cast<uint32_t>(std::min<uint64_t>(*a.Speed, 0xFFFFFFFFu));
      }
      if (a.Kind.empty() && !f.devType.empty() && f.devType != "wlan") a.Kind = f.devType;
    }
    a.Typ = AdapterTypeFromHardwareType(link->hardwareType, a.Wireless);
    byIndex[a.Index] = out.size();
    out.push_back(std::move(a));
  }

  for (const auto& addr : tables.addresses) {
    auto it = byIndex.find(addr.index);
    if (it == byIndex.end() || IpText(addr.address).empty()) continue;
    TAdapter& a = out[it->second];
    a.Addresses.push_back({addr.address, addr.prefixLength, addr.scope, addr.flags});
    if (addr.family == kFamilyInet) {
      a.IPAddress.push_back(IpText(addr.address));
      a.IPAddressMask.push_back(Ipv4MaskText(addr.prefixLength));
    }
  }

  // IPv4 before IPv6, each family in the kernel's order, whichever table they came from.
  for (TAdapter& a : out)
    std::stable_sort(a.Addresses.begin(), a.Addresses.end(),
                     [](const TAdapterAddress& x, const TAdapterAddress& y) {
                       return x.raw.size() < y.raw.size();
                     });

  // Default gateways of the main table; a route with several next hops names none here.
  for (const auto& route : tables.routes) {
    if (route.table != kRouteTableMain || route.type != kRouteUnicast ||
        route.destinationLength != 0 || route.gateway.empty())
      continue;
    auto it = byIndex.find(route.outputIndex);
    if (it == byIndex.end()) continue;
    TAdapter& a = out[it->second];
    const std::string gateway = IpText(route.gateway);
    if (std::find(a.Gateway_IPAddress.begin(), a.Gateway_IPAddress.end(), gateway) !=
        a.Gateway_IPAddress.end())
      continue;
    a.Gateway_IPAddress.push_back(gateway);
    a.Gateway_IPAddressMask.push_back(route.family == kFamilyInet ? "0.0.0.0" : "::");
  }

  for (TAdapter& a : out) {
    for (const DhcpLease& lease : leases) {
      if (!LeaseNames(lease, a)) continue;
      // Only a lease for an address the adapter still has shows DHCP in use now.
      if (std::find(a.IPAddress.begin(), a.IPAddress.end(), lease.address) == a.IPAddress.end())
        continue;
      a.EnableDHCP = true;
      a.DhcpClient = lease.client;
      a.DHCP_IPAddress.clear();
      a.DHCP_IPAddressMask.clear();
      if (!lease.server.empty()) {
        a.DHCP_IPAddress.push_back(lease.server);
        a.DHCP_IPAddressMask.push_back("255.255.255.255");
      }
    }
  }
  return out;
}

NetlinkTables TablesFromKernelText(const std::vector<platform::InterfaceFacts>& facts,
                                   const KernelTextTables& text) {
  NetlinkTables out;
  out.complete = true;
  std::map<std::string, int32_t> indexOf;
  for (const auto& f : facts) {
    if (!f.index) continue;
    NetLinkRecord link;
    link.index = *f.index;
    link.name = f.name;
    link.hardwareType = f.hardwareType.value_or(0);
    link.flags = f.flags.value_or(0);
    link.mtu = f.mtu;
    link.operState = OperStateFromName(f.operState);
    link.hardwareAddress = ParseHardwareText(f.hardwareAddress);
    indexOf[f.name] = link.index;
    out.links.push_back(std::move(link));
  }
  for (auto& addr : ParseInet6Addresses(text.inet6)) out.addresses.push_back(std::move(addr));

  const auto routes4 = ParseIpv4RouteTable(text.ipv4Routes);
  for (const std::string& local : ParseLocalAddressesOfTrie(text.ipv4Trie)) {
    auto raw = IpBytes(local);
    if (!raw || raw->size() != 4) continue;
    NetAddressRecord addr;
    addr.family = kFamilyInet;
    addr.address = *raw;
    // The connected route with the longest prefix that holds the address names its interface.
    const NamedRoute* best = nullptr;
    for (const auto& r : routes4) {
      if (!r.route.gateway.empty() || r.route.destinationLength == 0) continue;
      const std::string mask = *IpBytes(Ipv4MaskText(r.route.destinationLength));
      bool inside = true;
      for (int i = 0; i < 4; ++i)
        inside = inside && ((*raw)[i] & mask[i]) == (r.route.destination[i] & mask[i]);
      if (inside && (!best || r.route.destinationLength > best->route.destinationLength)) best = &r;
    }
    if (best) {
      addr.prefixLength = best->route.destinationLength;
      addr.index = indexOf.count(best->interfaceName) ? indexOf[best->interfaceName] : 0;
    } else if (IsLoopbackAddress(*raw)) {
      addr.prefixLength = 8;
      addr.scope = kScopeHost;
      for (const auto& link : out.links)
        if (link.flags & kIffLoopback) addr.index = link.index;
    } else {
      continue;
    }
    out.addresses.push_back(std::move(addr));
  }

  auto addRoutes = [&](std::vector<NamedRoute> routes) {
    for (auto& r : routes) {
      if (!indexOf.count(r.interfaceName)) continue;
      r.route.outputIndex = indexOf[r.interfaceName];
      out.routes.push_back(std::move(r.route));
    }
  };
  addRoutes(routes4);
  addRoutes(ParseIpv6RouteTable(text.ipv6Routes));
  return out;
}

}  // namespace tavrin::collectors
