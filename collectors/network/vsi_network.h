// Collector of the network area: owns the TCP/IP, socket-layer and resource collectors,
// refreshes them, and adds the lists of physical and virtual adapters, IP and MAC addresses,
// protocols, services and clients, and the sockets listening for connections.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "collectors/collector.h"
#include "collectors/network/vsi_net_resources.h"
#include "collectors/network/vsi_tcpip.h"
#include "collectors/network/vsi_winsock.h"

namespace tavrin::collectors {

/// A socket waiting for connections (TCP) or datagrams (UDP), with its owner when visible.
struct TListeningPort {
  std::string Protocol;  ///< "tcp", "tcp6", "udp", "udp6"
  std::string Address;   ///< local address, raw bytes
  uint16_t Port = 0;
  uint32_t Uid = 0;
  int32_t Pid = 0;  ///< 0 when the owner could not be seen
  std::string Command;
};

class TVexa_Network : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Network(std::shared_ptr<const platform::Services> services);

  void RefreshData() override;

  std::vector<std::string> IPAddresses, MACAddresses, PhysicalAdapters, VirtualAdapters;
  std::vector<std::string> Protocols, Services, Clients;
  std::vector<TListeningPort> ListeningPorts;
  platform::Provenance ListeningSource;  ///< the socket tables, or why they could not be read
  platform::Provenance OwnerSource;      ///< the process scan, or why it could not be made
  platform::Provenance AdapterListSource;

  const TVexa_TCPIP& TCPIP() const { return *tcpip_; }
  const TVexa_Winsock& WinSock() const { return *winsock_; }
  const TVexa_NetResources& Resources() const { return *resources_; }

 private:
  void ListenersRefresh();
  std::shared_ptr<TVexa_TCPIP> tcpip_;
  std::shared_ptr<TVexa_Winsock> winsock_;
  std::shared_ptr<TVexa_NetResources> resources_;
};

}  // namespace tavrin::collectors
