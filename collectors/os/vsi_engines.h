// Collector of database and runtime engines, browsers, office suites.
#pragma once

#include "gather/collector.h"

namespace tavrin::collectors {

class TVexa_Engines : public gather::TVexa_VSIC_Component {
 public:
  explicit TVexa_Engines(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Engines", "Engines", std::move(services)) {}
};

}  // namespace tavrin::collectors
