#include "collectors/system/power_supply.h"

#include <charconv>

namespace tavrin::collectors {
namespace {

std::optional<int64_t> Integer(std::string_view v) {
  int64_t n = 0;
  const auto r = std::from_chars(v.data(), v.data() + v.size(), n);
  if (r.ec != std::errc() || r.ptr != v.data() + v.size()) return std::nullopt;
  return n;
}

}  // namespace

PowerSupplyValues ParsePowerSupplyUevent(std::string_view text) {
  PowerSupplyValues p;
  constexpr std::string_view kPrefix = "POWER_SUPPLY_";
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, kPrefix.size()) != kPrefix) continue;
    line.remove_prefix(kPrefix.size());
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
    struct Text {
      std::string_view key;
      std::string PowerSupplyValues::*field;
    };
    static constexpr Text kTexts[] = {
        {"NAME", &PowerSupplyValues::name},
        {"TYPE", &PowerSupplyValues::type},
        {"STATUS", &PowerSupplyValues::status},
        {"TECHNOLOGY", &PowerSupplyValues::technology},
        {"MANUFACTURER", &PowerSupplyValues::manufacturer},
        {"MODEL_NAME", &PowerSupplyValues::modelName},
        {"SERIAL_NUMBER", &PowerSupplyValues::serialNumber},
        {"CAPACITY_LEVEL", &PowerSupplyValues::capacityLevel},
    };
    struct Number {
      std::string_view key;
      std::optional<int64_t> PowerSupplyValues::*field;
    };
    static constexpr Number kNumbers[] = {
        {"CYCLE_COUNT", &PowerSupplyValues::cycleCount},
        {"CAPACITY", &PowerSupplyValues::capacityPercent},
        {"VOLTAGE_NOW", &PowerSupplyValues::voltageNow},
        {"VOLTAGE_MIN_DESIGN", &PowerSupplyValues::voltageMinDesign},
        {"CURRENT_NOW", &PowerSupplyValues::currentNow},
        {"POWER_NOW", &PowerSupplyValues::powerNow},
        {"ENERGY_FULL_DESIGN", &PowerSupplyValues::energyFullDesign},
        {"ENERGY_FULL", &PowerSupplyValues::energyFull},
        {"ENERGY_NOW", &PowerSupplyValues::energyNow},
        {"CHARGE_FULL_DESIGN", &PowerSupplyValues::chargeFullDesign},
        {"CHARGE_FULL", &PowerSupplyValues::chargeFull},
        {"CHARGE_NOW", &PowerSupplyValues::chargeNow},
        {"TIME_TO_EMPTY_NOW", &PowerSupplyValues::timeToEmpty},
        {"TIME_TO_FULL_NOW", &PowerSupplyValues::timeToFull},
    };
    bool done = false;
    for (const auto& t : kTexts)
      if (t.key == key) {
        p.*t.field = std::string(value);
        done = true;
      }
    if (done) continue;
    for (const auto& n : kNumbers)
      if (n.key == key) p.*n.field = Integer(value);
    if (key == "PRESENT" || key == "ONLINE") {
      auto flag = Integer(value);
      if (flag) (key == "PRESENT" ? p.present : p.online) = *flag != 0;
    }
  }
  return p;
}

}  // namespace tavrin::collectors
