// Adapter records from decoded link, address and route records: gateways, DHCP from a lease,
// speed and the physical/virtual split, an interface gone between the dumps, and the same
// records rebuilt from the kernel's text tables when the routing socket is closed to us.
#include <gtest/gtest.h>

#include "collectors/network/adapter_build.h"
#include "collectors/network/address_text.h"
#include "collectors/network/netlink_wire.h"

namespace tavrin::collectors {
namespace {

using namespace netlink;
using Strings = std::vector<std::string>;

NetlinkTables TwoLinks() {
  NetlinkTables t;
  NetLinkRecord lo{1,     "lo", kArpLoopback,         kIffUp | kIffLoopback | kIffRunning,
                   65536, 0,    std::string(6, '\0'), "",
                   0,     ""};
  NetLinkRecord eth{
      2,  "eth0", kArpEther, kIffUp | kIffRunning, 1500, 6, std::string("\x02\xfc\0\0\0\x01", 6),
      "", 0,      ""};
  NetLinkRecord veth{3,      "veth9", kArpEther, 0, 1500, 2, std::string("\x02\0\0\0\0\x09", 6),
                     "veth", 0,       ""};
  t.links = {veth, eth, lo};  // out of order on purpose
  t.addresses = {
      {1, kFamilyInet, 8, kScopeHost, 0x80, *IpBytes("127.0.0.1"), "", "lo"},
      {2, kFamilyInet, 24, 0, 0, *IpBytes("192.0.2.2"), "", "eth0"},
      {2, kFamilyInet6, 64, 0, 0x80, *IpBytes("fd00::2"), "", ""},
      {7, kFamilyInet, 24, 0, 0, *IpBytes("198.51.100.7"), "", "gone0"},  // no such link
  };
  NetRouteRecord def4{
      kFamilyInet, 0, kRouteTableMain, 3, 0, kRouteUnicast, "", *IpBytes("192.0.2.1"), "", 2, 100};
  NetRouteRecord def6{
      kFamilyInet6, 0, kRouteTableMain, 3, 0, kRouteUnicast, "", *IpBytes("fd00::1"), "", 2, 1024};
  NetRouteRecord other{kFamilyInet,          0,  200, 3, 0, kRouteUnicast, "",
                       *IpBytes("10.0.0.1"), "", 2,   {}};  // not the main table
  NetRouteRecord lost{
      kFamilyInet, 0, kRouteTableMain, 3, 0, kRouteUnicast, "", *IpBytes("198.51.100.1"), "",
      7,           {}};
  t.routes = {def4, def6, def4, other, lost};
  return t;
}

std::vector<platform::InterfaceFacts> Facts() {
  platform::InterfaceFacts eth;
  eth.name = "eth0";
  eth.path = "/sys/class/net/eth0";
  eth.speedMbps = 10000;
  eth.busDevice = "0000:00:03.0";
  eth.busSubsystem = "pci";
  platform::InterfaceFacts veth;
  veth.name = "veth9";
  return {eth, veth};
}

TEST(BuildAdapters, AddressesGatewaysSpeedAndSplit) {
  const auto adapters = BuildAdapters(TwoLinks(), Facts(), {});
  ASSERT_EQ(adapters.size(), 3u);
  EXPECT_EQ(adapters[0].Name, "lo");
  EXPECT_EQ(adapters[0].Typ, 5);
  EXPECT_TRUE(adapters[0].Loopback);
  EXPECT_EQ(adapters[0].OperStatus, 5u);  // state unknown but running: the loopback is up

  const TAdapter& eth = adapters[1];
  EXPECT_EQ(eth.Address, "02:FC:00:00:00:01");
  EXPECT_EQ(eth.Typ, 1);
  EXPECT_EQ(eth.MTU, 1500u);
  EXPECT_EQ(eth.AdminStatus, 1u);
  EXPECT_EQ(eth.OperStatus, 5u);
  EXPECT_EQ(eth.IPAddress, (Strings{"192.0.2.2"}));
  EXPECT_EQ(eth.IPAddressMask, (Strings{"255.255.255.0"}));
  ASSERT_EQ(eth.Addresses.size(), 2u);
  EXPECT_EQ(IpWithPrefix(eth.Addresses[1].raw, eth.Addresses[1].prefixLength), "fd00::2/64");
  // Each default gateway once, the other table's left out.
  EXPECT_EQ(eth.Gateway_IPAddress, (Strings{"192.0.2.1", "fd00::1"}));
  EXPECT_EQ(eth.Speed, 10'000'000'000u);
  EXPECT_EQ(eth.MaxSpeed, 0xFFFFFFFFu);  // the 32-bit field saturates
  EXPECT_TRUE(IsPhysicalAdapter(eth));
  EXPECT_EQ(eth.FactsPath, "/sys/class/net/eth0");

  const TAdapter& veth = adapters[2];
  EXPECT_FALSE(IsPhysicalAdapter(veth));
  EXPECT_EQ(veth.Kind, "veth");
  EXPECT_EQ(veth.AdminStatus, 2u);
  EXPECT_EQ(veth.OperStatus, 2u);
  EXPECT_FALSE(veth.Speed);
  EXPECT_FALSE(IsPhysicalAdapter(adapters[0]));
}

TEST(BuildAdapters, DhcpOnlyForALeaseOfACurrentAddress) {
  DhcpLease current{"eth0", 0, "192.0.2.2", "192.0.2.254", "255.255.255.0", {}, {}, "", "dhclient"};
  DhcpLease stale{"veth9", 0, "10.9.9.9", "10.9.9.1", "", {}, {}, "", "dhclient"};
  DhcpLease byIndex{"", 2, "192.0.2.2", "", "", {}, {}, "", "systemd-networkd"};
  auto adapters = BuildAdapters(TwoLinks(), Facts(), {current, stale});
  EXPECT_TRUE(adapters[1].EnableDHCP);
  EXPECT_EQ(adapters[1].DHCP_IPAddress, (Strings{"192.0.2.254"}));
  EXPECT_EQ(adapters[1].DhcpClient, "dhclient");
  EXPECT_FALSE(adapters[2].EnableDHCP);
  adapters = BuildAdapters(TwoLinks(), Facts(), {byIndex});
  EXPECT_TRUE(adapters[1].EnableDHCP);
  EXPECT_TRUE(adapters[1].DHCP_IPAddress.empty());
}

TEST(BuildAdapters, InterfaceGoneBetweenDumpsAndDuplicates) {
  auto t = TwoLinks();
  t.links.push_back(t.links[1]);   // the same index twice (a change message in the dump)
  t.links.erase(t.links.begin());  // veth9 went away after the address dump
  const auto adapters = BuildAdapters(t, Facts(), {});
  ASSERT_EQ(adapters.size(), 2u);
  for (const auto& a : adapters)
    for (const auto& addr : a.Addresses) EXPECT_NE(IpText(addr.raw), "198.51.100.7");
  EXPECT_TRUE(BuildAdapters({}, Facts(), {}).empty());
}

TEST(KernelTextFallback, RebuildsLinksAddressesAndRoutes) {
  platform::InterfaceFacts lo, eth;
  lo.name = "lo";
  lo.index = 1;
  lo.hardwareType = kArpLoopback;
  lo.flags = 0x9;
  lo.mtu = 65536;
  lo.operState = "unknown";
  eth.name = "eth0";
  eth.index = 4;
  eth.hardwareType = kArpEther;
  eth.flags = 0x1003;
  eth.mtu = 1400;
  eth.operState = "up";
  eth.hardwareAddress = "02:fc:00:00:00:01";
  const auto t = TablesFromKernelText(
      {lo, eth},
      {"fd000000000000000000000000000002 04 40 00 80     eth0\n",
       "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
       "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
       "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n",
       "", "Local:\n  |-- 127.0.0.1\n     /32 host LOCAL\n  |-- 192.0.2.2\n     /32 host LOCAL\n"});
  const auto adapters = BuildAdapters(t, {}, {});
  ASSERT_EQ(adapters.size(), 2u);
  EXPECT_EQ(adapters[0].IPAddress, (Strings{"127.0.0.1"}));
  EXPECT_EQ(adapters[0].IPAddressMask, (Strings{"255.0.0.0"}));
  EXPECT_EQ(adapters[1].Name, "eth0");
  EXPECT_EQ(adapters[1].Address, "02:FC:00:00:00:01");
  EXPECT_EQ(adapters[1].MTU, 1400u);
  EXPECT_EQ(adapters[1].OperState, 6);
  EXPECT_EQ(adapters[1].IPAddress, (Strings{"192.0.2.2"}));
  EXPECT_EQ(adapters[1].IPAddressMask, (Strings{"255.255.255.0"}));
  EXPECT_EQ(adapters[1].Addresses.size(), 2u);
  EXPECT_EQ(adapters[1].Gateway_IPAddress, (Strings{"192.0.2.1"}));
}

TEST(AddressText, FormsOfTheAdapterRecords) {
  EXPECT_EQ(HardwareAddressText(std::string("\x00\x1a\x2b\x3c\x4d\x5e", 6)), "00:1A:2B:3C:4D:5E");
  EXPECT_EQ(NetBiosAddressText(std::string("\x00\x1a\x2b\x3c\x4d\x5e", 6)), "00-1a-2b-3c-4d-5e");
  EXPECT_EQ(HardwareAddressText(""), "");
  EXPECT_EQ(Ipv4MaskText(0), "0.0.0.0");
  EXPECT_EQ(Ipv4MaskText(20), "255.255.240.0");
  EXPECT_EQ(Ipv4MaskText(32), "255.255.255.255");
  EXPECT_TRUE(IsLoopbackAddress(*IpBytes("127.1.2.3")));
  EXPECT_TRUE(IsLoopbackAddress(*IpBytes("::ffff:127.0.0.1")));
  EXPECT_FALSE(IsLoopbackAddress(*IpBytes("::2")));
  EXPECT_FALSE(IpBytes("not.an.address"));
  EXPECT_EQ(IpText("abc"), "");
  EXPECT_EQ(AdapterTypeFromIfType(6), 1);
  EXPECT_EQ(AdapterTypeFromIfType(24), 5);
  EXPECT_EQ(AdapterTypeFromIfType(71), 0);  // IEEE 802.11 is not in the record's table
  EXPECT_EQ(AdapterTypeFromHardwareType(kArpEther, true), 0);
  EXPECT_EQ(AdapterTypeFromHardwareType(kArpPpp, false), 4);
}

}  // namespace
}  // namespace tavrin::collectors
