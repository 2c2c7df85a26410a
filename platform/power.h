// Power: the power supplies the kernel knows (mains, batteries, UPS), the desktop power
// daemon's time estimates, and each processor's frequency and idle states.
#pragma once

#include <cstddef>
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

/// What CallNtPowerInformation answered.
struct NtPowerReply {
  uint32_t status = 0;  ///< NTSTATUS: 0 success, 0xC0000023 the buffer is too small
  std::string output;   ///< the bytes written
};

/// The status CallNtPowerInformation returns for an output buffer that is too small.
inline constexpr uint32_t kStatusBufferTooSmall = 0xC0000023;

class PowerService {
 public:
  virtual ~PowerService() = default;
  virtual Answer<std::vector<PowerSupplyRecord>> Supplies() const = 0;
  virtual Answer<std::vector<ProcessorPowerRecord>> Processors() const = 0;
  virtual Answer<PowerEstimates> Estimates() const = 0;

  // Windows power calls; not supported elsewhere.
  /// CallNtPowerInformation of `level` into an output buffer of `outputSize` bytes: the
  /// NTSTATUS it returned and the bytes it wrote.
  virtual Answer<NtPowerReply> PowerInformation(uint32_t level, std::size_t outputSize) const = 0;
  /// GetSystemPowerStatus: the bytes of the SYSTEM_POWER_STATUS it filled.
  virtual Answer<std::string> SystemPowerStatus() const = 0;
};

}  // namespace tavrin::platform
