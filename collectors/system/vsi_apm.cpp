#include "collectors/system/vsi_apm.h"

#include <algorithm>

#include "collectors/system/power_supply.h"
#include "collectors/system/windows_power.h"

namespace tavrin::collectors {
namespace {

std::optional<uint32_t> Milli(std::optional<int64_t> micro) {
  if (!micro || *micro < 0) return std::nullopt;
  return static_cast<uint32_t>(*micro / 1000);
}

// A charge in µAh as energy in mWh, at the battery's design voltage in µV.
std::optional<uint32_t> ChargeAsEnergy(std::optional<int64_t> charge, int64_t microvolts) {
  if (!charge || *charge < 0) return std::nullopt;
  return static_cast<uint32_t>(static_cast<double>(*charge) * static_cast<double>(microvolts) /
                               1e9);
}

// Windows battery chemistry codes, from the technology the kernel names.
std::string ChemistryCode(std::string_view technology) {
  if (technology == "Li-ion") return "LION";
  if (technology == "Li-poly") return "LiP ";
  if (technology == "NiMH") return "NiMH";
  if (technology == "NiCd") return "NiCd";
  if (technology == "LiFe") return "LiFe";
  if (technology == "LiMn") return "LiMn";
  return {};
}

}  // namespace

std::optional<double> TBatteryRecord::WearLevel() const {
  if (!DesignedCapacity || !Capacity || *DesignedCapacity == 0) return std::nullopt;
  return 100.0 - 100.0 * static_cast<double>(*Capacity) / static_cast<double>(*DesignedCapacity);
}

TBatteryRecord BatteryFromValues(const PowerSupplyValues& v) {
  TBatteryRecord b;
  b.DeviceName = v.modelName;
  b.Manufacturer = v.manufacturer;
  b.SerialNumber = v.serialNumber;
  b.Technology = v.technology;
  b.Chemistry = ChemistryCode(v.technology);
  b.Status = v.status;
  b.CycleCount = v.cycleCount;
  b.SymbolicLink = v.name;
  if (v.capacityPercent) b.Percent = static_cast<int>(*v.capacityPercent);
  b.Voltage = Milli(v.voltageNow);
  if (v.energyFullDesign || v.energyFull || v.energyNow) {
    b.DesignedCapacity = Milli(v.energyFullDesign);
    b.Capacity = Milli(v.energyFull);
    b.CurrentCapacity = Milli(v.energyNow);
  } else if (v.voltageMinDesign && *v.voltageMinDesign > 0) {
    b.DesignedCapacity = ChargeAsEnergy(v.chargeFullDesign, *v.voltageMinDesign);
    b.Capacity = ChargeAsEnergy(v.chargeFull, *v.voltageMinDesign);
    b.CurrentCapacity = ChargeAsEnergy(v.chargeNow, *v.voltageMinDesign);
  } else {
    b.DesignedCapacity = Milli(v.chargeFullDesign);
    b.Capacity = Milli(v.chargeFull);
    b.CurrentCapacity = Milli(v.chargeNow);
    b.CapacityInMilliampHours = b.DesignedCapacity || b.Capacity || b.CurrentCapacity;
  }
  // The rate: the power drawn, or current times voltage. Drivers disagree on the sign, so it
  // follows the status: negative while discharging.
  std::optional<double> rate_mw;
  if (v.powerNow) {
    rate_mw = static_cast<double>(*v.powerNow) / 1000.0;
  } else if (v.currentNow && v.voltageNow) {
    rate_mw = static_cast<double>(*v.currentNow) * static_cast<double>(*v.voltageNow) / 1e9;
  }
  if (rate_mw) {
    const double magnitude = *rate_mw < 0 ? -*rate_mw : *rate_mw;
    b.Rate = static_cast<int32_t>(v.status == "Discharging" ? -magnitude : magnitude);
  }
  if (v.status == "Discharging") b.PowerState |= kBatteryDischarging;
  if (v.status == "Charging") b.PowerState |= kBatteryCharging | kBatteryPowerOnLine;
  if (v.status == "Full" || v.status == "Not charging") b.PowerState |= kBatteryPowerOnLine;
  if (v.capacityLevel == "Critical") b.PowerState |= kBatteryCritical;
  if (v.timeToEmpty) {
    b.EstimatedTime = v.timeToEmpty;
  } else if (v.status == "Discharging" && b.CurrentCapacity && b.Rate && *b.Rate < 0 &&
             !b.CapacityInMilliampHours) {
    b.EstimatedTime = static_cast<int64_t>(*b.CurrentCapacity) * 3600 / -*b.Rate;
  }
  return b;
}

void TVexa_APM::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  ACPowerStatus = psUnknown;
  BatteryChargeStatus = 0;
  BatteryLifePercent = 255;
  BatteryLifeTime = BatteryLifeFullTime = -1;
  BatteryList.clear();
  ProcessorList.clear();
  Supplies.clear();
  FromWindows = false;
  StatusSource = {};
  const auto& service = Platform().power;
  // A Windows machine answers its power calls or its batteries' device controls; elsewhere
  // those are not supported.
  const bool windows =
      Platform().deviceControl ||
      (service && (service->SystemPowerStatus().source.status != platform::Status::NotSupported ||
                   service->PowerInformation(kProcessorInformationLevel, 0).source.status !=
                       platform::Status::NotSupported));
  if (windows) {
    RefreshWindows();
    return;
  }
  if (!service) {
    Source = ProcessorSource = EstimatesSource = platform::Provenance::Failure(
        platform::Status::NotSupported, "power", "the source holds no power information");
    return;
  }
  auto supplies = service->Supplies();
  Source = supplies.source;
  bool anyMains = false, mainsOnline = false;
  int64_t timeToFull = -1;
  for (const auto& s : supplies.value_or({})) {
    if (!s.uevent) continue;
    const PowerSupplyValues v = ParsePowerSupplyUevent(*s.uevent);
    if (v.type == "Battery") {
      if (v.present && !*v.present) continue;
      TBatteryRecord b = BatteryFromValues(v);
      if (b.SymbolicLink.empty()) b.SymbolicLink = s.name;
      b.Tag = static_cast<uint32_t>(BatteryList.size() + 1);
      b.Description = s.name;
      if (v.timeToFull) timeToFull = *v.timeToFull;
      BatteryList.push_back(std::move(b));
    } else {
      Supplies.push_back({v.name.empty() ? s.name : v.name, v.type, v.online});
      if (v.type == "Mains" || v.type == "USB" || v.type == "UPS") {
        anyMains = true;
        mainsOnline = mainsOnline || v.online.value_or(false);
      }
    }
  }

