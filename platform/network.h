// The machine's network configuration as raw data: the routing socket's answers (links,
// addresses, routes) as the bytes the kernel sent, the interface attributes of the device
// model, the kernel's protocol and socket tables, the resolver's files, DHCP leases, shares
// and mounts. Decoding is the network collector's; this service only fetches.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

class FileReader;

/// The dumps asked of the kernel's netlink sockets: links, addresses and routes of the routing
/// socket; the listening TCP sockets and the UDP sockets without a peer of the socket
/// diagnostics socket (IPv4 then IPv6, one answer after the other). The socket dumps replace
/// reading the text socket tables, which walk every bucket of the kernel's connection hash on
/// each read: milliseconds on a large machine, where asking for listeners only takes
/// microseconds.
enum class NetlinkDump { Links, Addresses, Routes, TcpListeners, UdpSockets };

/// What the device model says of one interface beyond the routing socket.
struct InterfaceFacts {
  std::string name;
  std::string path;  ///< where the attributes were read
  /// Link speed in Mbit/s as the driver reports it; absent (with the reason in speedSource)
  /// for links without one: virtual links, and physical ones without a carrier.
  std::optional<int64_t> speedMbps;
  Provenance speedSource;
  /// The bus device behind the interface ("0000:00:03.0", "virtio1"); empty for a software
  /// link. `busSubsystem` is that device's bus ("pci", "usb", "virtio").
  std::string busDevice, busSubsystem;
  bool wireless = false;
  std::string devType;  ///< uevent DEVTYPE ("bridge", "vlan", "wlan", "bond"), when given
  // Read only for the fallback without a routing socket.
  std::optional<int32_t> index;
  std::optional<uint16_t> hardwareType;
  std::optional<uint32_t> mtu, flags;
  std::string operState;        ///< "up", "down", "unknown" ...
  std::string hardwareAddress;  ///< "02:fc:00:00:00:01" as the attribute gives it
};

/// The kernel's text tables the network collector reads.
enum class KernelNetTable {
  Tcp,
  Tcp6,
  Udp,
  Udp6,
  Protocols,
  Inet6Addresses,
  Ipv4Routes,
  Ipv6Routes,
  Ipv4Trie
};

/// Which resolver configuration: the system's, or the upstream servers of systemd-resolved
/// when the system's points at its local stub.
enum class ResolverFile { System, ResolvedUpstream };

enum class LeaseClient { Dhclient, Networkd, NetworkManagerInternal };

struct LeaseFile {
  LeaseClient client = LeaseClient::Dhclient;
  std::string path;
  /// What the file's name tells of the interface: the index for networkd ("2"), the name for
  /// NetworkManager ("eth0"); empty for dhclient (the lease names its interface).
  std::string interfaceHint;
  std::string text;
};

/// A process that holds one of the asked-for sockets.
struct SocketProcess {
  uint64_t inode = 0;
  int32_t pid = 0;
  std::string command;
};

class NetworkService {
 public:
  virtual ~NetworkService() = default;

  /// The raw answer messages of one routing-socket dump, concatenated.
  virtual Answer<std::string> Netlink(NetlinkDump what) const = 0;
  /// Names of the interfaces the device model lists.
  virtual Answer<std::vector<std::string>> InterfaceNames() const = 0;
  virtual Answer<InterfaceFacts> Interface(const std::string& name) const = 0;
  virtual Answer<std::string> KernelTable(KernelNetTable table) const = 0;
  virtual Answer<std::string> Resolver(ResolverFile file) const = 0;
  virtual Answer<std::string> HostsFile() const = 0;
  virtual Answer<std::string> HostName() const = 0;
  /// Whether the kernel forwards IPv4 packets between interfaces.
  virtual Answer<bool> IpForwarding() const = 0;
  /// The lease files of the common DHCP clients that could be read (none is not a failure).
  virtual Answer<std::vector<LeaseFile>> DhcpLeases() const = 0;
  virtual Answer<std::string> NfsExports() const = 0;
  virtual Answer<std::string> SambaConfig() const = 0;
  virtual Answer<std::string> MountTable() const = 0;
  /// The processes holding sockets of `inodes`, as far as this user may look; stops looking
  /// once every inode is found.
  virtual Answer<std::vector<SocketProcess>> SocketOwners(
      const std::vector<uint64_t>& inodes) const = 0;
};

/// Where the netlink dumps come from: the kernel, a snapshot, or a recording of either.
class NetlinkSource {
 public:
  virtual ~NetlinkSource() = default;
  virtual Answer<std::string> Dump(NetlinkDump what) const = 0;
};

/// The kernel's routing and socket-diagnostics sockets, opened per dump and read with a time
/// limit.
std::shared_ptr<const NetlinkSource> MakeKernelNetlinkSource();

/// The network service reading every file through `files` and the dumps from `netlink`.
std::shared_ptr<const NetworkService> MakeLinuxNetworkService(
    std::shared_ptr<const FileReader> files, std::shared_ptr<const NetlinkSource> netlink);

/// "links", "addresses", "routes", "tcp_listeners", "udp_sockets": the names of the dumps in a
/// snapshot's network.json.
const char* NetlinkDumpName(NetlinkDump what);

}  // namespace tavrin::platform
