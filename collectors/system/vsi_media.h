// Collector of audio devices.
#pragma once

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_Media : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Media(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Media", "Media", std::move(services)) {}
};

}  // namespace tavrin::collectors
