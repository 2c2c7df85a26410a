// The power section of the I/O page: AC line, the batteries with their capacities and wear,
// and in advanced mode each processor's clock and idle states.
#include "collectors/system/vsi_apm.h"
#include "collectors/system_info.h"
#include "pages/io_page_rows.h"
#include "pages/page_layouts.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages::io_rows {
namespace {

using collectors::TBatteryRecord;

std::string Duration(int64_t seconds) {
  return FormatText(lbl::S_IO_HOURS_MINUTES,
                    {std::to_string(seconds / 3600), std::to_string(seconds / 60 % 60)});
}

std::string StateText(collectors::TBatteryState state) {
  using namespace collectors;
  const std::pair<TBatteryStatusFlag, const std::string*> flags[] = {
      {bsCharging, &lbl::S_IO_BS_CHARGING}, {bsDischarging, &lbl::S_IO_BS_DISCHARGING},
      {bsHigh, &lbl::S_IO_BS_HIGH},         {bsLow, &lbl::S_IO_BS_LOW},
      {bsCritical, &lbl::S_IO_BS_CRITICAL}, {bsNoBattery, &lbl::S_IO_BS_NO_BATTERY},
      {bsUnknown, &lbl::S_IO_UNKNOWN}};
  std::vector<std::string> parts;
  for (const auto& [flag, text] : flags)
    if (Has(state, flag)) parts.push_back(*text);
  return Joined(parts);
}

// An energy in mWh as "45.00 Wh", or a charge in mAh.
void CapacityRow(const FillContext& ctx, Page& page, const std::string& label,
                 std::optional<uint32_t> value, const TBatteryRecord& b, const RowMeta& meta) {
  if (!value) return;
  RowMeta m = meta;
  std::string text;
  if (b.CapacityInMilliampHours) {
    text = FormatText(lbl::S_IO_UNIT_MAH, {std::to_string(*value)});
  } else {
    text = FormatText(lbl::S_IO_UNIT_WH, {Fixed(*value / 1000.0, 2)});
  }
  AddItemEx(ctx, page, io_section::kPower, -1, DetailLabel(label), text, "", false, 0, m);
}

// A Windows battery driver's power state bits.
std::string PowerStateText(uint32_t state) {
  using namespace collectors;
  const std::pair<uint32_t, const std::string*> bits[] = {
      {kBatteryPowerOnLine, &lbl::S_IO_BS_POWER_ON_LINE},
      {kBatteryCharging, &lbl::S_IO_BS_CHARGING},
      {kBatteryDischarging, &lbl::S_IO_BS_DISCHARGING},
      {kBatteryCritical, &lbl::S_IO_BS_CRITICAL}};
  std::vector<std::string> parts;
  for (const auto& [bit, text] : bits)
    if (state & bit) parts.push_back(*text);
  return Joined(parts);
}

void AddBatteryRows(const FillContext& ctx, Page& page, const TBatteryRecord& b,
                    const RowMeta& meta, bool windows) {
  constexpr int k = io_section::kPower;
  // A Windows battery is named by its device, whose interface link is no name for people;
  // it tells its chemistry rather than a technology.
  AddItemEx(ctx, page, k, -1,
            FormatText(lbl::S_IO_BATTERY, {windows ? b.Description : b.SymbolicLink}),
            Joined({b.Manufacturer, b.DeviceName}), windows ? b.Chemistry : b.Technology, false, 0,
            windows ? RowMeta{b.ControlSource} : meta);
  AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_BATTERY_STATE),
            windows ? PowerStateText(b.PowerState) : b.Status,
            b.Percent ? FormatText(lbl::S_IO_PERCENT, {std::to_string(*b.Percent)}) : std::string(),
            false, 0, meta);
  CapacityRow(ctx, page, lbl::S_IO_DESIGN_CAPACITY, b.DesignedCapacity, b, meta);
  CapacityRow(ctx, page, lbl::S_IO_FULL_CAPACITY, b.Capacity, b, meta);
  CapacityRow(ctx, page, lbl::S_IO_CURRENT_CAPACITY, b.CurrentCapacity, b, meta);
  if (auto wear = b.WearLevel()) {
    RowMeta m = meta;
    m.quantity = Quantity::Real(*wear, QuantityUnit::kPercent);
    AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_WEAR_LEVEL),
              FormatText(lbl::S_IO_PERCENT, {Fixed(*wear, 1)}), "", false, 0, m);
  }
  if (b.Voltage) {
    RowMeta m = meta;
    m.quantity = Quantity::Real(*b.Voltage / 1000.0, QuantityUnit::kVolts);
    AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_VOLTAGE),
              FormatText(lbl::S_IO_UNIT_V, {Fixed(*b.Voltage / 1000.0, 2)}), "", true, 0, m);
  }
  if (b.Rate) {
    RowMeta m = meta;
    m.quantity = Quantity::Real(*b.Rate / 1000.0, QuantityUnit::kWatts);
    AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_RATE),
              FormatText(lbl::S_IO_UNIT_W, {Fixed(*b.Rate / 1000.0, 2)}), "", true, 0, m);
  }
  if (windows && b.EstimatedTime) {
    RowMeta m = meta;
    m.quantity = Quantity::Signed(*b.EstimatedTime, QuantityUnit::kSeconds);
    AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_BATTERY_TIME), Duration(*b.EstimatedTime), "",
              false, 0, m);
  }
  if (b.Temperature && *b.Temperature > 0)
    AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IDE_TEMPERATUTE),
              FormatText(lbl::S_IO_UNIT_CELSIUS, {Fixed(*b.Temperature / 10.0 - 273.15, 1)}), "",
              true, 0, meta);
  if (b.CycleCount && *b.CycleCount > 0)
    AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_CYCLE_COUNT), std::to_string(*b.CycleCount),
              "", false, 0, meta);
  AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_USB_SERIAL), b.SerialNumber, "", true, 0,
            RowMeta{meta.source, true});
}

