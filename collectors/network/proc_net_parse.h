// Decoding of the kernel's protocol tables as text: the socket tables (tcp, tcp6, udp, udp6),
// the protocol list, and the tables the routing-socket fallback reads (IPv6 addresses, IPv4
// and IPv6 routes, the IPv4 address trie).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "collectors/network/network_types.h"

namespace tavrin::collectors {

/// The sockets of one table. `protocol` names it ("tcp6"); the "6" decides the address width.
/// Addresses are printed by the kernel as 32-bit words in the byte order of the machine that
/// wrote them; little-endian is assumed (every machine this program reads from).
std::vector<SocketEntry> ParseSocketTable(std::string_view text, std::string_view protocol);

/// TCP sockets in the listening state and UDP sockets bound without a peer.
bool IsListening(const SocketEntry& socket);

/// The protocol names of the kernel's protocol list, in its order, without the header line.
std::vector<std::string> ParseProtocolList(std::string_view text);

/// The IPv6 addresses of the interface address table (one line per address: address, index,
/// prefix length, scope, flags, name).
std::vector<NetAddressRecord> ParseInet6Addresses(std::string_view text);

/// The IPv4 routes of the route table, with the interface name in `label`-less form: the
/// name goes to `names` at the same position, since the table has no interface index.
struct NamedRoute {
  std::string interfaceName;
  NetRouteRecord route;
};
std::vector<NamedRoute> ParseIpv4RouteTable(std::string_view text);
std::vector<NamedRoute> ParseIpv6RouteTable(std::string_view text);

/// The local IPv4 addresses of the address trie (the "/32 host LOCAL" leaves), without
/// duplicates, in the order met.
std::vector<std::string> ParseLocalAddressesOfTrie(std::string_view text);

}  // namespace tavrin::collectors
