// The network page: the host's TCP/IP parameters, the socket layer, one group of rows per
// adapter, the network lists, and the sockets waiting for connections.
#include <algorithm>

#include "collectors/network/adapter_build.h"
#include "collectors/network/address_text.h"
#include "collectors/network/vsi_network.h"
#include "collectors/system_info.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "text/format.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using collectors::TAdapter;
using collectors::TVexa_Network;
using platform::Provenance;

using namespace network_section;

// Enabled/Disabled with the images of the flags: 0 enabled, 1 disabled.
void AddFlag(const FillContext& ctx, Page& page, std::string_view label, bool on,
             const Provenance& source) {
  AddItemEx(ctx, page, kGeneral, on ? 0 : 1, label, on ? lbl::S_ENABLED : lbl::S_DISABLED, "",
            false, 0, RowMeta{source});
}

std::string Joined(const std::vector<std::string>& items) {
  std::string out;
  for (const auto& item : items) out += (out.empty() ? "" : ", ") + item;
  return out;
}

// Every IP address is masked in reports except the loopback's.
bool AnyNonLoopback(const std::vector<std::string>& texts) {
  return std::any_of(texts.begin(), texts.end(), [](const std::string& t) {
    auto raw = collectors::IpBytes(t);
    return !raw || !collectors::IsLoopbackAddress(*raw);
  });
}

// A Windows machine without a node type leaves the row out; on Linux the row says that
// NetBIOS names are not used, and its source says why.
std::string NodeTypeText(collectors::TNodeType type, bool linuxSource) {
  using collectors::TNodeType;
  switch (type) {
    case TNodeType::ntBroadcast:
      return lbl::S_NET_NODE_BROADCAST;
    case TNodeType::ntPeerToPeer:
      return lbl::S_NET_NODE_P2P;
    case TNodeType::ntMixed:
      return lbl::S_NET_NODE_MIXED;
    case TNodeType::ntHybrid:
      return lbl::S_NET_NODE_HYBRID;
    case TNodeType::ntUnknown:
      break;
  }
  return linuxSource ? std::string(lbl::S_NET_NODE_UNUSED) : std::string();
}

void AddGeneralRows(const FillContext& ctx, Page& page, const TVexa_Network& net) {
  const auto& ip = net.TCPIP();
  AddItem(ctx, page, kGeneral, lbl::S_NET_HOST, ip.HostName, "", false, {ip.HostSource, true});
  AddItem(ctx, page, kGeneral, lbl::S_NET_DOMAIN, ip.DomainName, "", false,
          {ip.DomainSource, true});
  AddItem(ctx, page, kGeneral, lbl::S_NET_DNS, ip.PrimaryDNSSuffix, "", false,
          {ip.DnsSource, true});
  AddItem(ctx, page, kGeneral, lbl::S_NET_DHCP, ip.DHCPScopeName, "", false, {});
  // A shown row keeps only an answered source: the reason NetBIOS is not used goes in as one.
  AddItem(ctx, page, kGeneral, lbl::S_NET_NODE_TYPE,
          NodeTypeText(ip.NodeType, net.WinSock().KernelSockets), "", false,
          {ip.NodeTypeSource.ok() ? ip.NodeTypeSource
                                  : Provenance::Answered(ip.NodeTypeSource.Explain())});
  AddItem(ctx, page, kGeneral, lbl::S_NET_DNS_SERVERS, Joined(ip.DNSServers),
          ip.DNSServers.size() > ip.UsedDnsServers && ip.UsedDnsServers > 0
              ? std::string_view(lbl::S_NET_DNS_UNUSED)
              : std::string_view(),
          false, {ip.DnsSource, AnyNonLoopback(ip.DNSServers)});
  AddItem(ctx, page, kGeneral, lbl::S_NET_DNS_SEARCH, Joined(ip.DNSSuffixes), "", false,
          {ip.DnsSource, true});
  std::vector<std::string> gateways;
  for (const TAdapter& a : ip.Adapters())
    for (const auto& g : a.Gateway_IPAddress) gateways.push_back(g);
  AddItem(ctx, page, kGeneral, lbl::S_NET_GATEWAY, Joined(gateways), "", false,
          {ip.AdapterSource, AnyNonLoopback(gateways)});
  // The proxy is the operating system collector's: the desktop's settings and the
  // environment's *_proxy variables.
  const auto& internet = ctx.info.OS().Internet();
  const bool proxy = ip.EnableProxy || !internet.ProxyServer.empty();
  AddFlag(ctx, page, lbl::S_PROXY, proxy, internet.proxySource);
  AddFlag(ctx, page, lbl::S_DNS, ip.EnableDNS, ip.DnsSource);
  AddFlag(ctx, page, lbl::S_ROUTING, ip.EnableRouting, ip.RoutingSource);
}