  // The system status: AC from the mains supplies, charge from the batteries together.
  bool charging = false, discharging = false;
  uint64_t now = 0, full = 0;
  for (const auto& b : BatteryList) {
    charging = charging || b.Status == "Charging";
    discharging = discharging || b.Status == "Discharging";
    if (b.CurrentCapacity && b.Capacity) {
      now += *b.CurrentCapacity;
      full += *b.Capacity;
    }
  }
  if (anyMains) {
    ACPowerStatus = mainsOnline ? psOnline : psOffline;
  } else if (discharging) {
    ACPowerStatus = psOffline;
  } else if (charging) {
    ACPowerStatus = psOnline;
  }
  if (BatteryList.empty()) {
    BatteryChargeStatus = 1 << bsNoBattery;
  } else {
    if (full > 0) {
      BatteryLifePercent = static_cast<uint8_t>(std::min<uint64_t>(100, now * 100 / full));
    } else if (BatteryList.front().Percent) {
      BatteryLifePercent = static_cast<uint8_t>(*BatteryList.front().Percent);
    }
    if (BatteryLifePercent != 255) {
      if (BatteryLifePercent > 66) BatteryChargeStatus |= 1 << bsHigh;
      if (BatteryLifePercent < 33) BatteryChargeStatus |= 1 << bsLow;
      if (BatteryLifePercent < 5) BatteryChargeStatus |= 1 << bsCritical;
    } else {
      BatteryChargeStatus |= 1 << bsUnknown;
    }
    if (charging) BatteryChargeStatus |= 1 << bsCharging;
    if (discharging) BatteryChargeStatus |= 1 << bsDischarging;
    if (discharging) {
      int64_t total = 0;
      bool known = true;
      for (const auto& b : BatteryList)
        if (b.Status == "Discharging") {
          known = known && b.EstimatedTime.has_value();
          total += b.EstimatedTime.value_or(0);
        }
      if (known) BatteryLifeTime = total;
    }
    BatteryLifeFullTime = timeToFull;
  }

  // The desktop power daemon's estimates are better than the drivers': it averages the rate.
  // Asked only with a battery: without one there is nothing to estimate.
  if (!BatteryList.empty()) {
    auto estimates = service->Estimates();
    EstimatesSource = estimates.source;
    if (!estimates) estimates.value = platform::PowerEstimates{};
    if (estimates->timeToEmpty && *estimates->timeToEmpty > 0)
      BatteryLifeTime = *estimates->timeToEmpty;
    if (estimates->timeToFull && *estimates->timeToFull > 0)
      BatteryLifeFullTime = *estimates->timeToFull;
  }

  auto processors = service->Processors();
  ProcessorSource = processors.source;
  for (const auto& p : processors.value_or({})) {
    TProcessorPowerRecord r;
    r.Number = static_cast<uint32_t>(p.number);
    r.CurrentMHz = static_cast<uint32_t>(p.currentKHz.value_or(0) / 1000);
    r.MaxMHz = static_cast<uint32_t>(p.maxKHz.value_or(0) / 1000);
    r.MHzLimit = static_cast<uint32_t>(p.limitKHz.value_or(p.maxKHz.value_or(0)) / 1000);
    r.MaxIdleState = p.idleStates.empty() ? 0 : static_cast<uint32_t>(p.idleStates.size() - 1);
    r.Governor = p.governor;
    r.Driver = p.driver;
    r.IdleStates = p.idleStates;
    ProcessorList.push_back(std::move(r));
  }
}

}  // namespace tavrin::collectors
