// Collector of physical, swap and virtual memory status.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Memory : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Memory(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Memory", "Memory", std::move(services)) {}
};

}  // namespace tavrin::collectors