void AddSocketLayerRows(const FillContext& ctx, Page& page, const TVexa_Network& net) {
  const auto& ws = net.WinSock();
  const RowMeta meta{ws.Source};
  if (ws.KernelSockets) {
    AddItem(ctx, page, kWinsock, lbl::S_NET_DESC, lbl::S_NET_LNX_SOCKETS_DESC, "", false, meta);
    AddItem(ctx, page, kWinsock, lbl::S_NET_VERSION,
            std::to_string(ws.MajorVersion) + "." + std::to_string(ws.MinorVersion), "", false,
            meta);
    AddItem(ctx, page, kWinsock, lbl::S_NET_STATUS,
            FormatText(lbl::S_NET_LNX_SOCKETS_STATUS, {std::to_string(ws.Protocols.size())}), "",
            false, meta);
    return;
  }
  AddItem(ctx, page, kWinsock, lbl::S_NET_DESC, ws.Description, "", false, meta);
  if (ws.MajorVersion != 0 || ws.MinorVersion != 0)
    AddItem(ctx, page, kWinsock, lbl::S_NET_VERSION,
            std::to_string(ws.MajorVersion) + "." + std::to_string(ws.MinorVersion), "", false,
            meta);
  AddItem(ctx, page, kWinsock, lbl::S_NET_STATUS, ws.Status, "", false, meta);
  NoteEmptySection(page, kWinsock, lbl::S_NET_EMPTY_WINSOCK);
}

std::string StateText(const TAdapter& a) {
  if (a.AdminStatus == 2) return lbl::S_NET_STATE_OFF;
  switch (a.OperState.value_or(0)) {
    case 6:
      return lbl::S_NET_STATE_UP;
    case 2:
      return lbl::S_NET_STATE_DOWN;
    case 3:
      return lbl::S_NET_STATE_NO_CARRIER;
    case 5:
      return lbl::S_NET_STATE_DORMANT;
    default:
      return a.OperStatus == 5 ? lbl::S_NET_STATE_UP : lbl::S_NET_STATE_UNKNOWN;
  }
}

std::string TypeText(const TAdapter& a) {
  if (a.Wireless) return lbl::S_NET_TYPE_WIRELESS;
  switch (a.Typ) {
    case 1:
      return lbl::S_NET_TYPE_ETHERNET;
    case 2:
      return lbl::S_NET_TYPE_TOKEN_RING;
    case 3:
      return lbl::S_NET_TYPE_FDDI;
    case 4:
      return lbl::S_NET_TYPE_PPP;
    case 5:
      return lbl::S_NET_TYPE_LOOPBACK;
    case 6:
      return lbl::S_NET_TYPE_SLIP;
    default:
      return lbl::S_NET_TYPE_OTHER;
  }
}

// Why the adapter counts as physical or virtual, for the row's source under --explain.
std::string KindReason(const TAdapter& a) {
  if (!a.BusDevice.empty())
    return FormatText(lbl::S_NET_KIND_BUS,
                      {a.BusSubsystem.empty() ? a.BusDevice : a.BusSubsystem + " " + a.BusDevice});
  if (a.Loopback) return lbl::S_NET_KIND_LOOPBACK;
  if (!a.Kind.empty()) return FormatText(lbl::S_NET_KIND_SOFTWARE, {a.Kind});
  return lbl::S_NET_KIND_NONE;
}

std::string SpeedText(uint64_t bitsPerSecond) {
  const uint64_t mbit = bitsPerSecond / 1000000u;
  if (mbit >= 1000 && mbit % 1000 == 0)
    return FormatText(lbl::S_NET_SPEED_GBIT, {std::to_string(mbit / 1000)});
  return FormatText(lbl::S_NET_SPEED_MBIT, {std::to_string(mbit)});
}

