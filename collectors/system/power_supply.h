// The attributes of a power supply as its uevent text lists them ("POWER_SUPPLY_STATUS=
// Discharging"), in the kernel's units: microvolts, microamperes, microwatts, microwatt-hours,
// microampere-hours, seconds, percent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin::collectors {

struct PowerSupplyValues {
  std::string name, type;  ///< "BAT0"; "Battery", "Mains", "USB", "UPS"
  std::string status;      ///< "Charging", "Discharging", "Full", "Not charging", "Unknown"
  std::string technology, manufacturer, modelName, serialNumber, capacityLevel;
  std::optional<bool> present, online;
  std::optional<int64_t> cycleCount, capacityPercent;
  std::optional<int64_t> voltageNow, voltageMinDesign, currentNow, powerNow;
  std::optional<int64_t> energyFullDesign, energyFull, energyNow;
  std::optional<int64_t> chargeFullDesign, chargeFull, chargeNow;
  std::optional<int64_t> timeToEmpty, timeToFull;
};

/// Reads the lines it knows; others, and values that are not numbers where numbers belong,
/// are left out.
PowerSupplyValues ParsePowerSupplyUevent(std::string_view text);

}  // namespace tavrin::collectors
