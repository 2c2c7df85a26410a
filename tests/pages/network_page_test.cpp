// The network page over a captured tree: the list rows numbered from 1 and none for an empty
// list, the adapter rows, the fallback said in the adapters section, the socket layer's Linux
// wording, listening ports, the NetBIOS node type, and which values the report masking hides.
#include <gtest/gtest.h>

#include <algorithm>

#include "collectors/network/vsi_network.h"
#include "gather/controller.h"
#include "pages/categories.h"
#include "pages/page_layouts.h"
#include "report/report_document.h"
#include "report/report_masking.h"
#include "tests/collectors/network/network_test_tree.h"

namespace tavrin::pages {
namespace {

using namespace network_section;

class NetworkPage : public ::testing::Test {
 protected:
  const Page& Fill(std::shared_ptr<const platform::NetlinkSource> netlink) {
    testing::WriteTree(dir_);
    aggregate_ =
        std::make_shared<collectors::TVexa_SystemInfo>(testing::TreeServices(dir_, netlink));
    controller_.SetAggregate(aggregate_);
    aggregate_->Refresh<collectors::TVexa_Network>(std::chrono::seconds(10));
    controller_.FillCategory(*FindCategory("networkinfo"), nullptr);
    return *controller_.FindPage("networkinfo");
  }
  static const TZuSectionItem* Row(const Page& page, int section, std::string_view label) {
    const auto& items = page.Sections()[section].Items;
    auto it = std::find_if(items.begin(), items.end(),
                           [&](const TZuSectionItem& r) { return r.Caption == label; });
    return it == items.end() ? nullptr : &*it;
  }
  static std::string Value(const TZuSectionItem* row) {
    return row ? std::string(TrimText(row->SubItems.at(0))) : "<no row>";
  }

