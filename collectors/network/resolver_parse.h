// Decoding of the resolver's configuration and of the hosts file, for the name servers,
// search domains and the host's own domain.
#pragma once

#include <string>
#include <string_view>

#include "collectors/network/network_types.h"

namespace tavrin::collectors {

/// The resolver configuration file: every "nameserver" (also beyond the three the C library
/// uses), the search list of the last "search" or "domain" line, and "options". Lines whose
/// first non-blank character is "#" or ";" are comments.
ResolverConfig ParseResolvConf(std::string_view text);

/// True when every name server is a loopback address: a local stub resolver answers, and the
/// upstream servers are in its own configuration.
bool PointsAtLocalStub(const ResolverConfig& config);

/// The DNS domain of `hostName`: the part after its first dot, else the domain of a fully
/// qualified name the hosts file gives it ("127.0.1.1 box.example.org box" gives
/// "example.org" for "box"); empty when neither says.
std::string HostDomain(std::string_view hostName, std::string_view hostsText);

}  // namespace tavrin::collectors