void AddProcessorRows(const FillContext& ctx, Page& page, const collectors::TVexa_APM& apm) {
  constexpr int k = io_section::kPower;
  const RowMeta meta{apm.ProcessorSource};
  for (const auto& p : apm.ProcessorList) {
    const std::string n = std::to_string(p.Number);
    if (apm.FromWindows) {
      // The power information's clock, limit and idle state numbers.
      RowMeta m = meta;
      m.quantity = Quantity::Of(uint64_t{p.CurrentMHz} * 1000000, QuantityUnit::kHertz);
      AddItemEx(ctx, page, k, -1, FormatText(lbl::S_IO_CPU_POWER, {n}),
                FormatText(lbl::S_IO_CPU_FREQUENCY,
                           {std::to_string(p.CurrentMHz), std::to_string(p.MaxMHz)}),
                FormatText(lbl::S_IO_CPU_LIMIT, {std::to_string(p.MHzLimit)}), true, 0, m);
      AddItemEx(ctx, page, k, -1, FormatText(lbl::S_IO_CPU_IDLE, {n}),
                FormatText(lbl::S_IO_CPU_IDLE_OF,
                           {std::to_string(p.CurrentIdleState), std::to_string(p.MaxIdleState)}),
                "", true, 0, meta);
      continue;
    }
    if (p.CurrentMHz || p.MaxMHz) {
      std::vector<std::string> parts{FormatText(
          lbl::S_IO_CPU_FREQUENCY, {std::to_string(p.CurrentMHz), std::to_string(p.MaxMHz)})};
      if (!p.Governor.empty()) parts.push_back(FormatText(lbl::S_IO_CPU_GOVERNOR, {p.Governor}));
      RowMeta m = meta;
      m.quantity = Quantity::Of(uint64_t{p.CurrentMHz} * 1000000, QuantityUnit::kHertz);
      AddItemEx(ctx, page, k, -1, FormatText(lbl::S_IO_CPU_POWER, {n}), Joined(parts), p.Driver,
                true, 0, m);
    }
    std::vector<std::string> states;
    for (const auto& s : p.IdleStates)
      states.push_back(FormatText(lbl::S_IO_IDLE_STATE,
                                  {s.name, std::to_string(s.latencyUs), std::to_string(s.usage)}));
    AddItemEx(ctx, page, k, -1, FormatText(lbl::S_IO_CPU_IDLE, {n}), Joined(states), "", true, 0,
              meta);
  }
}

