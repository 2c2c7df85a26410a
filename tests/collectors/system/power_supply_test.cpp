#include "collectors/system/power_supply.h"

#include <gtest/gtest.h>

#include "collectors/system/vsi_apm.h"

namespace tavrin::collectors {
namespace {

TEST(PowerSupplyUevent, EnergyBatteryWithEveryField) {
  const auto v = ParsePowerSupplyUevent(
      "POWER_SUPPLY_NAME=BAT0\nPOWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Discharging\n"
      "POWER_SUPPLY_PRESENT=1\nPOWER_SUPPLY_TECHNOLOGY=Li-ion\nPOWER_SUPPLY_CYCLE_COUNT=312\n"
      "POWER_SUPPLY_VOLTAGE_NOW=11850000\nPOWER_SUPPLY_POWER_NOW=9500000\n"
      "POWER_SUPPLY_ENERGY_FULL_DESIGN=57000000\nPOWER_SUPPLY_ENERGY_FULL=51300000\n"
      "POWER_SUPPLY_ENERGY_NOW=38475000\nPOWER_SUPPLY_MODEL_NAME=5B10W13975\n"
      "POWER_SUPPLY_SERIAL_NUMBER=1234\n");
  EXPECT_EQ(v.type, "Battery");
  EXPECT_EQ(v.present, true);
  const auto b = BatteryFromValues(v);
  EXPECT_EQ(b.DesignedCapacity, 57000u);
  EXPECT_EQ(b.Capacity, 51300u);
  EXPECT_EQ(b.CurrentCapacity, 38475u);
  EXPECT_EQ(b.Voltage, 11850u);
  EXPECT_EQ(b.Rate, -9500) << "discharging counts negative";
  EXPECT_EQ(b.EstimatedTime, 14580) << "38.475 Wh at 9.5 W";
  EXPECT_EQ(b.Chemistry, "LION");
  ASSERT_TRUE(b.WearLevel());
  EXPECT_NEAR(*b.WearLevel(), 10.0, 1e-9);
  EXPECT_EQ(b.PowerState, kBatteryDischarging);
}

TEST(PowerSupplyUevent, MissingAndMalformedFieldsStayUnknown) {
  // A charge-reporting battery: without a design voltage its capacities stay in mAh.
  auto v = ParsePowerSupplyUevent(
      "POWER_SUPPLY_TYPE=Battery\r\nPOWER_SUPPLY_STATUS=Charging\r\n"
      "POWER_SUPPLY_CHARGE_FULL_DESIGN=4400000\r\nPOWER_SUPPLY_CHARGE_NOW=oops\r\n"
      "POWER_SUPPLY_CURRENT_NOW=-1200000\r\nNOT_OURS=1\r\nPOWER_SUPPLY_BROKEN\r\n");
  EXPECT_FALSE(v.chargeNow) << "not a number";
  EXPECT_FALSE(v.present);
  auto b = BatteryFromValues(v);
  EXPECT_TRUE(b.CapacityInMilliampHours);
  EXPECT_EQ(b.DesignedCapacity, 4400u);
  EXPECT_FALSE(b.CurrentCapacity);
  EXPECT_FALSE(b.Rate) << "current without voltage gives no power";
  EXPECT_FALSE(b.WearLevel());
  EXPECT_FALSE(b.EstimatedTime);
  EXPECT_EQ(b.PowerState, kBatteryCharging | kBatteryPowerOnLine);

  // With the design voltage the charge becomes energy: 4.4 Ah at 11.1 V is 48.84 Wh.
  v = ParsePowerSupplyUevent(
      "POWER_SUPPLY_CHARGE_FULL_DESIGN=4400000\nPOWER_SUPPLY_VOLTAGE_MIN_DESIGN=11100000\n"
      "POWER_SUPPLY_CURRENT_NOW=1000000\nPOWER_SUPPLY_VOLTAGE_NOW=12000000\n"
      "POWER_SUPPLY_STATUS=Discharging\n");
  b = BatteryFromValues(v);
  EXPECT_FALSE(b.CapacityInMilliampHours);
  EXPECT_EQ(b.DesignedCapacity, 48840u);
  EXPECT_EQ(b.Rate, -12000) << "1 A at 12 V, driver sign ignored";

  EXPECT_EQ(ParsePowerSupplyUevent("").type, "");
  EXPECT_EQ(ParsePowerSupplyUevent("POWER_SUPPLY_ONLINE=1").online, true);
}

}  // namespace
}  // namespace tavrin::collectors
