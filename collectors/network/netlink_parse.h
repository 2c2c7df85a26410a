// Decoding of netlink answers: the link, address and route messages of a routing-socket dump
// and the socket messages of a socket-diagnostics dump, from the raw bytes the kernel sent (or
// a snapshot kept).
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "collectors/network/network_types.h"

namespace tavrin::collectors {

/// Every link, address and route message of `bytes` (one or more concatenated answers, in host
/// byte order as received). Messages of other types are skipped; a length that runs past the
/// end stops the walk with `truncated` set, keeping what came before.
NetlinkTables ParseNetlinkMessages(std::string_view bytes);

/// Adds `more`'s records to `into`; `complete` stays true only when both were.
void MergeNetlinkTables(NetlinkTables& into, NetlinkTables more);

/// The sockets of a socket-diagnostics answer.
struct SocketDiagAnswer {
  std::vector<SocketEntry> sockets;
  std::optional<int> error;  ///< errno of an error message (no such diagnostics module ...)
  bool truncated = false;    ///< a message ran past the end of the bytes
};

/// Every socket message of `bytes` (one or more concatenated dumps). `transport` is "tcp" or
/// "udp"; an IPv6 socket's protocol gets a "6" appended, as the kernel's text tables name it.
SocketDiagAnswer ParseSocketDiagMessages(std::string_view bytes, std::string_view transport);

}  // namespace tavrin::collectors
