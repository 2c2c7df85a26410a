// Collector of operating system version, registration, folders, locale, time zone.
#pragma once

#include "gather/collector.h"

namespace tavrin::collectors {

class TVexa_OperatingSystem : public gather::TVexa_VSIC_Component {
 public:
  explicit TVexa_OperatingSystem(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_OperatingSystem", "OperatingSystem", std::move(services)) {}
};

}  // namespace tavrin::collectors
