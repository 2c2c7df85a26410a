// What a Windows machine's registry says of a USB device found in the controller walk: its
// Plug and Play instance under the USB enumerator (found by the driver key the hub named), the
// instance the mass-storage or HID driver made of it, and a storage device's drive letter.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace tavrin::collectors::usb::win {

/// One device instance: "<enumerator>\<device>\<instance>" below the Enum key.
struct UsbInstance {
  std::string device, instance;  ///< key names, "VID_0781&PID_5567", "AA04012700008493"
  std::string driver;            ///< "{36fc9e60-c465-11cf-8056-444553540000}\0012"
  std::string description;       ///< DeviceDesc after the INF-reference rule
  std::string className, service, parentIdPrefix, symbolicName;
  /// When the instance last changed ("Control" key's last write); the registry service keeps
  /// no key times, so this stays empty until it does.
  std::optional<int64_t> timestamp;
};

/// The registry view of one device.
struct UsbRegistryView {
  UsbInstance usb;
  std::optional<UsbInstance> storage;  ///< below USBSTOR
  std::optional<UsbInstance> hid;      ///< below HID
  std::string storageName;             ///< "SanDisk Cruzer Blade 1.26" from the USBSTOR device key
  std::string drive;                   ///< "E:" for a mass-storage device with a letter
};

/// The "Vendor Product Revision" name of a USBSTOR device key
/// ("Disk&Ven_SanDisk&Prod_Cruzer_Blade&Rev_1.26"), with "_" read as a blank; the parts the key
/// lacks are left out.
std::string UsbStorageDisplayName(std::string_view deviceKey);

/// The GUID at the end of an interface link ("\??\USB#VID_1&PID_2#1#{a5dcbf10-...}").
std::string InterfaceGuidOf(std::string_view symbolicName);

class UsbRegistry {
 public:
  /// Reads the USB, USBSTOR and HID instances and the mounted-device letters once.
  explicit UsbRegistry(const platform::Registry& registry);

  /// The view of the device whose driver key is `driverKey` (compared without case).
  std::optional<UsbRegistryView> Find(std::string_view driverKey) const;
  /// The description the driver's class key gives a controller ("DriverDesc").
  std::string DriverDescription(std::string_view driverKey) const;

 private:
  struct Letter {
    std::string drive;  ///< "E:"
    std::string link;   ///< the value's interface link, lower case
  };
  std::vector<UsbInstance> ReadEnumerator(std::string_view name) const;
  std::string DriveOf(const UsbInstance& storage) const;

  const platform::Registry& registry_;
  std::vector<UsbInstance> usb_, storage_, hid_;
  std::vector<Letter> letters_;  ///< in letter order
};

}  // namespace tavrin::collectors::usb::win
