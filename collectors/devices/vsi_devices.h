// Collector of the device list with classes, drivers and resources.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Devices : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Devices(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Devices", "Devices", std::move(services)) {}
};

}  // namespace tavrin::collectors
