// Collector of logical drives and their file systems.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Disk : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Disk(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Disk", "Disk", std::move(services)) {}
};

}  // namespace tavrin::collectors
