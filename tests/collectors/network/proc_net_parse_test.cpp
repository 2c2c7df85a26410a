// The kernel's text tables: sockets of tcp/tcp6/udp, the protocol list, and the tables the
// fallback without a routing socket reads.
#include <gtest/gtest.h>

#include "collectors/network/address_text.h"
#include "collectors/network/proc_net_parse.h"

namespace tavrin::collectors {
namespace {

constexpr const char* kTcp =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout "
    "inode\n"
    "   0: 0100007F:0277 00000000:0000 0A 00000000:00000000 00:00000000 00000000     0        0 "
    "21412 1 0000000000000000 100 0 0 10 0\n"
    "   1: 00000000:0016 00000000:0000 0A 00000000:00000000 00:00000000 00000000     0        0 "
    "1833 1 0000000000000000 100 0 0 10 0\n"
    "   2: 020200C0:0016 090200C0:D431 01 00000000:00000000 02:0009A2B2 00000000     0        0 "
    "33311 4 0000000000000000 20 4 29 10 -1\n"
    "   3: garbage\n";

constexpr const char* kTcp6 =
    "  sl  local_address                         remote_address                        st "
    "tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n"
    "   0: 00000000000000000000000001000000:0277 00000000000000000000000000000000:0000 0A "
    "00000000:00000000 00:00000000 00000000     0        0 21411 1 0000000000000000 100 0 0 10 "
    "0\n"
    "   1: 000000FD000000000000000000000000:1F90 00000000000000000000000000000000:0000 0A "
    "00000000:00000000 00:00000000 00000000  1000        0 40001 1 0000000000000000 100 0 0 10 "
    "0\n";

constexpr const char* kUdp =
    "   sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout "
    "inode ref pointer drops\n"
    "  120: 3500007F:0035 00000000:0000 07 00000000:00000000 00:00000000 00000000   101        0 "
    "18123 2 0000000000000000 0\n"
    "  121: 020200C0:A1B2 01010101:0035 01 00000000:00000000 00:00000000 00000000  1000        0 "
    "18124 2 0000000000000000 0\n";

TEST(SocketTable, Ipv4AndIpv6LinesDecode) {
  const auto tcp = ParseSocketTable(kTcp, "tcp");
  ASSERT_EQ(tcp.size(), 3u);  // the garbage line is skipped
  EXPECT_EQ(IpText(tcp[0].localAddress), "127.0.0.1");
  EXPECT_EQ(tcp[0].localPort, 631);
  EXPECT_EQ(tcp[0].inode, 21412u);
  EXPECT_TRUE(IsListening(tcp[0]));
  EXPECT_EQ(IpText(tcp[1].localAddress), "0.0.0.0");
  EXPECT_EQ(tcp[1].localPort, 22);
  EXPECT_EQ(IpText(tcp[2].remoteAddress), "192.0.2.9");
  EXPECT_EQ(tcp[2].remotePort, 0xD431);
  EXPECT_FALSE(IsListening(tcp[2]));  // established

  const auto tcp6 = ParseSocketTable(kTcp6, "tcp6");
  ASSERT_EQ(tcp6.size(), 2u);
  EXPECT_EQ(IpText(tcp6[0].localAddress), "::1");
  EXPECT_EQ(IpText(tcp6[1].localAddress), "fd00::");
  EXPECT_EQ(tcp6[1].localPort, 8080);
  EXPECT_EQ(tcp6[1].uid, 1000u);

  const auto udp = ParseSocketTable(kUdp, "udp");
  ASSERT_EQ(udp.size(), 2u);
  EXPECT_EQ(IpText(udp[0].localAddress), "127.0.0.53");
  EXPECT_TRUE(IsListening(udp[0]));   // bound, no peer
  EXPECT_FALSE(IsListening(udp[1]));  // connected to 1.1.1.1:53
}

TEST(ProtocolList, NamesInOrderWithoutHeader) {
  EXPECT_EQ(
      ParseProtocolList("protocol  size sockets  memory press maxhdr  slab module     cl co\n"
                        "PACKET    1600      0      -1   NI       0   no   kernel      n  n\n"
                        "UDPv6     1472      2       1   NI       0   yes  kernel      y  y\n"
                        "\nTCP       2432      5       2   no     320   yes  kernel      y  y\n"),
      (std::vector<std::string>{"PACKET", "UDPv6", "TCP"}));
  EXPECT_TRUE(ParseProtocolList("").empty());
}

TEST(FallbackTables, AddressesRoutesAndTrie) {
  const auto v6 = ParseInet6Addresses(
      "fe8000000000000000fc00fffe000001 04 40 20 80     eth0\n"
      "00000000000000000000000000000001 01 80 10 80       lo\n"
      "short line\n");
  ASSERT_EQ(v6.size(), 2u);
  EXPECT_EQ(IpWithPrefix(v6[0].address, v6[0].prefixLength), "fe80::fc:ff:fe00:1/64");
  EXPECT_EQ(v6[0].index, 4);
  EXPECT_EQ(v6[0].scope, 253);
  EXPECT_EQ(v6[1].scope, 254);

  const auto r4 = ParseIpv4RouteTable(
      "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
      "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
      "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n");
  ASSERT_EQ(r4.size(), 2u);
  EXPECT_EQ(IpText(r4[0].route.gateway), "192.0.2.1");
  EXPECT_EQ(r4[0].route.destinationLength, 0);
  EXPECT_EQ(r4[1].route.destinationLength, 24);
  EXPECT_TRUE(r4[1].route.gateway.empty());
  EXPECT_EQ(r4[1].interfaceName, "eth0");

  const auto r6 = ParseIpv6RouteTable(
      "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
      "fd000000000000000000000000000001 00000400 00000001 00000000 00000003     eth0\n");
  ASSERT_EQ(r6.size(), 1u);
  EXPECT_EQ(IpText(r6[0].route.gateway), "fd00::1");
  EXPECT_EQ(r6[0].route.priority, 1024u);

  EXPECT_EQ(ParseLocalAddressesOfTrie("Main:\n  +-- 0.0.0.0/0 3 0 5\n     |-- 0.0.0.0\n"
                                      "        /0 universe UNICAST\n"
                                      "        |-- 192.0.2.2\n           /32 host LOCAL\n"
                                      "Local:\n        |-- 192.0.2.2\n           /32 host LOCAL\n"
                                      "        |-- 192.0.2.255\n           /32 link BROADCAST\n"),
            (std::vector<std::string>{"192.0.2.2"}));
}

}  // namespace
}  // namespace tavrin::collectors
