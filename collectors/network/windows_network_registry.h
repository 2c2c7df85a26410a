// The network facts a replayed Windows machine keeps in its registry: the installed network
// cards and the network components (protocols, services, clients) of each setup class.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "collectors/network/vsi_tcpip.h"
#include "platform/registry.h"

namespace tavrin::collectors {

/// "Description" of every subkey of the network cards key, without repeats.
std::vector<std::string> NetworkCardDescriptions(const platform::Registry& registry);

/// The components of the setup class named `className` ("NetTrans", "NetService",
/// "NetClient"): the "Description" of each subkey of the network key of the class's GUID, then
/// the "DriverDesc" of each driver instance of every class key of that name. A description met
/// twice is listed once.
std::vector<std::string> NetComponentDescriptions(const platform::Registry& registry,
                                                  std::string_view className);

/// The TCP/IP settings a Windows registry keeps: the host-wide parameters of the TCP/IP and
/// NetBIOS services, and per installed network card its interface's addresses, masks,
/// gateways and DHCP use. What only the running machine knows (speed, states) stays empty.
struct WindowsTcpip {
  bool present = false;  ///< the registry has the TCP/IP parameters key
  std::string hostName, domainName, scopeId;
  std::vector<std::string> dnsServers, dnsSuffixes;
  TNodeType nodeType = TNodeType::ntUnknown;
  bool enableRouting = false;
  std::vector<TAdapter> adapters;
};
WindowsTcpip ReadWindowsTcpip(const platform::Registry& registry);

/// Items of a list value written with commas, blanks or both ("a.example,b.example").
std::vector<std::string> SplitRegistryList(std::string_view text);

}  // namespace tavrin::collectors
