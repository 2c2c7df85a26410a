// Decoding of the DHCP lease files of the common clients: ISC dhclient's lease blocks (also
// written by NetworkManager's dhclient mode) and the key=value leases of systemd-networkd
// (also NetworkManager's internal client).
#pragma once

#include <string_view>
#include <vector>

#include "collectors/network/network_types.h"

namespace tavrin::collectors {

/// Every "lease { ... }" block of a dhclient lease file, in file order (newest last).
std::vector<DhcpLease> ParseDhclientLeases(std::string_view text);

/// A systemd-networkd lease (ADDRESS=, NETMASK=, ROUTER=, SERVER_ADDRESS=, DNS=, LIFETIME=);
/// nullopt when it holds no address.
std::optional<DhcpLease> ParseNetworkdLease(std::string_view text);

}  // namespace tavrin::collectors
