// Collector of processes, services and drivers.
#pragma once

#include <cstdint>
#include <vector>

#include "collectors/collector.h"
#include "platform/processes.h"

namespace tavrin::collectors {

using TProcessRecord = platform::ProcessRecord;
using TDriverRecord = platform::DriverRecord;
using TServiceRecord = platform::ServiceRecord;
using TWindowRecord = platform::WindowRecord;

/// What a refresh lists, as bits of `DetectionRange`.
enum TDetectionRange : uint8_t {
  dtProcesses = 1 << 0,
  dtServices = 1 << 1,
  dtDrivers = 1 << 2,
  dtHandles = 1 << 3,
  dtWindows = 1 << 4,
};

class TVexa_ProcessList : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_ProcessList(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_ProcessList", "ProcessList", std::move(services)) {}

  void RefreshData() override;

  uint8_t DetectionRange = dtProcesses | dtServices | dtDrivers;

  int32_t ProcessCount() const { return static_cast<int32_t>(processes_.size()); }
  /// Sum of the thread counts of all processes.
  int32_t ThreadCount() const;
  /// Sum of the open handles of all processes whose handles could be counted.
  int32_t ProcessHandleCount() const;
  /// Length of the system-wide handle list, which is never filled.
  int32_t HandleCount() const { return 0; }
  int32_t DriverCount() const { return static_cast<int32_t>(drivers_.size()); }
  int32_t ServiceCount() const { return static_cast<int32_t>(services_.size()); }
  int32_t WindowCount() const { return static_cast<int32_t>(windows_.size()); }
  /// Services in any state but stopped or unreadable.
  int32_t RunningServiceCount() const;
  /// Services that start with the system.
  int32_t AutomaticServiceCount() const;

  /// Copies of the record at `index`; an empty record when it is out of range.
  TProcessRecord Process(int index) const;
  TDriverRecord Driver(int index) const;
  TServiceRecord Service(int index) const;

  const std::vector<TProcessRecord>& Processes() const { return processes_; }
  const std::vector<TDriverRecord>& Drivers() const { return drivers_; }
  const std::vector<TServiceRecord>& Services() const { return services_; }

  platform::Provenance ProcessSource, DriverSource, ServiceSource, WindowSource;

 private:
  std::vector<TProcessRecord> processes_;
  std::vector<TDriverRecord> drivers_;
  std::vector<TServiceRecord> services_;
  std::vector<TWindowRecord> windows_;
};

/// The name a process record is listed under: its own, else the names the system gives the
/// processes that have none (identifier 0 the idle process, other small identifiers the system).
std::string ProcessDisplayName(uint32_t pid, const std::string& name);

}  // namespace tavrin::collectors
