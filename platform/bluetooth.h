// Bluetooth: the adapters and the devices the Bluetooth service knows. Read only: nothing is
// paired and no scan is started.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

struct BluetoothAdapterRecord {
  std::string name;     ///< "hci0"
  std::string address;  ///< "00:1A:7D:DA:71:13"
  std::string alias;
  std::optional<bool> powered;
};

struct BluetoothDeviceRecord {
  std::string adapter;  ///< "hci0"
  std::string address;
  std::string name;  ///< the name the device gave (or its alias)
  std::optional<uint32_t> deviceClass;
  bool paired = false, trusted = false, connected = false, blocked = false;
  std::optional<int64_t> lastSeen, lastUsed;  ///< seconds since 1970 UTC, when known
};

struct BluetoothRecord {
  std::vector<BluetoothAdapterRecord> adapters;
  std::vector<BluetoothDeviceRecord> devices;
  /// Whether the Bluetooth service answered; when it did not, the lists come from the
  /// kernel's adapters and the service's stored files, and this says why.
  Provenance service;
};

class BluetoothService {
 public:
  virtual ~BluetoothService() = default;
  virtual Answer<BluetoothRecord> Bluetooth() const = 0;
};

}  // namespace tavrin::platform
