// A process service whose answers a test sets: processor idle times that move between samples,
// and fixed process, driver, service and window lists.
#pragma once

#include <vector>

#include "platform/processes.h"

namespace tavrin::testing {

class FakeProcessService : public platform::ProcessService {
 public:
  template <class T>
  using List = platform::Answer<std::vector<T>>;

  List<platform::ProcessRecord> Processes() const override { return Of(processes); }
  List<platform::DriverRecord> Drivers() const override { return Of(drivers); }
  List<platform::ServiceRecord> Services() const override { return Of(services); }
  List<platform::WindowRecord> Windows() const override { return Of(windows); }
  List<platform::ProcessorIdle> IdleTimes() const override { return Of(idle); }

  std::vector<platform::ProcessRecord> processes;
  std::vector<platform::DriverRecord> drivers;
  std::vector<platform::ServiceRecord> services;
  std::vector<platform::WindowRecord> windows;
  /// Changed by the test between ticks; mutable state is the point of the fake.
  std::vector<platform::ProcessorIdle> idle;

 private:
  template <class T>
  static List<T> Of(const std::vector<T>& v) {
    return List<T>::Of(v, "fake");
  }
};

}  // namespace tavrin::testing
