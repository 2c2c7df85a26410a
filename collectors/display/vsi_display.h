// Collector of display adapter and screen capabilities.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Display : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Display(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Display", "Display", std::move(services)) {}
};

}  // namespace tavrin::collectors
