// Bluetooth: the adapters and the devices the Bluetooth service knows. Read only: nothing is
// paired and no scan is started.
#pragma once

#include <array>
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

/// A calendar time as Windows keeps it (SYSTEMTIME); all zero when never set.
struct SystemTimeRecord {
  uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
  uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

/// One device of a Windows Bluetooth device search (BLUETOOTH_DEVICE_INFO).
struct WindowsBluetoothDevice {
  std::string name;                  ///< szName, as UTF-8; empty when the device gave none
  std::array<uint8_t, 6> address{};  ///< byte 0 the least significant
  uint32_t classOfDevice = 0;
  bool connected = false, remembered = false, authenticated = false;
  SystemTimeRecord lastSeen, lastUsed;
};

class BluetoothService {
 public:
  virtual ~BluetoothService() = default;
  virtual Answer<BluetoothRecord> Bluetooth() const = 0;
  /// The devices a Windows device search over all radios returns (authenticated, remembered,
  /// unknown and connected ones, no inquiry), in the order found. Not supported elsewhere.
  virtual Answer<std::vector<WindowsBluetoothDevice>> WindowsDevices() const = 0;
};

}  // namespace tavrin::platform
