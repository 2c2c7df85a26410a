// Collector of installed software.
#pragma once

#include "gather/collector.h"

namespace tavrin::collectors {

class TVexa_Software : public gather::TVexa_VSIC_Component {
 public:
  explicit TVexa_Software(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Software", "Software", std::move(services)) {}
};

}  // namespace tavrin::collectors
