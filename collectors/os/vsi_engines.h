// Collector of database and runtime engines, browsers, office suites.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Engines : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Engines(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Engines", "Engines", std::move(services)) {}
};

}  // namespace tavrin::collectors
