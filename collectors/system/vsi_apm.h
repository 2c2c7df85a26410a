// Collector of power supply and batteries.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_APM : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_APM(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_APM", "APM", std::move(services)) {}
};

}  // namespace tavrin::collectors
