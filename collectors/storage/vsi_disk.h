// Collector of logical drives and their file systems.
#pragma once

#include "gather/collector.h"

namespace tavrin::collectors {

class TVexa_Disk : public gather::TVexa_VSIC_Component {
 public:
  explicit TVexa_Disk(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Disk", "Disk", std::move(services)) {}
};

}  // namespace tavrin::collectors
