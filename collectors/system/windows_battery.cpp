#include "collectors/system/windows_battery.h"

#include "base/byte_order.h"
#include "collectors/system/vsi_apm.h"
#include "platform/device_control.h"
#include "platform/utf16.h"

namespace tavrin::collectors {
namespace {

// What a battery driver answers for a value it does not know.
constexpr uint32_t kUnknownValue = 0xFFFFFFFF;
constexpr uint32_t kUnknownRate = 0x80000000;

std::optional<uint32_t> Known(std::optional<uint32_t> v) {
  if (!v || *v == kUnknownValue) return std::nullopt;
  return v;
}

}  // namespace

std::string BatteryWaitStatusInput(uint32_t tag) {
  std::string in;
  for (uint32_t v : {tag, 0u, 0u, 0u, 0u}) base::AppendLeU32(in, v);
  return in;
}

std::string BatteryQueryInformationInput(uint32_t tag, uint32_t level) {
  std::string in;
  for (uint32_t v : {tag, level, 0u}) base::AppendLeU32(in, v);
  return in;
}

bool DecodeBatteryStatus(std::string_view bytes, TBatteryRecord& b) {
  if (bytes.size() < 16) return false;
  b.PowerState = *base::LeU32If(bytes, 0);
  b.CurrentCapacity = Known(base::LeU32If(bytes, 4));
  b.Voltage = Known(base::LeU32If(bytes, 8));
  const uint32_t rate = *base::LeU32If(bytes, 12);
  if (rate != kUnknownRate) b.Rate = static_cast<int32_t>(rate);
  return true;
}

bool DecodeBatteryInformation(std::string_view bytes, TBatteryRecord& b) {
  if (bytes.size() < 36) return false;
  // Capabilities (0), technology (4) and three reserved bytes, then the chemistry's four
  // characters (8), the designed (12) and the full-charged capacity (16), two alert levels, the
  // critical bias and the cycle count (32).
  std::string chemistry(bytes.substr(8, 4));
  while (!chemistry.empty() && (chemistry.back() == '\0' || chemistry.back() == ' '))
    chemistry.pop_back();
  b.Chemistry = chemistry;
  b.DesignedCapacity = Known(base::LeU32If(bytes, 12));
  b.Capacity = Known(base::LeU32If(bytes, 16));
  b.CycleCount = *base::LeU32If(bytes, 32);
  return true;
}

std::string BatteryText(std::string_view bytes) {
  std::u16string units =
      platform::Utf16FromLeBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  units = units.substr(0, units.find(u'\0'));
  return platform::Utf16ToUtf8(units);
}

void QueryBattery(const platform::DeviceControlService& controls, TBatteryRecord& b) {
  const std::string& device = b.SymbolicLink;
  auto opened = controls.Open(device);
  b.ControlSource = opened.Source(device);
  if (!opened.ok) return;
  auto tag = controls.Control(device, kIoctlBatteryQueryTag, std::string(4, '\0'));
  if (!tag.ok || !base::LeU32If(tag.output, 0)) {
    b.ControlSource = tag.Source("battery tag of " + device);
    return;
  }
  b.Tag = *base::LeU32If(tag.output, 0);
  auto status = controls.Control(device, kIoctlBatteryQueryStatus, BatteryWaitStatusInput(b.Tag));
  if (status.ok) DecodeBatteryStatus(status.output, b);
  auto info = [&](uint32_t level) {
    auto r = controls.Control(device, kIoctlBatteryQueryInformation,
                              BatteryQueryInformationInput(b.Tag, level));
    return r.ok ? std::optional<std::string>(std::move(r.output)) : std::nullopt;
  };
  if (auto t = info(kBatteryManufactureName)) b.Manufacturer = BatteryText(*t);
  if (auto t = info(kBatteryDeviceName)) b.DeviceName = BatteryText(*t);
  if (auto t = info(kBatterySerialNumber)) b.SerialNumber = BatteryText(*t);
  if (auto t = info(kBatteryUniqueId)) b.UniqueID = BatteryText(*t);
  if (auto t = info(kBatteryTemperature)) b.Temperature = Known(base::LeU32If(*t, 0));
  if (auto t = info(kBatteryEstimatedTime))
    if (auto s = Known(base::LeU32If(*t, 0))) b.EstimatedTime = *s;
  if (auto t = info(kBatteryInformation)) DecodeBatteryInformation(*t, b);
}

}  // namespace tavrin::collectors
