// Collector of the ports the kernel drives outside the device list's records: the parallel
// ports with their addresses, modes and the device attached to each.
#pragma once

#include <vector>

#include "collectors/collector.h"
#include "collectors/devices/parallel_port.h"

namespace tavrin::collectors {

class TVexa_Ports : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Ports(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Ports", "Ports", std::move(services)) {}

  void RefreshData() override;

  std::vector<TParallelPort> ParallelPorts;
  platform::Provenance Source;  ///< where the list came from, or why there is none
};

}  // namespace tavrin::collectors