void AddAdapterRows(const FillContext& ctx, Page& page, const TAdapter& a,
                    const Provenance& source) {
  const std::string& name = a.Name;
  std::vector<std::string> addresses;
  bool publicAddress = false;
  for (const auto& addr : a.Addresses) {
    addresses.push_back(collectors::IpWithPrefix(addr.raw, addr.prefixLength));
    publicAddress = publicAddress || !collectors::IsLoopbackAddress(addr.raw);
  }
  if (a.Addresses.empty())  // a replayed record has its address lists only
    for (std::size_t i = 0; i < a.IPAddress.size(); ++i) addresses.push_back(a.IPAddress[i]);
  if (a.Addresses.empty()) publicAddress = AnyNonLoopback(a.IPAddress);
  AddItem(ctx, page, kAdapters, name,
          addresses.empty() ? std::string(lbl::S_NET_NO_ADDRESS) : Joined(addresses), "", false,
          {source, publicAddress, {}, "addresses"});
  auto labelOf = [&](const std::string& format) { return FormatText(format, {name}); };
  AddItem(ctx, page, kAdapters, labelOf(lbl::S_NET_ADAPTER_STATE), StateText(a), "", false,
          {source});
  if (!a.HardwareAddress.empty() ? !collectors::IsZeroAddress(a.HardwareAddress)
                                 : !a.Address.empty())
    AddItem(ctx, page, kAdapters, labelOf(lbl::S_NET_ADAPTER_MAC), a.Address, "", false,
            {source, true});
  const bool physical = collectors::IsPhysicalAdapter(a);
  if (a.Speed) {
    AddItem(ctx, page, kAdapters, labelOf(lbl::S_NET_ADAPTER_SPEED), SpeedText(*a.Speed), "", false,
            {a.SpeedSource, false, Quantity::Of(*a.Speed, QuantityUnit::kBitsPerSecond)});
  } else if (!a.Loopback) {
    AddItem(ctx, page, kAdapters, labelOf(lbl::S_NET_ADAPTER_SPEED),
            physical ? lbl::S_NET_SPEED_UNKNOWN : lbl::S_NET_SPEED_VIRTUAL, "", false,
            {Provenance::Answered(a.SpeedSource.Explain())});
  }
  if (a.MTU != 0)
    AddItem(ctx, page, kAdapters, labelOf(lbl::S_NET_ADAPTER_MTU),
            FormatText(lbl::S_NET_MTU_BYTES, {std::to_string(a.MTU)}), "", true,
            {source, false, Quantity::Of(a.MTU, QuantityUnit::kBytes)});
  const std::string reason = KindReason(a);
  AddItem(
      ctx, page, kAdapters, labelOf(lbl::S_NET_ADAPTER_TYPE),
      FormatText(physical ? lbl::S_NET_PHYSICAL : lbl::S_NET_VIRTUAL, {TypeText(a)}), "", false,
      {Provenance::Answered((a.FactsPath.empty() ? source.source : a.FactsPath) + ": " + reason)});
  AddItem(ctx, page, kAdapters, labelOf(lbl::S_NET_ADAPTER_GATEWAY), Joined(a.Gateway_IPAddress),
          "", false, {source, AnyNonLoopback(a.Gateway_IPAddress)});
  if (a.EnableDHCP) {
    const std::string client = a.DhcpClient;
    const std::string text =
        a.DHCP_IPAddress.empty()
            ? FormatText(lbl::S_NET_DHCP_CLIENT, {client})
            : FormatText(lbl::S_NET_DHCP_SERVER, {a.DHCP_IPAddress.front(), client});
    AddItem(ctx, page, kAdapters, labelOf(lbl::S_NET_ADAPTER_DHCP), text, "", false,
            {source, !a.DHCP_IPAddress.empty()});
  }
}

// One row per item: "Caption #1:", "Caption #2:" ...
void AddListRows(const FillContext& ctx, Page& page, std::string_view caption,
                 const std::vector<std::string>& list, const RowMeta& meta) {
  for (std::size_t i = 0; i < list.size(); ++i)
    AddItem(ctx, page, kDetails, std::string(caption) + " #" + std::to_string(i + 1) + ":", list[i],
            "", false, meta);
}

