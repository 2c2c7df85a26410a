#include "collectors/collector.h"

#include "tavrin_version.h"

namespace tavrin::collectors {

TVexa_VSIC_Component::TVexa_VSIC_Component(std::string className, std::string name,
                                           std::shared_ptr<const platform::Services> services)
    : _About("Tavrin System Information collectors " TAVRIN_VERSION),
      _Refresh("Double-click to get data"),
      class_name_(std::move(className)),
      name_(std::move(name)),
      services_(std::move(services)),
      live_data_(platform::IsLiveMachine(*services_)) {}

TVexa_VSIC_Component::~TVexa_VSIC_Component() = default;

void TVexa_VSIC_Component::RefreshData() {
  live_data_ = platform::IsLiveMachine(*services_);
  os_version_ = services_->system->OsVersionRecord().value_or({});
  // Read here, not at construction: building a collector must never wait on the system.
  user_name_ = services_->system->UserName().value_or({});
  user_sid_ = services_->system->UserId().value_or({});
}

}  // namespace tavrin::collectors
