// Collector of the socket layer: on Windows the Windows Sockets implementation (version,
// description, status); on Linux the kernel's socket layer and the protocol families it offers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Winsock : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Winsock(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Winsock", "WinSock", std::move(services)) {}

  void RefreshData() override;

  uint8_t MajorVersion = 0, MinorVersion = 0;
  std::string Description, Status;
  /// The protocol families the kernel's socket layer offers ("TCP", "UDPv6", "PACKET" ...).
  std::vector<std::string> Protocols;
  /// True when the Linux socket layer answered; the page then words the rows for it.
  bool KernelSockets = false;
  platform::Provenance Source;
};

}  // namespace tavrin::collectors
