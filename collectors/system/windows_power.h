// The power state of a Windows machine: the system power status, the processors' power
// information and the batteries of the device list.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "collectors/system/vsi_apm.h"

namespace tavrin::collectors {

/// The level of CallNtPowerInformation that describes each processor.
inline constexpr uint32_t kProcessorInformationLevel = 11;
/// The size of one processor's entry (six 32-bit values).
inline constexpr std::size_t kProcessorPowerEntrySize = 24;

/// One record per whole 24-byte entry: number, maximum and current clock, clock limit, and
/// the deepest and the current idle state.
std::vector<TProcessorPowerRecord> DecodeProcessorPower(std::string_view bytes);

/// The system power status (12 bytes: AC line, battery flag, charge percent, a reserved byte,
/// then the remaining and full-charge lifetimes in seconds).
struct SystemPowerStatus {
  TPowerStatus ACPowerStatus = psUnknown;
  TBatteryState BatteryChargeStatus = 0;
  uint8_t BatteryLifePercent = 255;
  int64_t BatteryLifeTime = -1, BatteryLifeFullTime = -1;
};
std::optional<SystemPowerStatus> DecodeSystemPowerStatus(std::string_view bytes);

/// The flag set of a battery flag byte: 0 says discharging, each of the bits 1, 2, 4, 8 and
/// 128 its own flag, and 255 "unknown" as well.
TBatteryState BatteryFlagState(uint8_t flag);

}  // namespace tavrin::collectors
