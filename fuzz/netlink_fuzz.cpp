// libFuzzer target: the network decoders over arbitrary bytes. The first byte chooses the
// decoder: the routing-socket message walk (and the adapter records built from what it
// found) with the socket-diagnostics walk over the same bytes, the socket, route and address
// tables, the resolver, lease, export, Samba and mount texts.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "collectors/network/adapter_build.h"
#include "collectors/network/lease_parse.h"
#include "collectors/network/netlink_parse.h"
#include "collectors/network/proc_net_parse.h"
#include "collectors/network/resolver_parse.h"
#include "collectors/network/share_parse.h"

using namespace tavrin::collectors;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 8) {
    case 0:
      (void)BuildAdapters(ParseNetlinkMessages(in), {}, {});
      for (const auto& s : ParseSocketDiagMessages(in, "tcp").sockets) (void)IsListening(s);
      break;
    case 1:
      (void)ParseSocketTable(in, "tcp");
      (void)ParseSocketTable(in, "udp6");
      break;
    case 2:
      (void)ParseInet6Addresses(in);
      (void)ParseIpv4RouteTable(in);
      (void)ParseIpv6RouteTable(in);
      (void)ParseLocalAddressesOfTrie(in);
      (void)ParseProtocolList(in);
      break;
    case 3:
      (void)BuildAdapters(TablesFromKernelText({}, {in, in, in, in}), {}, {});
      break;
    case 4:
      (void)PointsAtLocalStub(ParseResolvConf(in));
      (void)HostDomain("box", in);
      break;
    case 5:
      (void)ParseDhclientLeases(in);
      (void)ParseNetworkdLease(in);
      break;
    case 6:
      (void)ParseNfsExports(in);
      (void)ParseSambaShares(in);
      break;
    default:
      (void)ParseNetworkMounts(in);
      break;
  }
  return 0;
}
