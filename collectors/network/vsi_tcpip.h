// Collector of the TCP/IP configuration: one adapter record per network interface with its
// addresses, gateways and DHCP use, and the host-wide parameters (names, DNS servers and
// suffixes, routing).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collectors/collector.h"
#include "collectors/network/network_types.h"
#include "platform/registry.h"

namespace tavrin::collectors {

enum class TNodeType : uint8_t { ntUnknown, ntBroadcast, ntPeerToPeer, ntMixed, ntHybrid };

/// The node type of a NetBIOS node-type code (1 broadcast, 2 peer-to-peer, 4 mixed, 8 hybrid);
/// any other code is unknown.
TNodeType NodeTypeOfCode(uint32_t code);

/// One address of an adapter with its prefix, as the Linux source gives them.
struct TAdapterAddress {
  std::string raw;  ///< 4 or 16 bytes
  uint8_t prefixLength = 0;
  uint8_t scope = 0;
  uint32_t flags = 0;
};

struct TAdapter {
  std::string Name;
  std::string Address;    ///< hardware address, "00:1A:2B:3C:4D:5E"
  uint32_t MaxSpeed = 0;  ///< bits per second; saturates at 4294967295 (see Speed)
  uint32_t MTU = 0;
  uint8_t Typ = 0;  ///< 0 other, 1 Ethernet, 2 token ring, 3 FDDI, 4 PPP, 5 loopback, 6 SLIP
  uint32_t AdminStatus = 0;  ///< 1 up, 2 down, 3 testing
  uint32_t OperStatus = 0;   ///< 0 non-operational, 2 disconnected, 3 connecting, 5 operational
  bool EnableDHCP = false;
  bool HaveWINS = false;
  std::vector<std::string> IPAddress, IPAddressMask;
  std::vector<std::string> Gateway_IPAddress, Gateway_IPAddressMask;
  std::vector<std::string> DHCP_IPAddress, DHCP_IPAddressMask;
  std::vector<std::string> PrimaryWINS_IPAddress, PrimaryWINS_IPAddressMask;
  std::vector<std::string> SecondaryWINS_IPAddress, SecondaryWINS_IPAddressMask;

  // What the Linux source adds to the record.
  int32_t Index = 0;
  std::vector<TAdapterAddress> Addresses;  ///< every IPv4 and IPv6 address, prefixes kept
  std::string HardwareAddress;             ///< the raw bytes behind `Address`
  std::optional<uint64_t> Speed;           ///< bits per second, when the driver reports it
  platform::Provenance SpeedSource;        ///< where the speed came from, or why there is none
  std::optional<uint8_t> OperState;        ///< RFC 2863 state number of the kernel
  uint16_t HardwareType = 0;               ///< ARP hardware type
  std::string Kind;                        ///< software link kind ("bridge", "veth", "tun")
  std::string BusDevice, BusSubsystem;     ///< the bus device behind a physical interface
  std::string FactsPath;                   ///< where the device model's attributes were read
  bool Wireless = false;
  bool Loopback = false;
  std::string DhcpClient;  ///< the client whose lease names this adapter
};

class TVexa_TCPIP : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_TCPIP(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_TCPIP", "TCPIP", std::move(services)) {}

  void RefreshData() override;

  uint32_t AdapterCount() const { return static_cast<uint32_t>(adapters_.size()); }
  const std::vector<TAdapter>& Adapters() const { return adapters_; }

  std::string HostName, DomainName, PrimaryDNSSuffix, DHCPScopeName;
  std::vector<std::string> DNSServers, DNSSuffixes;
  TNodeType NodeType = TNodeType::ntUnknown;
  bool EnableProxy = false, EnableRouting = false, EnableDNS = false;

  // Where each part came from, or why it is empty.
  platform::Provenance AdapterSource;  ///< the routing socket, or the fallback's tables
  /// Set when the routing socket failed and the kernel's text tables answered instead.
  std::optional<platform::Provenance> NetlinkFailure;
  platform::Provenance HostSource, DomainSource, DnsSource, RoutingSource, LeaseSource;
  /// Where the node type was read, or why there is none: on Linux only Samba resolves NetBIOS
  /// names, so its configuration decides; without it the machine uses no NetBIOS names.
  platform::Provenance NodeTypeSource;
  /// Name servers the C library ignores (it uses the first three).
  std::size_t UsedDnsServers = 0;
  /// The routes of the main table, for the default gateway rows.
  std::vector<NetRouteRecord> Routes;

 private:
  /// A replayed Windows machine: what its registry keeps of the TCP/IP settings.
  void RefreshFromRegistry(const platform::Registry& registry);
  std::vector<TAdapter> adapters_;
};

}  // namespace tavrin::collectors