  testing::TempDir dir_;
  std::shared_ptr<collectors::TVexa_SystemInfo> aggregate_;
  gather::TGetFunctionsClass controller_;
};

TEST_F(NetworkPage, RowsOfEverySectionAndWhatIsMasked) {
  const Page& page = Fill(std::make_shared<testing::FailingNetlink>());
  ASSERT_EQ(page.Sections().size(), static_cast<std::size_t>(kCount));

  EXPECT_EQ(Value(Row(page, kGeneral, "Host Name:")), "box");
  EXPECT_TRUE(Row(page, kGeneral, "Host Name:")->sensitive);
  EXPECT_EQ(Value(Row(page, kGeneral, "Domain Name:")), "example.org");
  EXPECT_EQ(Value(Row(page, kGeneral, "DNS Servers:")), "192.168.0.1, 9.9.9.9");
  EXPECT_TRUE(Row(page, kGeneral, "DNS Search Domains:")->sensitive);
  EXPECT_EQ(Value(Row(page, kGeneral, "Routing Enabled:")), "Enabled");
  EXPECT_EQ(Row(page, kGeneral, "Routing Enabled:")->ImageIndex, 0);
  EXPECT_EQ(Row(page, kGeneral, "DHCP Scope Name:"), nullptr);  // empty value, no row
  // Without Samba nothing here resolves NetBIOS names; the row says so and its source why.
  EXPECT_EQ(Value(Row(page, kGeneral, "NetBIOS Node Type:")), "Not used");
  EXPECT_NE(Row(page, kGeneral, "NetBIOS Node Type:")->source.find("no Samba configuration"),
            std::string::npos)
      << Row(page, kGeneral, "NetBIOS Node Type:")->source;

  // The closed routing socket is said before the adapters.
  const auto& adapters = page.Sections()[kAdapters].Items;
  ASSERT_FALSE(adapters.empty());
  EXPECT_NE(Value(&adapters[0]).find("Routing socket unavailable"), std::string::npos);
  EXPECT_EQ(Value(Row(page, kAdapters, "lo")), "127.0.0.1/8");
  EXPECT_FALSE(Row(page, kAdapters, "lo")->sensitive);  // loopback addresses stay readable
  EXPECT_EQ(Value(Row(page, kAdapters, "eth0")), "192.168.0.5/24, fe80::5054:ff:fe12:3456/64");
  EXPECT_TRUE(Row(page, kAdapters, "eth0")->sensitive);
  EXPECT_EQ(Value(Row(page, kAdapters, "eth0 MAC Address:")), "52:54:00:12:34:56");
  EXPECT_EQ(Row(page, kAdapters, "lo MAC Address:"), nullptr);  // all zero: no address
  EXPECT_EQ(Value(Row(page, kAdapters, "eth0 Speed:")), "1 Gbit/s");
  EXPECT_EQ(Row(page, kAdapters, "eth0 Speed:")->quantity,
            Quantity::Of(1'000'000'000u, QuantityUnit::kBitsPerSecond));
  EXPECT_EQ(Value(Row(page, kAdapters, "eth0 Type:")), "Ethernet, physical");
  EXPECT_NE(Row(page, kAdapters, "eth0 Type:")->source.find("bus device pci 0000:00:03.0"),
            std::string::npos);
  EXPECT_EQ(Value(Row(page, kAdapters, "lo Type:")), "Loopback, virtual");
  EXPECT_EQ(Value(Row(page, kAdapters, "eth0 State:")), "Up");
  EXPECT_EQ(Value(Row(page, kAdapters, "eth0 Default Gateway:")), "192.168.0.1");
  EXPECT_EQ(Value(Row(page, kAdapters, "eth0 DHCP:")),
            "Enabled, server 192.168.0.1 (NetworkManager)");

  // List rows: caption, " #", the number from 1, ":"; an empty list adds none.
  EXPECT_EQ(Value(Row(page, kDetails, "Found IP Addresses #1:")), "192.168.0.5");
  EXPECT_EQ(Value(Row(page, kDetails, "Found IP Addresses #2:")), "fe80::5054:ff:fe12:3456");
  EXPECT_EQ(Row(page, kDetails, "Found IP Addresses #3:"), nullptr);
  EXPECT_EQ(Value(Row(page, kDetails, "Found MAC Addresses #1:")), "52-54-00-12-34-56");
  EXPECT_EQ(Value(Row(page, kDetails, "Installed Virtual Adapters #1:")), "lo");
  EXPECT_EQ(Value(Row(page, kDetails, "Supported Protocols #2:")), "UDP");
  for (const auto& row : page.Sections()[kDetails].Items)
    EXPECT_EQ(row.Caption.rfind("Found Client", 0), std::string::npos);

  EXPECT_EQ(Value(Row(page, kListening, "TCP Port 22:")), "all addresses, sshd (PID 42)");

  // The report masking replaces exactly the sensitive values.
  auto doc = report::BuildReportDocument({}, {&page});
  report::MaskSensitive(doc);
  std::string masked;
  for (const auto& section : doc.pages[0].sections)
    for (const auto& row : section.items) masked += row.name + "=" + row.param + "\n";
  for (const char* secret : {"box", "example.org", "192.168.0.5", "52:54:00:12:34:56",
                             "52-54-00-12-34-56", "fe80::5054", "9.9.9.9"})
    EXPECT_EQ(masked.find(std::string("=") + " " + secret), std::string::npos) << secret;
  EXPECT_NE(masked.find("127.0.0.1/8"), std::string::npos);
}

TEST_F(NetworkPage, NodeTypeOfSambasNameResolution) {
  dir_.Write("etc/samba/smb.conf", "[global]\n  wins server = 192.0.2.5\n");
  const Page& page = Fill(std::make_shared<testing::FailingNetlink>());
  EXPECT_EQ(Value(Row(page, kGeneral, "NetBIOS Node Type:")), "Hybrid");
  EXPECT_NE(Row(page, kGeneral, "NetBIOS Node Type:")->source.find("/etc/samba/smb.conf"),
            std::string::npos);
}

}  // namespace
}  // namespace tavrin::pages
