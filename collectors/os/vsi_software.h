// Collector of installed software.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Software : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Software(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Software", "Software", std::move(services)) {}
};

}  // namespace tavrin::collectors
