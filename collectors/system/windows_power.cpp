#include "collectors/system/windows_power.h"

#include "base/byte_order.h"
#include "collectors/devices/device_classes.h"
#include "collectors/devices/vsi_devices.h"
#include "collectors/system/windows_battery.h"
#include "platform/device_control.h"
#include "platform/power.h"

namespace tavrin::collectors {
namespace {

constexpr uint8_t kBatteryClass = 0;  // "Battery" in the device class table
// Processors the buffer may grow to before the query is given up.
constexpr std::size_t kMaxProcessors = 4096;

int64_t Seconds(uint32_t v) {
  return v == 0xFFFFFFFF ? -1 : static_cast<int64_t>(v);
}

}  // namespace

std::vector<TProcessorPowerRecord> DecodeProcessorPower(std::string_view bytes) {
  std::vector<TProcessorPowerRecord> list;
  for (std::size_t at = 0; at + kProcessorPowerEntrySize <= bytes.size();
       at += kProcessorPowerEntrySize) {
    TProcessorPowerRecord r;
    r.Number = *base::LeU32If(bytes, at);
    r.MaxMHz = *base::LeU32If(bytes, at + 4);
    r.CurrentMHz = *base::LeU32If(bytes, at + 8);
    r.MHzLimit = *base::LeU32If(bytes, at + 12);
    r.MaxIdleState = *base::LeU32If(bytes, at + 16);
    r.CurrentIdleState = *base::LeU32If(bytes, at + 20);
    list.push_back(std::move(r));
  }
  return list;
}

TBatteryState BatteryFlagState(uint8_t flag) {
  if (flag == 0) return 1 << bsDischarging;
  TBatteryState s = 0;
  if (flag & 1) s |= 1 << bsHigh;
  if (flag & 2) s |= 1 << bsLow;
  if (flag & 4) s |= 1 << bsCritical;
  if (flag & 8) s |= 1 << bsCharging;
  if (flag & 128) s |= 1 << bsNoBattery;
  if (flag == 255) s |= 1 << bsUnknown;
  return s;
}

std::optional<SystemPowerStatus> DecodeSystemPowerStatus(std::string_view bytes) {
  if (bytes.size() < 12) return std::nullopt;
  SystemPowerStatus s;
  const auto line = static_cast<uint8_t>(bytes[0]);
  s.ACPowerStatus = line == 0 ? psOffline : line == 1 ? psOnline : psUnknown;
  s.BatteryChargeStatus = BatteryFlagState(static_cast<uint8_t>(bytes[1]));
  s.BatteryLifePercent = static_cast<uint8_t>(bytes[2]);
  s.BatteryLifeTime = Seconds(*base::LeU32If(bytes, 4));
  s.BatteryLifeFullTime = Seconds(*base::LeU32If(bytes, 8));
  return s;
}

void TVexa_APM::RefreshWindows() {
  FromWindows = true;
  {
    TVexa_Devices devices(SharedPlatform());
    devices.RefreshData();
    static_assert(kDeviceClassNames[kBatteryClass] == "Battery");
    for (const auto& d : devices.List())
      if (d.DeviceClass == kBatteryClass && !d.SymbolicLink.empty()) {
        TBatteryRecord b;
        b.SymbolicLink = d.SymbolicLink;
        b.Description = d.Description;
        BatteryList.push_back(std::move(b));
      }
    Source = devices.Source;
  }
  if (const auto& controls = Platform().deviceControl)
    for (auto& b : BatteryList) QueryBattery(*controls, b);

  const auto& service = Platform().power;
  if (!service) {
    ProcessorSource = StatusSource = platform::Provenance::Failure(
        platform::Status::NotSupported, "power", "the source holds no power information");
    return;
  }
  // The buffer starts at one entry and grows by one while the system says it is too small.
  for (std::size_t size = kProcessorPowerEntrySize;
       size <= kMaxProcessors * kProcessorPowerEntrySize; size += kProcessorPowerEntrySize) {
    auto reply = service->PowerInformation(kProcessorInformationLevel, size);
    ProcessorSource = reply.source;
    if (!reply) break;
    if (reply->status == platform::kStatusBufferTooSmall) continue;
    if (reply->status == 0) ProcessorList = DecodeProcessorPower(reply->output);
    break;
  }
  auto status = service->SystemPowerStatus();
  StatusSource = status.source;
  if (auto s = status ? DecodeSystemPowerStatus(*status) : std::nullopt) {
    ACPowerStatus = s->ACPowerStatus;
    BatteryChargeStatus = s->BatteryChargeStatus;
    BatteryLifePercent = s->BatteryLifePercent;
    BatteryLifeTime = s->BatteryLifeTime;
    BatteryLifeFullTime = s->BatteryLifeFullTime;
  }
}

}  // namespace tavrin::collectors
