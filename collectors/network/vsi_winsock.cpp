#include "collectors/network/vsi_winsock.h"

#include "collectors/network/proc_net_parse.h"
#include "platform/network.h"

namespace tavrin::collectors {

void TVexa_Winsock::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  MajorVersion = MinorVersion = 0;
  Description.clear();
  Status.clear();
  Protocols.clear();
  KernelSockets = false;
  const auto& net = Platform().network;
  if (!net) {
    // Windows Sockets answer only on the machine they run on; a replayed snapshot has none.
    Source = platform::Provenance::Failure(platform::Status::NotSupported, "socket layer",
                                           "this source has no socket layer to ask");
    return;
  }
  auto protocols = net->KernelTable(platform::KernelNetTable::Protocols);
  Source = protocols.source;
  if (!protocols) return;
  Protocols = ParseProtocolList(*protocols);
  KernelSockets = true;
  // The socket layer is the kernel's own: its version is the kernel's.
  const auto& os = OsVersionSnapshot();
  MajorVersion = static_cast<uint8_t>(os.major);
  MinorVersion = static_cast<uint8_t>(os.minor);
}

}  // namespace tavrin::collectors
