#include "collectors/devices/windows_bluetooth.h"

#include "collectors/os/os_dates.h"

namespace tavrin::collectors {

std::optional<int64_t> SystemTimeSeconds(const platform::SystemTimeRecord& t) {
  if (t.year == 0) return std::nullopt;
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 ||
      t.second > 59)
    return std::nullopt;
  return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

std::vector<TBTDevice> WindowsBluetoothDevices(
    const std::vector<platform::WindowsBluetoothDevice>& found) {
  std::vector<TBTDevice> list;
  for (const auto& d : found) {
    if (d.name.empty()) continue;
    TBTDevice t;
    t.Name = d.name;
    t.Address = BluetoothAddressText(d.address);
    t.Authenticated = d.authenticated;
    t.Remembered = d.remembered;
    t.Connected = d.connected;
    t.Class = d.classOfDevice;
    t.LastSeen = SystemTimeSeconds(d.lastSeen);
    t.LastUsed = SystemTimeSeconds(d.lastUsed);
    list.push_back(std::move(t));
  }
  return list;
}

}  // namespace tavrin::collectors
