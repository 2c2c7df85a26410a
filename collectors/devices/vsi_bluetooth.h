// Collector of Bluetooth radios and devices.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_BT : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_BT(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_BT", "Bluetooth", std::move(services)) {}
};

}  // namespace tavrin::collectors
