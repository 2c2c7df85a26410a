// Collector of printers.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Printers : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Printers(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Printers", "Printers", std::move(services)) {}
};

}  // namespace tavrin::collectors
