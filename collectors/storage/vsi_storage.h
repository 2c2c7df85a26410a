// Collector of physical storage devices with identification and S.M.A.R.T..
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Storage : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Storage(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Storage", "Storage", std::move(services)) {}
};

}  // namespace tavrin::collectors