// The adapter lists, each row's source saying why the adapter is counted where it is.
void AddAdapterListRows(const FillContext& ctx, Page& page, std::string_view caption,
                        const std::vector<std::string>& list, const TVexa_Network& net) {
  const auto& adapters = net.TCPIP().Adapters();
  for (std::size_t i = 0; i < list.size(); ++i) {
    Provenance source = net.AdapterListSource;
    auto it = std::find_if(adapters.begin(), adapters.end(),
                           [&](const TAdapter& a) { return a.Name == list[i]; });
    if (it != adapters.end())
      source = Provenance::Answered((it->FactsPath.empty() ? source.source : it->FactsPath) + ": " +
                                    KindReason(*it));
    AddItem(ctx, page, kDetails, std::string(caption) + " #" + std::to_string(i + 1) + ":", list[i],
            "", false, {source});
  }
}

void AddListeningRows(const FillContext& ctx, Page& page, const TVexa_Network& net) {
  for (const auto& port : net.ListeningPorts) {
    std::string protocol = port.Protocol.substr(0, 3);
    std::transform(protocol.begin(), protocol.end(), protocol.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const bool wildcard = collectors::IsZeroAddress(port.Address);
    const std::string address =
        wildcard ? std::string(lbl::S_NET_LISTEN_ANY) : collectors::IpText(port.Address);
    const std::string value =
        port.Pid != 0
            ? FormatText(lbl::S_NET_LISTEN_OWNER, {address, port.Command, std::to_string(port.Pid)})
            : FormatText(lbl::S_NET_LISTEN_NO_OWNER, {address});
    const bool sensitive = !wildcard && !collectors::IsLoopbackAddress(port.Address);
    AddItem(ctx, page, kListening,
            FormatText(lbl::S_NET_LISTEN_PORT, {protocol, std::to_string(port.Port)}), value, "",
            false, {port.Pid != 0 ? net.OwnerSource : net.ListeningSource, sensitive});
  }
  if (net.ListeningSource.ok())
    NoteEmptySection(page, kListening, lbl::S_NET_EMPTY_LISTEN);
  else if (net.ListeningSource.status == platform::Status::NotSupported)
    NoteEmptySection(page, kListening, lbl::S_NET_EMPTY_SOURCE);
}

}  // namespace

void FillNetworkPage(const FillContext& ctx, Page& page) {
  // On Linux the Winsock section is the kernel's socket layer.
  if (const PageLayout* layout = FindPageLayout("networkinfo"))
    for (std::size_t i = 0; i < layout->sections.size() && i < page.Sections().size(); ++i)
      page.Sections()[i].Caption =
          std::string(text::WordedSectionCaption("networkinfo", layout->sections[i].caption));
  const auto found = ctx.info.Find<TVexa_Network>();
  if (!found) return;
  const TVexa_Network& net = *found;
  const auto& ip = net.TCPIP();

  AddGeneralRows(ctx, page, net);
  AddSocketLayerRows(ctx, page, net);

  // Without the routing socket the adapters are read another way: the page says so first.
  if (ip.NetlinkFailure)
    AddItem(ctx, page, kAdapters, lbl::S_NET_READ_FROM,
            FormatText(lbl::S_NET_FALLBACK, {ip.NetlinkFailure->Explain()}), "", false,
            {ip.AdapterSource});
  for (const TAdapter& a : ip.Adapters()) AddAdapterRows(ctx, page, a, ip.AdapterSource);
  if (ip.AdapterSource.status == platform::Status::NotSupported)
    NoteEmptySection(page, kAdapters, lbl::S_NET_EMPTY_ADAPTERS);

  AddListRows(ctx, page, lbl::S_NET_IPS, net.IPAddresses, {ip.AdapterSource, true});
  AddListRows(ctx, page, lbl::S_NET_MACS, net.MACAddresses, {ip.AdapterSource, true});
  AddAdapterListRows(ctx, page, lbl::S_NET_ADDS, net.PhysicalAdapters, net);
  AddAdapterListRows(ctx, page, lbl::S_NET_VADDS, net.VirtualAdapters, net);
  AddListRows(ctx, page, lbl::S_NET_PROTS, net.Protocols, {net.WinSock().Source});
  AddListRows(ctx, page, lbl::S_NET_SERVS, net.Services, {net.Resources().NfsSource});
  AddListRows(ctx, page, lbl::S_NET_CLIENTS, net.Clients, {net.Resources().MountSource, true});

  AddListeningRows(ctx, page, net);
}

}  // namespace tavrin::pages
