// The raw network facts the collectors decode into: links, addresses and routes as the kernel's
// routing socket states them, sockets of the protocol tables, resolver settings, DHCP leases,
// shares and network mounts. Addresses stay in network byte order as raw bytes (4 or 16).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::collectors {

/// One network interface (a link message).
struct NetLinkRecord {
  int32_t index = 0;
  std::string name;
  uint16_t hardwareType = 0;  ///< ARP hardware type (1 Ethernet, 772 loopback, 65534 none)
  uint32_t flags = 0;         ///< interface flags (up, running, loopback ...)
  std::optional<uint32_t> mtu;
  std::optional<uint8_t> operState;  ///< RFC 2863 operational state as the kernel numbers it
  std::string hardwareAddress;       ///< raw bytes; empty when the link has none
  std::string kind;                  ///< link kind of a software link ("bridge", "veth", "tun")
  int32_t master = 0;                ///< index of the bridge or bond it is enslaved to
  std::string alias;
};

/// One address of an interface (an address message).
struct NetAddressRecord {
  int32_t index = 0;   ///< interface index
  uint8_t family = 0;  ///< 2 IPv4, 10 IPv6
  uint8_t prefixLength = 0;
  uint8_t scope = 0;    ///< 0 global, 253 link, 254 host
  uint32_t flags = 0;   ///< secondary, temporary, deprecated, tentative, permanent ...
  std::string address;  ///< the local address (raw bytes)
  std::string peer;     ///< the peer of a point-to-point address, when it differs
  std::string label;
};

/// One route of the main table (a route message).
struct NetRouteRecord {
  uint8_t family = 0;
  uint8_t destinationLength = 0;  ///< 0 for a default route
  uint32_t table = 0;
  uint8_t protocol = 0;
  uint8_t scope = 0;
  uint8_t type = 0;                                   ///< 1 unicast
  std::string destination, gateway, preferredSource;  ///< raw bytes; empty when absent
  int32_t outputIndex = 0;
  std::optional<uint32_t> priority;
};

/// What a routing-socket answer held, and what could not be read of it.
struct NetlinkTables {
  std::vector<NetLinkRecord> links;
  std::vector<NetAddressRecord> addresses;
  std::vector<NetRouteRecord> routes;
  std::optional<int> error;  ///< errno of an error message in the answer
  bool complete = false;     ///< a "done" message ended the dump
  bool truncated = false;    ///< a message ran past the end of the bytes
};

/// One socket of a protocol table.
struct SocketEntry {
  std::string protocol;                     ///< "tcp", "tcp6", "udp", "udp6"
  std::string localAddress, remoteAddress;  ///< raw bytes, network order
  uint16_t localPort = 0, remotePort = 0;
  uint8_t state = 0;  ///< TCP state number (10 listen); 7 for an unconnected UDP socket
  uint32_t uid = 0;
  uint64_t inode = 0;
};

/// A process holding sockets, as far as it could be seen.
struct SocketOwner {
  uint64_t inode = 0;
  int32_t pid = 0;
  std::string command;
};

/// The resolver's configuration file.
struct ResolverConfig {
  std::vector<std::string> nameServers;  ///< in file order, all of them
  std::vector<std::string> searchDomains;
  std::string domain;  ///< the "domain" line, when it was the last of domain and search
  std::vector<std::string> options;
};

/// One DHCP lease as a client stored it.
struct DhcpLease {
  std::string interfaceName;  ///< empty when only the index is known
  int32_t interfaceIndex = 0;
  std::string address, server, subnetMask;
  std::vector<std::string> routers, dnsServers;
  std::string expires;  ///< as the client wrote it
  std::string client;   ///< "dhclient", "systemd-networkd", "NetworkManager"
};

/// A folder this machine shares.
struct NetShareRecord {
  std::string name, path, comment;
  std::string service;  ///< "nfs" or "smb"
  std::string clients;  ///< NFS: the hosts and options it is exported to
};

/// A file system of another machine mounted here.
struct NetMountRecord {
  std::string source, mountPoint, fileSystem;
};

}  // namespace tavrin::collectors
