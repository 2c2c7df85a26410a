// A Windows battery's driver answers: the control inputs as the battery class driver expects
// them and decoders of its replies (little-endian structures of the battery interface).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin::platform {
class DeviceControlService;
}

namespace tavrin::collectors {

struct TBatteryRecord;

// Battery control codes.
inline constexpr uint32_t kIoctlBatteryQueryTag = 0x294040;
inline constexpr uint32_t kIoctlBatteryQueryInformation = 0x294044;
inline constexpr uint32_t kIoctlBatteryQueryStatus = 0x29404C;

// Information levels of the information query.
enum BatteryInformationLevel : uint32_t {
  kBatteryInformation = 0,
  kBatteryTemperature = 2,
  kBatteryEstimatedTime = 3,
  kBatteryDeviceName = 4,
  kBatteryManufactureName = 6,
  kBatteryUniqueId = 7,
  kBatterySerialNumber = 8,
};

/// The status query's input (20 bytes): the tag, no wait, any power state and capacity.
std::string BatteryWaitStatusInput(uint32_t tag);
/// The information query's input (12 bytes): tag, level, and rate 0 (the present rate).
std::string BatteryQueryInformationInput(uint32_t tag, uint32_t level);

/// Fills PowerState, CurrentCapacity, Voltage and Rate from a status reply (16 bytes); the
/// driver's "unknown" values leave theirs empty. False when the reply is too short.
bool DecodeBatteryStatus(std::string_view bytes, TBatteryRecord& b);
/// Fills Chemistry, DesignedCapacity, Capacity (full charge) and CycleCount from a
/// level-0 reply (36 bytes). False when the reply is too short.
bool DecodeBatteryInformation(std::string_view bytes, TBatteryRecord& b);
/// A text level's reply: UTF-16 up to its terminator, as UTF-8.
std::string BatteryText(std::string_view bytes);

/// Asks the battery at `b.SymbolicLink` everything its driver tells: the tag, the status and
/// the information levels. A battery that does not open or answers no tag keeps what it had.
void QueryBattery(const platform::DeviceControlService& controls, TBatteryRecord& b);

}  // namespace tavrin::collectors
