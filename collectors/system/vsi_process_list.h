// Collector of processes, services and drivers.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_ProcessList : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_ProcessList(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_ProcessList", "ProcessList", std::move(services)) {}
};

}  // namespace tavrin::collectors
