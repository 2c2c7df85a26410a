#include "collectors/devices/vsi_bluetooth.h"

#include <array>
#include <cstdio>

#include "collectors/devices/windows_bluetooth.h"
#include "platform/bluetooth.h"

namespace tavrin::collectors {

std::string BluetoothAddressText(const std::array<uint8_t, 6>& bytes) {
  std::string text;
  for (int i = 5; i >= 0; --i) {
    char part[4];
    std::snprintf(part, sizeof part, "%02X", bytes[static_cast<std::size_t>(i)]);
    if (!text.empty()) text += ':';
    text += part;
  }
  return text;
}

std::string_view MajorDeviceClassName(uint32_t classOfDevice) {
  // Major device classes, bits 12..8 of the class of device (Bluetooth Assigned Numbers,
  // "Class of Device").
  static constexpr std::array<std::string_view, 10> kMajor = {
      "Miscellaneous", "Computer",   "Phone",   "LAN/Network Access Point",
      "Audio/Video",   "Peripheral", "Imaging", "Wearable",
      "Toy",           "Health"};
  const uint32_t major = classOfDevice >> 8 & 0x1F;
  if (major < kMajor.size()) return kMajor[major];
  return major == 0x1F ? "Uncategorized" : "";
}

void TVexa_BT::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  Devices.clear();
  Adapters.clear();
  FromWindows = false;
  const auto& service = Platform().bluetooth;
  if (!service) {
    Source = ServiceSource = platform::Provenance::Failure(
        platform::Status::NotSupported, "Bluetooth", "the source holds no Bluetooth devices");
    return;
  }
  // A Windows machine answers its own device search; elsewhere that search is not supported.
  auto windows = service->WindowsDevices();
  if (windows.source.status != platform::Status::NotSupported) {
    FromWindows = true;
    Source = ServiceSource = windows.source;
    if (windows) Devices = WindowsBluetoothDevices(*windows);
    return;
  }
  auto answer = service->Bluetooth();
  Source = answer.source;
  if (!answer) {
    ServiceSource = answer.source;
    return;
  }
  ServiceSource = answer->service;
  for (const auto& a : answer->adapters)
    Adapters.push_back({a.name, a.address, a.alias, a.powered});
  for (const auto& d : answer->devices) {
    // A device that never told its name is not listed, as the system's own lists do.
    if (d.name.empty()) continue;
    TBTDevice t;
    t.Name = d.name;
    t.Address = d.address;
    t.Adapter = d.adapter;
    t.Class = d.deviceClass.value_or(0);
    t.Authenticated = d.paired;
    t.Remembered = d.paired || d.trusted;
    t.Connected = d.connected;
    t.LastSeen = d.lastSeen;
    t.LastUsed = d.lastUsed;
    Devices.push_back(std::move(t));
  }
}

}  // namespace tavrin::collectors