// A Windows machine's power status: the system's own AC line and battery summary, then the
// batteries of the device list.
void AddWindowsStatusRows(const FillContext& ctx, Page& page, const collectors::TVexa_APM& apm) {
  constexpr int k = io_section::kPower;
  const RowMeta status{apm.StatusSource};
  if (apm.StatusSource.ok()) {
    const std::string& ac = apm.ACPowerStatus == collectors::psOnline    ? lbl::S_IO_ONLINE
                            : apm.ACPowerStatus == collectors::psOffline ? lbl::S_IO_OFFLINE
                                                                         : lbl::S_IO_UNKNOWN;
    AddItemEx(ctx, page, k, -1, lbl::S_IO_AC_POWER, ac, "", false, 0, status);
    AddItemEx(ctx, page, k, -1, lbl::S_IO_BATTERY_STATUS, StateText(apm.BatteryChargeStatus), "",
              false, 0, status);
  }
  if (apm.BatteryLifePercent != 255) {
    RowMeta m = status;
    m.quantity = Quantity::Of(apm.BatteryLifePercent, QuantityUnit::kPercent);
    AddItemEx(ctx, page, k, -1, lbl::S_IO_BATTERY_PERCENT,
              FormatText(lbl::S_IO_PERCENT, {std::to_string(apm.BatteryLifePercent)}), "", false, 0,
              m);
  }
  if (apm.BatteryLifeTime >= 0) {
    RowMeta m = status;
    m.quantity = Quantity::Signed(apm.BatteryLifeTime, QuantityUnit::kSeconds);
    AddItemEx(ctx, page, k, -1, lbl::S_IO_BATTERY_TIME, Duration(apm.BatteryLifeTime), "", false, 0,
              m);
  }
  if (apm.BatteryLifeFullTime > 0) {
    RowMeta m = status;
    m.quantity = Quantity::Signed(apm.BatteryLifeFullTime, QuantityUnit::kSeconds);
    AddItemEx(ctx, page, k, -1, lbl::S_IO_BATTERY_FULL_TIME, Duration(apm.BatteryLifeFullTime), "",
              false, 0, m);
  }
  for (const auto& b : apm.BatteryList) AddBatteryRows(ctx, page, b, RowMeta{apm.Source}, true);
  if (page.Sections()[k].Items.empty()) AddNoItems(ctx, page, k, apm.StatusSource);
}

}  // namespace

void AddPowerRows(const FillContext& ctx, Page& page) {
  constexpr int k = io_section::kPower;
  const auto& apm = ctx.info.APM();
  if (apm.FromWindows) {
    AddWindowsStatusRows(ctx, page, apm);
    AddProcessorRows(ctx, page, apm);
    return;
  }
  const RowMeta meta{apm.Source};
  const bool anySupply = !apm.BatteryList.empty() || !apm.Supplies.empty();
  if (anySupply) {
    const std::string& ac = apm.ACPowerStatus == collectors::psOnline    ? lbl::S_IO_ONLINE
                            : apm.ACPowerStatus == collectors::psOffline ? lbl::S_IO_OFFLINE
                                                                         : lbl::S_IO_UNKNOWN;
    AddItemEx(ctx, page, k, -1, lbl::S_IO_AC_POWER, ac, "", false, 0, meta);
    for (const auto& s : apm.Supplies)
      if (s.Online)
        AddItemEx(ctx, page, k, -1, DetailLabel(FormatText(lbl::S_IO_SUPPLY, {s.Name})),
                  *s.Online ? lbl::S_IO_ONLINE : lbl::S_IO_OFFLINE, s.Type, true, 0, meta);
  }
  if (!apm.BatteryList.empty()) {
    AddItemEx(ctx, page, k, -1, lbl::S_IO_BATTERY_STATUS, StateText(apm.BatteryChargeStatus), "",
              false, 0, meta);
    if (apm.BatteryLifePercent != 255) {
      RowMeta m = meta;
      m.quantity = Quantity::Of(apm.BatteryLifePercent, QuantityUnit::kPercent);
      AddItemEx(ctx, page, k, -1, lbl::S_IO_BATTERY_PERCENT,
                FormatText(lbl::S_IO_PERCENT, {std::to_string(apm.BatteryLifePercent)}), "", false,
                0, m);
    }
    if (apm.BatteryLifeTime >= 0) {
      RowMeta m = meta;
      m.quantity = Quantity::Signed(apm.BatteryLifeTime, QuantityUnit::kSeconds);
      AddItemEx(ctx, page, k, -1, lbl::S_IO_BATTERY_TIME, Duration(apm.BatteryLifeTime), "", false,
                0, m);
    }
    if (apm.BatteryLifeFullTime > 0) {
      RowMeta m = meta;
      m.quantity = Quantity::Signed(apm.BatteryLifeFullTime, QuantityUnit::kSeconds);
      AddItemEx(ctx, page, k, -1, lbl::S_IO_BATTERY_FULL_TIME, Duration(apm.BatteryLifeFullTime),
                "", false, 0, m);
    }
    for (const auto& b : apm.BatteryList) AddBatteryRows(ctx, page, b, meta, false);
  }
  if (!anySupply) AddNoItems(ctx, page, k, apm.Source, lbl::S_IO_NO_SUPPLIES);
  AddProcessorRows(ctx, page, apm);
}

}  // namespace tavrin::pages::io_rows
