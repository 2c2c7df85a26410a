// A replayed Windows machine's network settings from its registry: the TCP/IP parameters, an
// adapter's interface key, the installed cards and the network components of each class.
#include <gtest/gtest.h>

#include "collectors/network/vsi_network.h"
#include "collectors/network/windows_network_registry.h"
#include "platform/registry.h"
#include "tests/support/test_services.h"

namespace tavrin::collectors {
namespace {

using platform::RegRoot;
using platform::RegValue;
using Strings = std::vector<std::string>;

std::shared_ptr<platform::RegistryTree> WindowsRegistry() {
  auto r = std::make_shared<platform::RegistryTree>("test registry");
  const std::string tcpip = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
  r->SetValue(RegRoot::LocalMachine, tcpip, "Hostname", RegValue::String("WORKSTATION7"));
  r->SetValue(RegRoot::LocalMachine, tcpip, "Domain", RegValue::String("corp.example"));
  r->SetValue(RegRoot::LocalMachine, tcpip, "SearchList",
              RegValue::String("corp.example,lab.example"));
  r->SetValue(RegRoot::LocalMachine, tcpip, "IPEnableRouter", RegValue::Dword(1));
  r->SetValue(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters",
              "DhcpNodeType", RegValue::Dword(8));
  const std::string iface = tcpip + "\\Interfaces\\{AAAA}";
  r->SetValue(RegRoot::LocalMachine, iface, "EnableDHCP", RegValue::Dword(1));
  r->SetValue(RegRoot::LocalMachine, iface, "DhcpIPAddress", RegValue::String("10.0.0.5"));
  r->SetValue(RegRoot::LocalMachine, iface, "DhcpSubnetMask", RegValue::String("255.255.255.0"));
  r->SetValue(RegRoot::LocalMachine, iface, "DhcpDefaultGateway",
              RegValue::MultiString({"10.0.0.1"}));
  r->SetValue(RegRoot::LocalMachine, iface, "DhcpServer", RegValue::String("10.0.0.2"));
  r->SetValue(RegRoot::LocalMachine, iface, "DhcpNameServer",
              RegValue::String("10.0.0.2 10.0.0.3"));
  const std::string cards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
  r->SetValue(RegRoot::LocalMachine, cards + "\\2", "Description",
              RegValue::String("Intel(R) PRO/1000 MT Network Connection"));
  r->SetValue(RegRoot::LocalMachine, cards + "\\2", "ServiceName", RegValue::String("{AAAA}"));
  r->SetValue(RegRoot::LocalMachine, cards + "\\9", "Description",
              RegValue::String("Intel(R) PRO/1000 MT Network Connection"));  // listed twice
  const std::string cls = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E975}";
  r->SetValue(RegRoot::LocalMachine, cls, "Class", RegValue::String("NetTrans"));
  r->SetValue(RegRoot::LocalMachine, cls + "\\0000", "DriverDesc",
              RegValue::String("Internet Protocol (TCP/IP)"));
  r->SetValue(RegRoot::LocalMachine, cls + "\\0001", "DriverDesc",
              RegValue::String("NWLink IPX/SPX"));
  r->SetValue(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E975}\\{X}",
              "Description", RegValue::String("NWLink IPX/SPX"));
  return r;
}

TEST(WindowsNetworkRegistry, TcpipParametersAndAdapters) {
  const auto w = ReadWindowsTcpip(*WindowsRegistry());
  ASSERT_TRUE(w.present);
  EXPECT_EQ(w.hostName, "WORKSTATION7");
  EXPECT_EQ(w.domainName, "corp.example");
  EXPECT_EQ(w.dnsSuffixes, (Strings{"corp.example", "lab.example"}));  // two, split at ","
  EXPECT_EQ(w.nodeType, TNodeType::ntHybrid);
  EXPECT_TRUE(w.enableRouting);
  EXPECT_EQ(w.dnsServers, (Strings{"10.0.0.2", "10.0.0.3"}));
  ASSERT_EQ(w.adapters.size(), 2u);
  const TAdapter& a = w.adapters[0];
  EXPECT_TRUE(a.EnableDHCP);
  EXPECT_EQ(a.IPAddress, Strings{"10.0.0.5"});
  EXPECT_EQ(a.IPAddressMask, Strings{"255.255.255.0"});
  EXPECT_EQ(a.Gateway_IPAddress, Strings{"10.0.0.1"});
  EXPECT_EQ(a.DHCP_IPAddress, Strings{"10.0.0.2"});
  EXPECT_TRUE(w.adapters[1].IPAddress.empty());

  EXPECT_FALSE(ReadWindowsTcpip(platform::RegistryTree()).present);
  EXPECT_EQ(SplitRegistryList(" a, b;c "), (Strings{"a", "b", "c"}));
}

TEST(WindowsNetworkRegistry, CardsAndComponentsWithoutRepeats) {
  auto registry = WindowsRegistry();
  EXPECT_EQ(NetworkCardDescriptions(*registry), Strings{"Intel(R) PRO/1000 MT Network Connection"});
  // The network key's descriptions first, then the drivers' not yet listed.
  EXPECT_EQ(NetComponentDescriptions(*registry, "nettrans"),
            (Strings{"NWLink IPX/SPX", "Internet Protocol (TCP/IP)"}));
  EXPECT_TRUE(NetComponentDescriptions(*registry, "NetClient").empty());

  testing::TempDir dir;
  auto services = std::make_shared<platform::Services>(*testing::MakeTestServices(dir.path()));
  services->registry = registry;
  TVexa_Network net(services);
  net.RefreshData();
  EXPECT_EQ(net.TCPIP().AdapterCount(), 2u);
  EXPECT_EQ(net.TCPIP().HostName, "WORKSTATION7");
  EXPECT_EQ(net.PhysicalAdapters, Strings{"Intel(R) PRO/1000 MT Network Connection"});
  EXPECT_EQ(net.Protocols.size(), 2u);
  EXPECT_TRUE(net.ListeningPorts.empty());
}

}  // namespace
}  // namespace tavrin::collectors
