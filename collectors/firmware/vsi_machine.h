// Collector of firmware tables, BIOS, board, memory modules and machine facts.
#pragma once

#include "gather/collector.h"

namespace tavrin::collectors {

class TVexa_Machine : public gather::TVexa_VSIC_Component {
 public:
  explicit TVexa_Machine(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Machine", "Machine", std::move(services)) {}
};

}  // namespace tavrin::collectors
