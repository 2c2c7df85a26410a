// Collector of the processor: identification by CPUID, caches, features, model names.
#pragma once

#include "gather/collector.h"

namespace tavrin::collectors {

class TVexa_CPU : public gather::TVexa_VSIC_Component {
 public:
  explicit TVexa_CPU(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_CPU", "CPU", std::move(services)) {}
};

}  // namespace tavrin::collectors
