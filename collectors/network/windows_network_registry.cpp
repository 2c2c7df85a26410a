#include "collectors/network/windows_network_registry.h"

#include <algorithm>

#include "base/strings.h"

namespace tavrin::collectors {
namespace {

using platform::RegRoot;

constexpr std::string_view kNetworkCards =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr std::string_view kClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class";
constexpr std::string_view kNetworkKey = "SYSTEM\\CurrentControlSet\\Control\\Network";
constexpr std::string_view kTcpipKey = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
constexpr std::string_view kNetBtKey = "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters";

std::string StringValue(const platform::Registry& registry, const std::string& path,
                        std::string_view name) {
  auto value = registry.ReadValue(RegRoot::LocalMachine, path, name);
  if (!value) return {};
  return value->AsString().value_or("");
}

void AddOnce(std::vector<std::string>& list, std::string item) {
  if (item.empty() || std::find(list.begin(), list.end(), item) != list.end()) return;
  list.push_back(std::move(item));
}

bool SameText(std::string_view a, std::string_view b) {
  return base::Lower(a) == base::Lower(b);
}

// A string value, or every string of a multi-string value.
std::vector<std::string> ListValue(const platform::Registry& registry, const std::string& path,
                                   std::string_view name) {
  auto value = registry.ReadValue(RegRoot::LocalMachine, path, name);
  if (!value) return {};
  if (auto many = value->AsMultiString()) {
    std::vector<std::string> out;
    for (auto& item : *many)
      if (!item.empty()) out.push_back(std::move(item));
    return out;
  }
  return SplitRegistryList(value->AsString().value_or(""));
}

std::optional<uint32_t> DwordValue(const platform::Registry& registry, const std::string& path,
                                   std::string_view name) {
  auto value = registry.ReadValue(RegRoot::LocalMachine, path, name);
  if (!value) return std::nullopt;
  return value->AsDword();
}

// The first non-empty of the statically set value and the one DHCP gave.
std::string EitherString(const platform::Registry& registry, const std::string& path,
                         std::string_view set, std::string_view dhcp) {
  std::string text = StringValue(registry, path, set);
  return text.empty() ? StringValue(registry, path, dhcp) : text;
}

}  // namespace

std::vector<std::string> NetworkCardDescriptions(const platform::Registry& registry) {
  std::vector<std::string> out;
  const std::string base(kNetworkCards);
  for (const auto& card : registry.SubKeys(RegRoot::LocalMachine, base))
    AddOnce(out, StringValue(registry, base + "\\" + card, "Description"));
  return out;
}

std::vector<std::string> NetComponentDescriptions(const platform::Registry& registry,
                                                  std::string_view className) {
  std::vector<std::string> out;
  const std::string classBase(kClassKey);
  const auto classes = registry.SubKeys(RegRoot::LocalMachine, classBase);
  // First the network key of the class's GUID.
  for (const auto& guid : classes) {
    if (!SameText(StringValue(registry, classBase + "\\" + guid, "Class"), className)) continue;
    const std::string netBase = std::string(kNetworkKey) + "\\" + guid;
    for (const auto& component : registry.SubKeys(RegRoot::LocalMachine, netBase))
      AddOnce(out, StringValue(registry, netBase + "\\" + component, "Description"));
    break;
  }
  // Then the driver instances of every class key of that name.
  for (const auto& guid : classes) {
    const std::string key = classBase + "\\" + guid;
    if (!SameText(StringValue(registry, key, "Class"), className)) continue;
    for (const auto& instance : registry.SubKeys(RegRoot::LocalMachine, key))
      AddOnce(out, StringValue(registry, key + "\\" + instance, "DriverDesc"));
  }
  return out;
}

std::vector<std::string> SplitRegistryList(std::string_view text) {
  std::vector<std::string> out;
  std::string item;
  for (char c : text) {
    if (c == ',' || c == ' ' || c == ';') {
      if (!item.empty()) out.push_back(std::move(item));
      item.clear();
    } else {
      item += c;
    }
  }
  if (!item.empty()) out.push_back(std::move(item));
  return out;
}

WindowsTcpip ReadWindowsTcpip(const platform::Registry& registry) {
  WindowsTcpip out;
  const std::string params(kTcpipKey);
  if (!registry.KeyExists(RegRoot::LocalMachine, params)) return out;
  out.present = true;
  out.hostName = EitherString(registry, params, "Hostname", "NV Hostname");
  out.domainName = EitherString(registry, params, "Domain", "DhcpDomain");
  out.dnsSuffixes = ListValue(registry, params, "SearchList");
  out.dnsServers = ListValue(registry, params, "NameServer");
  out.enableRouting = DwordValue(registry, params, "IPEnableRouter").value_or(0) != 0;
  const std::string netbt(kNetBtKey);
  out.nodeType =
      NodeTypeOfCode(DwordValue(registry, netbt, "NodeType")
                         .value_or(DwordValue(registry, netbt, "DhcpNodeType").value_or(0)));
  out.scopeId = EitherString(registry, netbt, "ScopeId", "DhcpScopeId");

  const std::string cards(kNetworkCards);
  for (const auto& card : registry.SubKeys(RegRoot::LocalMachine, cards)) {
    const std::string cardKey = cards + "\\" + card;
    TAdapter a;
    a.Name = StringValue(registry, cardKey, "Description");
    const std::string service = StringValue(registry, cardKey, "ServiceName");
    const std::string iface = params + "\\Interfaces\\" + service;
    if (!service.empty() && registry.KeyExists(RegRoot::LocalMachine, iface)) {
      a.EnableDHCP = DwordValue(registry, iface, "EnableDHCP").value_or(0) != 0;
      const char* address = a.EnableDHCP ? "DhcpIPAddress" : "IPAddress";
      const char* mask = a.EnableDHCP ? "DhcpSubnetMask" : "SubnetMask";
      const char* gateway = a.EnableDHCP ? "DhcpDefaultGateway" : "DefaultGateway";
      a.IPAddress = ListValue(registry, iface, address);
      a.IPAddressMask = ListValue(registry, iface, mask);
      a.Gateway_IPAddress = ListValue(registry, iface, gateway);
      a.Gateway_IPAddressMask.assign(a.Gateway_IPAddress.size(), "255.255.255.255");
      if (a.EnableDHCP) {
        a.DHCP_IPAddress = ListValue(registry, iface, "DhcpServer");
        a.DHCP_IPAddressMask.assign(a.DHCP_IPAddress.size(), "255.255.255.255");
      }
      for (const auto& server :
           ListValue(registry, iface, a.EnableDHCP ? "DhcpNameServer" : "NameServer"))
        AddOnce(out.dnsServers, server);
    }
    // 0.0.0.0 is how the registry says "no address yet".
    std::erase(a.IPAddress, std::string("0.0.0.0"));
    if (!a.Name.empty()) out.adapters.push_back(std::move(a));
  }
  return out;
}

}  // namespace tavrin::collectors
