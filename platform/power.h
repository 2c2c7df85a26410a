// Power: the power supplies the kernel knows (mains, batteries, UPS), the desktop power
// daemon's time estimates, and each processor's frequency and idle states.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

/// One power supply: its name and its uevent text ("POWER_SUPPLY_TYPE=Battery" lines),
/// which holds every attribute the driver reports.
struct PowerSupplyRecord {
  std::string name;  ///< "AC", "BAT0"
  Answer<std::string> uevent;
};

/// A processor idle state as cpuidle reports it.
struct IdleStateRecord {
  std::string name, description;
  uint64_t latencyUs = 0;  ///< exit latency
  uint64_t usage = 0;      ///< times entered
  uint64_t timeUs = 0;     ///< time spent in it
  bool disabled = false;
};

struct ProcessorPowerRecord {
  int number = 0;
  std::optional<uint64_t> currentKHz, maxKHz, limitKHz;  ///< scaling_cur, cpuinfo_max, scaling_max
  std::string governor, driver;                          ///< cpufreq governor and driver
  std::vector<IdleStateRecord> idleStates;
  Provenance frequencySource, idleSource;
};

/// The desktop power daemon's view of the whole system (UPower's display device).
struct PowerEstimates {
  std::optional<int64_t> timeToEmpty, timeToFull;  ///< seconds
  std::optional<double> percentage;
  bool onBattery = false;
};

class PowerService {
 public:
  virtual ~PowerService() = default;
  virtual Answer<std::vector<PowerSupplyRecord>> Supplies() const = 0;
  virtual Answer<std::vector<ProcessorPowerRecord>> Processors() const = 0;
  virtual Answer<PowerEstimates> Estimates() const = 0;
};

}  // namespace tavrin::platform
