// Netlink answers decoded from messages built in the test: a link, its addresses, the routes,
// the sockets of a socket-diagnostics dump, and the answers that go wrong (a cut-off message,
// an error, foreign types).
#include <gtest/gtest.h>

#include "collectors/network/address_text.h"
#include "collectors/network/netlink_parse.h"
#include "collectors/network/netlink_wire.h"
#include "collectors/network/proc_net_parse.h"
#include "tests/collectors/network/netlink_builder.h"

namespace tavrin::collectors {
namespace {

using namespace netlink;
using testing::NetlinkBuilder;

const std::string kMac("\x00\x1a\x2b\x3c\x4d\x5e", 6);
const std::string kAddr4("\xc0\x00\x02\x02", 4);
const std::string kPeer4("\xc0\x00\x02\x09", 4);
const std::string kGw4("\xc0\x00\x02\x01", 4);

std::string LinkDump() {
  NetlinkBuilder b;
  b.Message(kNewLink, NetlinkBuilder::LinkHeader(2, kArpEther, kIffUp | kIffRunning | kIffLowerUp))
      .Text(kIflaIfname, "eth0")
      .Attr(kIflaAddress, kMac)
      .U32(kIflaMtu, 1400)
      .Attr(kIflaOperstate, std::string(1, '\x06'))
      .Nested(kIflaLinkinfo, NetlinkBuilder::AttrBytes(kIflaInfoKind, std::string("veth") + '\0'));
  b.Message(kDone, NetlinkBuilder::Le32(0));
  return b.Bytes();
}

TEST(NetlinkParse, LinkMessageGivesEveryField) {
  const auto t = ParseNetlinkMessages(LinkDump());
  ASSERT_EQ(t.links.size(), 1u);
  const auto& l = t.links[0];
  EXPECT_EQ(l.index, 2);
  EXPECT_EQ(l.name, "eth0");
  EXPECT_EQ(l.hardwareType, kArpEther);
  EXPECT_EQ(HardwareAddressText(l.hardwareAddress), "00:1A:2B:3C:4D:5E");
  EXPECT_EQ(NetBiosAddressText(l.hardwareAddress), "00-1a-2b-3c-4d-5e");
  EXPECT_EQ(l.mtu, 1400u);
  EXPECT_EQ(l.operState, 6);
  EXPECT_EQ(l.kind, "veth");
  EXPECT_TRUE(l.flags & kIffUp);
  EXPECT_TRUE(t.complete);
  EXPECT_FALSE(t.truncated);
}

TEST(NetlinkParse, AddressesKeepPrefixAndPeer) {
  const std::string v6("\xfe\x80\0\0\0\0\0\0\0\xfc\0\xff\xfe\0\0\x01", 16);
  NetlinkBuilder b;
  b.Message(kNewAddr, NetlinkBuilder::AddrHeader(kFamilyInet, 24, 0x80, 0, 2))
      .Attr(kIfaAddress, kAddr4)
      .Attr(kIfaLocal, kAddr4)
      .Text(kIfaLabel, "eth0");
  // Point-to-point: IFA_ADDRESS is the far end, IFA_LOCAL our own.
  b.Message(kNewAddr, NetlinkBuilder::AddrHeader(kFamilyInet, 32, 0, 0, 3))
      .Attr(kIfaAddress, kPeer4)
      .Attr(kIfaLocal, kAddr4);
  // IPv6 gives only IFA_ADDRESS, and the 32-bit flags replace the header's byte.
  b.Message(kNewAddr, NetlinkBuilder::AddrHeader(kFamilyInet6, 64, 0, kScopeLink, 2))
      .Attr(kIfaAddress, v6)
      .U32(kIfaFlags, 0x280);
  const auto t = ParseNetlinkMessages(b.Bytes());
  ASSERT_EQ(t.addresses.size(), 3u);
  EXPECT_EQ(IpWithPrefix(t.addresses[0].address, t.addresses[0].prefixLength), "192.0.2.2/24");
  EXPECT_EQ(t.addresses[0].label, "eth0");
  EXPECT_TRUE(t.addresses[0].peer.empty());
  EXPECT_EQ(IpText(t.addresses[1].address), "192.0.2.2");
  EXPECT_EQ(IpText(t.addresses[1].peer), "192.0.2.9");
  EXPECT_EQ(IpWithPrefix(t.addresses[2].address, 64), "fe80::fc:ff:fe00:1/64");
  EXPECT_EQ(t.addresses[2].flags, 0x280u);
  EXPECT_EQ(t.addresses[2].scope, kScopeLink);
  EXPECT_FALSE(t.complete);  // no "done" message in this answer
}

TEST(NetlinkParse, RoutesWithGatewayTableAndMetric) {
  NetlinkBuilder b;
  b.Message(kNewRoute, NetlinkBuilder::RouteHeader(kFamilyInet, 0, kRouteTableMain, kRouteUnicast))
      .Attr(kRtaGateway, kGw4)
      .U32(kRtaOif, 2)
      .U32(kRtaPriority, 100);
  b.Message(kNewRoute, NetlinkBuilder::RouteHeader(kFamilyInet, 24, 0, kRouteUnicast))
      .Attr(kRtaDst, std::string("\xc0\x00\x02\x00", 4))
      .U32(kRtaTable, 1000)
      .U32(kRtaOif, 2);
  const auto t = ParseNetlinkMessages(b.Bytes());
  ASSERT_EQ(t.routes.size(), 2u);
  EXPECT_EQ(IpText(t.routes[0].gateway), "192.0.2.1");
  EXPECT_EQ(t.routes[0].outputIndex, 2);
  EXPECT_EQ(t.routes[0].priority, 100u);
  EXPECT_EQ(t.routes[0].table, kRouteTableMain);
  EXPECT_EQ(t.routes[1].table, 1000u);  // the attribute holds tables the header byte cannot
  EXPECT_EQ(t.routes[1].destinationLength, 24);
}

TEST(NetlinkParse, BrokenAnswersKeepWhatCameBefore) {
  std::string bytes = LinkDump();
  // Cut in the middle of the "done" message: the link stays, the answer is marked.
  auto cut = ParseNetlinkMessages(std::string_view(bytes).substr(0, bytes.size() - 2));
  EXPECT_EQ(cut.links.size(), 1u);
  EXPECT_TRUE(cut.truncated);
  EXPECT_FALSE(cut.complete);

  // A length larger than the rest of the answer.
  std::string bad = bytes;
  const uint32_t huge = 100000;
  std::memcpy(bad.data(), &huge, 4);
  auto overrun = ParseNetlinkMessages(bad);
  EXPECT_TRUE(overrun.links.empty());
  EXPECT_TRUE(overrun.truncated);

  // An error message carries a negative errno; an acknowledgement (0) is not an error.
  NetlinkBuilder e;
  e.Message(kError, NetlinkBuilder::Le32(static_cast<uint32_t>(-1)) + std::string(16, '\0'));
  EXPECT_EQ(ParseNetlinkMessages(e.Bytes()).error, 1);
  NetlinkBuilder ack;
  ack.Message(kError, NetlinkBuilder::Le32(0) + std::string(16, '\0'));
  EXPECT_FALSE(ParseNetlinkMessages(ack.Bytes()).error);

  // Unknown message types and attributes are stepped over; a short body gives no record.
  NetlinkBuilder other;
  other.Message(99, "xxxx").Attr(7, "abc");
  other.Message(kNewLink, "ab");
  other.Message(kNewLink, NetlinkBuilder::LinkHeader(1, kArpLoopback, kIffLoopback))
      .Attr(77, "zz")
      .Text(kIflaIfname, "lo");
  auto mixed = ParseNetlinkMessages(other.Bytes());
  ASSERT_EQ(mixed.links.size(), 1u);
  EXPECT_EQ(mixed.links[0].name, "lo");
  EXPECT_TRUE(ParseNetlinkMessages("").links.empty());
}

std::string DiagMessage(uint8_t family, uint8_t state, uint16_t sport, uint16_t dport,
                        const std::string& src, const std::string& dst, uint32_t uid,
                        uint32_t inode) {
  return NetlinkBuilder::DiagMessage(family, state, sport, dport, src, dst, uid, inode);
}

TEST(SocketDiagParse, ListenersOfBothFamiliesAcrossTwoDumps) {
  const std::string any6(16, '\0'), loop4("\x7f\x00\x00\x01", 4);
  NetlinkBuilder b;
  b.Message(kSockDiagByFamily, DiagMessage(kFamilyInet, 10, 631, 0, loop4, "", 0, 21412));
  b.Message(kDone, NetlinkBuilder::Le32(0));  // the IPv4 dump ends, the IPv6 one follows
  b.Message(kSockDiagByFamily, DiagMessage(kFamilyInet6, 10, 8080, 0, any6, "", 1000, 40001));
  b.Message(kSockDiagByFamily, "short");  // too short for a socket: skipped
  b.Message(kDone, NetlinkBuilder::Le32(0));
  const auto tcp = ParseSocketDiagMessages(b.Bytes(), "tcp");
  EXPECT_FALSE(tcp.error);
  EXPECT_FALSE(tcp.truncated);
  ASSERT_EQ(tcp.sockets.size(), 2u);
  EXPECT_EQ(tcp.sockets[0].protocol, "tcp");
  EXPECT_EQ(IpText(tcp.sockets[0].localAddress), "127.0.0.1");
  EXPECT_EQ(tcp.sockets[0].localPort, 631);
  EXPECT_EQ(tcp.sockets[0].inode, 21412u);
  EXPECT_TRUE(IsListening(tcp.sockets[0]));
  EXPECT_EQ(tcp.sockets[1].protocol, "tcp6");
  EXPECT_EQ(IpText(tcp.sockets[1].localAddress), "::");
  EXPECT_EQ(tcp.sockets[1].localPort, 8080);
  EXPECT_EQ(tcp.sockets[1].uid, 1000u);

  // UDP: a bound socket without a peer listens; a connected one (peer port 53) does not.
  NetlinkBuilder u;
  u.Message(kSockDiagByFamily,
            DiagMessage(kFamilyInet, 7, 53, 0, std::string("\x7f\x00\x00\x35", 4), "", 101, 1));
  u.Message(kSockDiagByFamily,
            DiagMessage(kFamilyInet, 7, 41394, 53, kAddr4, "\x01\x01\x01\x01", 1000, 2));
  const auto udp = ParseSocketDiagMessages(u.Bytes(), "udp");
  ASSERT_EQ(udp.sockets.size(), 2u);
  EXPECT_EQ(IpText(udp.sockets[0].localAddress), "127.0.0.53");
  EXPECT_TRUE(IsListening(udp.sockets[0]));
  EXPECT_EQ(IpText(udp.sockets[1].remoteAddress), "1.1.1.1");
  EXPECT_FALSE(IsListening(udp.sockets[1]));
}

TEST(SocketDiagParse, MissingModuleAndCutAnswersAreMarked) {
  // A kernel without the diagnostics module for the transport answers "no such file".
  NetlinkBuilder e;
  e.Message(kError, NetlinkBuilder::Le32(static_cast<uint32_t>(-2)) + std::string(16, '\0'));
  const auto missing = ParseSocketDiagMessages(e.Bytes(), "udp");
  EXPECT_EQ(missing.error, 2);
  EXPECT_TRUE(missing.sockets.empty());

  NetlinkBuilder b;
  b.Message(kSockDiagByFamily, DiagMessage(kFamilyInet, 10, 22, 0, kAddr4, "", 0, 7));
  b.Message(kSockDiagByFamily, DiagMessage(kFamilyInet, 10, 23, 0, kAddr4, "", 0, 8));
  const std::string bytes = b.Bytes();
  const auto cut =
      ParseSocketDiagMessages(std::string_view(bytes).substr(0, bytes.size() - 5), "tcp");
  EXPECT_TRUE(cut.truncated);
  ASSERT_EQ(cut.sockets.size(), 1u);  // the whole first message is kept
  EXPECT_EQ(cut.sockets[0].localPort, 22);
  // A family other than IPv4 and IPv6 gives no socket.
  NetlinkBuilder local;
  local.Message(kSockDiagByFamily, DiagMessage(1, 10, 0, 0, "", "", 0, 9));
  EXPECT_TRUE(ParseSocketDiagMessages(local.Bytes(), "tcp").sockets.empty());
}

}  // namespace
}  // namespace tavrin::collectors
