// Turning the decoded link, address and route records of Linux into the adapter records of the
// TCP/IP collector, and rebuilding those records from the kernel's text tables when the
// routing socket cannot be used.
#pragma once

#include <string_view>
#include <vector>

#include "collectors/network/network_types.h"
#include "collectors/network/vsi_tcpip.h"
#include "platform/network.h"

namespace tavrin::collectors {

/// One adapter per link, in index order, with its addresses, default gateways, the device
/// model's facts (speed, bus device) and the DHCP lease that names it. Addresses and routes of
/// an index no link has (an interface that went away between the dumps) are dropped.
std::vector<TAdapter> BuildAdapters(const NetlinkTables& tables,
                                    const std::vector<platform::InterfaceFacts>& facts,
                                    const std::vector<DhcpLease>& leases);

/// The kernel's text tables for the link, address and route records: links from the device
/// model's attributes, IPv6 addresses from the address table, IPv4 addresses from the local
/// leaves of the address trie with the prefix of the interface's connected route.
struct KernelTextTables {
  std::string_view inet6, ipv4Routes, ipv6Routes, ipv4Trie;
};
NetlinkTables TablesFromKernelText(const std::vector<platform::InterfaceFacts>& facts,
                                   const KernelTextTables& text);

/// The interface state as the routing socket names it ("UP", "DOWN", "UNKNOWN" ...).
std::string_view OperStateName(uint8_t state);

/// An interface backed by a bus device is physical; loopback, bridges, bonds, veth, tun/tap,
/// wireguard and the like have none and are virtual.
inline bool IsPhysicalAdapter(const TAdapter& adapter) {
  return !adapter.BusDevice.empty();
}

}  // namespace tavrin::collectors
