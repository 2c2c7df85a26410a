#include "collectors/devices/vsi_ports.h"

namespace tavrin::collectors {

void TVexa_Ports::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  ParallelPorts.clear();
  const auto& service = Platform().ports;
  if (!service) {
    Source = platform::Provenance::Failure(platform::Status::NotSupported, "ports",
                                           "the source holds no port list");
    return;
  }
  auto ports = service->ParallelPorts();
  Source = ports.source;
  if (!ports) return;
  for (const auto& record : *ports) ParallelPorts.push_back(DecodeParallelPort(record));
}

}  // namespace tavrin::collectors
