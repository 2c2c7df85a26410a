// Collector of monitors and their identification blocks.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Monitor : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Monitor(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Monitor", "Monitor", std::move(services)) {}
};

}  // namespace tavrin::collectors
