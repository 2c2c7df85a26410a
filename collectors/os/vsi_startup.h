// Collector of programs started with the session.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Startup : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Startup(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Startup", "Startup", std::move(services)) {}
};

}  // namespace tavrin::collectors
