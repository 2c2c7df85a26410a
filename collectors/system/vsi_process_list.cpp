#include "collectors/system/vsi_process_list.h"

#include <algorithm>

namespace tavrin::collectors {
namespace {

template <class T>
std::vector<T> Take(platform::Answer<std::vector<T>> answer, platform::Provenance& source) {
  source = answer.source;
  return answer.value ? std::move(*answer.value) : std::vector<T>{};
}

template <class T>
platform::Answer<std::vector<T>> NoService(const char* what) {
  return platform::Answer<std::vector<T>>::Fail(platform::Status::NotSupported, what,
                                                "not recorded in this snapshot");
}

template <class T>
T At(const std::vector<T>& list, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return T{};
  return list[static_cast<std::size_t>(index)];
}

}  // namespace

std::string ProcessDisplayName(uint32_t pid, const std::string& name) {
  if (!name.empty()) return name;
  if (pid == 0) return "[System Idle Process]";
  if (pid < 10) return "System";
  return name;
}

void TVexa_ProcessList::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  processes_.clear();
  drivers_.clear();
  services_.clear();
  windows_.clear();
  const auto& service = Platform().processes;
  using namespace platform;
  if (DetectionRange & dtWindows)
    windows_ =
        Take(service ? service->Windows() : NoService<WindowRecord>("windows"), WindowSource);
  if (DetectionRange & dtProcesses) {
    processes_ =
        Take(service ? service->Processes() : NoService<ProcessRecord>("processes"), ProcessSource);
    for (auto& p : processes_) p.name = ProcessDisplayName(p.pid, p.name);
  }
  if (DetectionRange & dtDrivers)
    drivers_ =
        Take(service ? service->Drivers() : NoService<DriverRecord>("drivers"), DriverSource);
  if (DetectionRange & dtServices)
    services_ =
        Take(service ? service->Services() : NoService<ServiceRecord>("services"), ServiceSource);
}

int32_t TVexa_ProcessList::ThreadCount() const {
  uint32_t sum = 0;
  for (const auto& p : processes_) sum += static_cast<uint32_t>(std::max(p.threadCount, 0));
  return static_cast<int32_t>(sum);
}

int32_t TVexa_ProcessList::ProcessHandleCount() const {
  uint32_t sum = 0;
  for (const auto& p : processes_)
    sum += static_cast<uint32_t>(std::max(p.handleCount.value_or(0), 0));
  return static_cast<int32_t>(sum);
}

int32_t TVexa_ProcessList::RunningServiceCount() const {
  return static_cast<int32_t>(std::count_if(services_.begin(), services_.end(), [](const auto& s) {
    return static_cast<int32_t>(s.status) >= 2;
  }));
}

int32_t TVexa_ProcessList::AutomaticServiceCount() const {
  return static_cast<int32_t>(std::count_if(services_.begin(), services_.end(), [](const auto& s) {
    return s.startup == platform::ServiceStart::kAutomatic;
  }));
}

TProcessRecord TVexa_ProcessList::Process(int index) const {
  return At(processes_, index);
}
TDriverRecord TVexa_ProcessList::Driver(int index) const {
  return At(drivers_, index);
}
TServiceRecord TVexa_ProcessList::Service(int index) const {
  return At(services_, index);
}

}  // namespace tavrin::collectors
