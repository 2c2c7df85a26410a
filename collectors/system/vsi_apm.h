// Collector of the power state: AC line, batteries (capacities, rate, voltage, wear) and each
// processor's clock and idle states.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collectors/collector.h"
#include "platform/power.h"

namespace tavrin::collectors {

struct PowerSupplyValues;

enum TPowerStatus : uint8_t { psUnknown, psOffline, psOnline };

enum TBatteryStatusFlag : uint8_t {
  bsUnknown,
  bsHigh,
  bsLow,
  bsCritical,
  bsCharging,
  bsNoBattery,
  bsDischarging
};
/// A set of TBatteryStatusFlag: bit n is flag n.
using TBatteryState = uint8_t;
constexpr bool Has(TBatteryState state, TBatteryStatusFlag flag) {
  return state >> flag & 1;
}

// Battery power states, as battery drivers report them in their status.
inline constexpr uint32_t kBatteryPowerOnLine = 0x1, kBatteryDischarging = 0x2,
                          kBatteryCharging = 0x4, kBatteryCritical = 0x8;

struct TBatteryRecord {
  uint32_t Tag = 0;
  std::string DeviceName, Manufacturer;
  std::string Chemistry;  ///< "LION", "PbAc" ... (four characters)
  std::string SerialNumber, UniqueID;
  /// Energies in mWh, rate in mW (negative while discharging), voltage in mV.
  std::optional<uint32_t> DesignedCapacity, Capacity, CurrentCapacity;
  std::optional<int32_t> Rate;
  std::optional<uint32_t> Voltage;
  uint32_t PowerState = 0;
  std::optional<int64_t> EstimatedTime;  ///< seconds
  std::string SymbolicLink, Description;

  // What the Linux source adds.
  std::string Technology;  ///< as the driver names it: "Li-ion"
  std::string Status;      ///< "Charging", "Discharging", "Full", "Not charging"
  std::optional<int64_t> CycleCount;
  std::optional<int> Percent;
  /// Capacities in mAh when the driver gives charge and no voltage to turn it into energy.
  bool CapacityInMilliampHours = false;
  /// Lost capacity: 100 - full / design in percent.
  std::optional<double> WearLevel() const;

  // What a Windows source adds.
  std::optional<uint32_t> Temperature;  ///< tenths of a kelvin, as the driver reports it
  /// Whether the battery's interface opened and answered its tag, or why not.
  platform::Provenance ControlSource;
};

struct TProcessorPowerRecord {
  uint32_t Number = 0, MaxMHz = 0, CurrentMHz = 0, MHzLimit = 0;
  uint32_t MaxIdleState = 0, CurrentIdleState = 0;
  std::string Governor, Driver;
  std::vector<platform::IdleStateRecord> IdleStates;
};

class TVexa_APM : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_APM(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_APM", "APM", std::move(services)) {}

  void RefreshData() override;

  TPowerStatus ACPowerStatus = psUnknown;
  TBatteryState BatteryChargeStatus = 0;
  uint8_t BatteryLifePercent = 255;                        ///< 255: unknown
  int64_t BatteryLifeTime = -1, BatteryLifeFullTime = -1;  ///< seconds; -1 unknown
  std::vector<TBatteryRecord> BatteryList;
  std::vector<TProcessorPowerRecord> ProcessorList;
  int32_t BatteryCount() const { return static_cast<int32_t>(BatteryList.size()); }
  int32_t ProcessorCount() const { return static_cast<int32_t>(ProcessorList.size()); }

  /// The supplies that are not batteries (mains, USB power), with whether they deliver.
  struct Supply {
    std::string Name, Type;
    std::optional<bool> Online;
  };
  std::vector<Supply> Supplies;

  platform::Provenance Source, ProcessorSource, EstimatesSource;

  // What a Windows source adds.
  bool FromWindows = false;           ///< the state comes from the Windows power calls
  platform::Provenance StatusSource;  ///< the system power status

 private:
  void RefreshWindows();
};

/// The battery record of one battery's uevent values.
TBatteryRecord BatteryFromValues(const PowerSupplyValues& values);

}  // namespace tavrin::collectors
