#include "collectors/system_info.h"

namespace tavrin::collectors {
namespace {

template <class T>
TVexa_SystemInfo::Factory Make() {
  return [](std::shared_ptr<const platform::Services> services) {
    return std::make_shared<T>(std::move(services));
  };
}

std::vector<TVexa_SystemInfo::Factory> StandardSlots() {
  return {
      Make<collectors::TVexa_CPU>(),
      Make<collectors::TVexa_Memory>(),
      Make<collectors::TVexa_OperatingSystem>(),
      Make<collectors::TVexa_Disk>(),
      Make<collectors::TVexa_Machine>(),
      Make<collectors::TVexa_Storage>(),
      Make<collectors::TVexa_USB>(),
      Make<collectors::TVexa_Network>(),
      Make<collectors::TVexa_Display>(),
      Make<collectors::TVexa_Monitor>(),
      Make<collectors::TVexa_Media>(),
      Make<collectors::TVexa_Devices>(),
      Make<collectors::TVexa_Engines>(),
      Make<collectors::TVexa_APM>(),
      Make<collectors::TVexa_Printers>(),
      Make<collectors::TVexa_Software>(),
      Make<collectors::TVexa_Startup>(),
      Make<collectors::TVexa_ProcessList>(),
      Make<collectors::TVexa_BT>()};
}

}  // namespace

TVexa_SystemInfo::TVexa_SystemInfo(std::shared_ptr<const platform::Services> services)
    : TVexa_SystemInfo(std::move(services), StandardSlots()) {}

TVexa_SystemInfo::TVexa_SystemInfo(std::shared_ptr<const platform::Services> services,
                                   std::vector<Factory> slots)
    : TVexa_VSIC_Component("TVexa_SystemInfo", "SystemInfo", services),
      factories_(std::move(slots)) {
  slots_.reserve(factories_.size());
  for (const auto& make : factories_) slots_.push_back(make(services));
}

std::shared_ptr<TVexa_VSIC_Component> TVexa_SystemInfo::Component(std::size_t index) const {
  std::lock_guard lock(mutex_);
  return slots_.at(index);
}

base::RunResult TVexa_SystemInfo::RefreshComponent(std::size_t index, std::chrono::milliseconds limit) {
  std::shared_ptr<TVexa_VSIC_Component> collector = Component(index);
  base::RunResult result = base::RunWithTimeLimit([collector] { collector->RefreshData(); }, limit);
  if (result.outcome == base::RunOutcome::TimedOut) {
    auto fresh = factories_[index](SharedPlatform());
    std::lock_guard lock(mutex_);
    slots_[index] = std::move(fresh);
  }
  return result;
}

void TVexa_SystemInfo::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  if (factories_.size() == 19) {
    // USB, Devices, Storage, Engines, CPU, Memory, OperatingSystem, Machine, Software, Network,
    // Display, Monitor, Media, APM, Printers, Startup, Disk, then ProcessList and Bluetooth.
    for (std::size_t index : {6, 11, 5, 12, 0, 1, 2, 4, 15, 7, 8, 9, 10, 13, 14, 16, 3, 17, 18}) RefreshComponent(index, refresh_limit);
  } else {
    for (std::size_t i = 0; i < factories_.size(); ++i) RefreshComponent(i, refresh_limit);
  }
  data_available_ = true;
}

}  // namespace tavrin::collectors
