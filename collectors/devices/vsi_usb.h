// Collector of USB controllers, hubs and devices.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_USB : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_USB(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_USB", "USB", std::move(services)) {}
};

}  // namespace tavrin::collectors
