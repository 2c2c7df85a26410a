// Collector of network adapters, TCP/IP, resources.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Network : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Network(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Network", "Network", std::move(services)) {}
};

}  // namespace tavrin::collectors
