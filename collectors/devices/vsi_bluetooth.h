// Collector of Bluetooth radios and the devices the system knows: name, address, class of
// device and state flags.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collectors/collector.h"

namespace tavrin::collectors {

struct TBTDevice {
  std::string Name;
  std::optional<int64_t> LastUsed, LastSeen;  ///< seconds since 1970 UTC, when known
  bool Authenticated = false, Remembered = false, Connected = false;
  uint32_t Class = 0;  ///< class of device
  std::string Address;
  std::string Adapter;  ///< the radio that knows it ("hci0")
};

struct TBTAdapter {
  std::string Name, Address, Alias;
  std::optional<bool> Powered;
};

class TVexa_BT : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_BT(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_BT", "Bluetooth", std::move(services)) {}

  void RefreshData() override;

  int32_t DeviceCount() const { return static_cast<int32_t>(Devices.size()); }
  std::vector<TBTDevice> Devices;
  std::vector<TBTAdapter> Adapters;
  /// Why the lists are empty; and whether the Bluetooth service itself answered.
  platform::Provenance Source, ServiceSource;
  /// The list came from a Windows device search (no adapters; last-seen times known).
  bool FromWindows = false;
};

/// Six address bytes, byte 0 the least significant, as "66:55:44:33:22:11".
std::string BluetoothAddressText(const std::array<uint8_t, 6>& bytes);

/// The major device class of a class-of-device value ("Phone", "Audio/Video" ...), from the
/// Bluetooth Assigned Numbers; empty for a reserved code.
std::string_view MajorDeviceClassName(uint32_t classOfDevice);

}  // namespace tavrin::collectors
