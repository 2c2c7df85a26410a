#include "collectors/network/vsi_network.h"

#include <algorithm>

#include "collectors/devices/vsi_devices.h"
#include "collectors/network/adapter_build.h"
#include "collectors/network/address_text.h"
#include "collectors/network/netlink_parse.h"
#include "collectors/network/proc_net_parse.h"
#include "collectors/network/windows_network_registry.h"
#include "platform/network.h"

namespace tavrin::collectors {
namespace {

// Device class of network adapters in the device list's class table.
constexpr uint8_t kNetDeviceClass = 21;

void AddUnique(std::vector<std::string>& list, const std::string& item) {
  if (item.empty() || std::find(list.begin(), list.end(), item) != list.end()) return;
  list.push_back(item);
}

}  // namespace

TVexa_Network::TVexa_Network(std::shared_ptr<const platform::Services> services)
    : TVexa_VSIC_Component("TVexa_Network", "Network", services),
      tcpip_(std::make_shared<TVexa_TCPIP>(services)),
      winsock_(std::make_shared<TVexa_Winsock>(services)),
      resources_(std::make_shared<TVexa_NetResources>(services)) {}

void TVexa_Network::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  for (auto* list : {&IPAddresses, &MACAddresses, &PhysicalAdapters, &VirtualAdapters, &Protocols,
                     &Services, &Clients})
    list->clear();
  ListeningPorts.clear();

  const bool linuxSource = Platform().network != nullptr;
  if (!linuxSource) {
    // A replayed Windows machine: the device list's network adapters, split by whether the
    // device decodes resources at a location.
    TVexa_Devices devices(SharedPlatform());
    devices.RefreshData();
    for (const TDevice& d : devices.List()) {
      if (d.DeviceClass != kNetDeviceClass) continue;
      auto& list =
          !d.ResourceListKey.empty() && !d.Location.empty() ? PhysicalAdapters : VirtualAdapters;
      list.push_back(d.Name);
    }
    AdapterListSource = devices.Source;
  }

  resources_->RefreshData();
  winsock_->RefreshData();
  tcpip_->RefreshData();

  if (!linuxSource) {
    if (const auto& registry = Platform().registry) {
      for (const auto& card : NetworkCardDescriptions(*registry)) AddUnique(PhysicalAdapters, card);
      Protocols = NetComponentDescriptions(*registry, "NetTrans");
      Services = NetComponentDescriptions(*registry, "NetService");
      Clients = NetComponentDescriptions(*registry, "NetClient");
    }
    // The host's addresses and the adapters' NetBIOS status answer only on the live machine.
    ListeningSource = OwnerSource = platform::Provenance::Failure(
        platform::Status::NotSupported, "socket tables", "not in this source");
    return;
  }

  AdapterListSource = tcpip_->AdapterSource;
  for (const TAdapter& a : tcpip_->Adapters()) {
    (IsPhysicalAdapter(a) ? PhysicalAdapters : VirtualAdapters).push_back(a.Name);
    for (const auto& addr : a.Addresses)
      if (!IsLoopbackAddress(addr.raw)) AddUnique(IPAddresses, IpText(addr.raw));
    if (a.HardwareAddress.size() == 6 && !IsZeroAddress(a.HardwareAddress))
      AddUnique(MACAddresses, NetBiosAddressText(a.HardwareAddress));
  }
  Protocols = winsock_->Protocols;
  for (const auto& share : resources_->Shares) Services.push_back(share.Name);
  for (const auto& mount : resources_->Mounts) Clients.push_back(mount.source);
  ListenersRefresh();
}

void TVexa_Network::ListenersRefresh() {
  const auto& net = *Platform().network;
  using platform::KernelNetTable;
  struct Transport {
    platform::NetlinkDump dump;
    const char* name;
    std::pair<KernelNetTable, const char*> tables[2];
  };
  const Transport transports[] = {{platform::NetlinkDump::TcpListeners,
                                   "tcp",
                                   {{KernelNetTable::Tcp, "tcp"}, {KernelNetTable::Tcp6, "tcp6"}}},
                                  {platform::NetlinkDump::UdpSockets,
                                   "udp",
                                   {{KernelNetTable::Udp, "udp"}, {KernelNetTable::Udp6, "udp6"}}}};
  std::vector<SocketEntry> sockets;
  bool any = false;
  auto answered = [&](const platform::Provenance& source, bool ok) {
    if (!any) ListeningSource = source;
    any = any || ok;
  };
  for (const auto& t : transports) {
    // The diagnostics socket names the listeners alone; the text tables list every socket and
    // cost a walk of the whole connection hash, so they are only the fallback (a sandbox, a
    // kernel without the diagnostics module, a snapshot recorded before the dumps were kept).
    auto dump = net.Netlink(t.dump);
    if (dump) {
      auto parsed = ParseSocketDiagMessages(*dump, t.name);
      if (!parsed.error && !parsed.truncated) {
        answered(dump.source, true);
        for (auto& s : parsed.sockets)
          if (IsListening(s)) sockets.push_back(std::move(s));
        continue;
      }
    }
    for (const auto& [table, name] : t.tables) {
      auto text = net.KernelTable(table);
      answered(text.source, text.ok());
      if (!text) continue;
      for (auto& s : ParseSocketTable(*text, name))
        if (IsListening(s)) sockets.push_back(std::move(s));
    }
  }
  std::vector<uint64_t> inodes;
  for (const auto& s : sockets)
    if (s.inode != 0) inodes.push_back(s.inode);
  std::vector<platform::SocketProcess> owners;
  if (!inodes.empty()) {
    auto answer = net.SocketOwners(inodes);
    OwnerSource = answer.source;
    if (answer) owners = std::move(*answer);
  }
  for (const auto& s : sockets) {
    TListeningPort port{s.protocol, s.localAddress, s.localPort, s.uid, 0, {}};
    for (const auto& o : owners)
      if (o.inode == s.inode && s.inode != 0) {
        port.Pid = o.pid;
        port.Command = o.command;
      }
    ListeningPorts.push_back(std::move(port));
  }
  std::stable_sort(ListeningPorts.begin(), ListeningPorts.end(),
                   [](const TListeningPort& a, const TListeningPort& b) {
                     const bool aTcp = a.Protocol.starts_with("tcp"),
                                bTcp = b.Protocol.starts_with("tcp");
                     if (aTcp != bTcp) return aTcp;
                     return a.Port < b.Port;
                   });
}

}  // namespace tavrin::collectors
