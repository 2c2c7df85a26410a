// The USB tree of the machine as the kernel shows it: every device (root hubs included) with
// its raw descriptor bytes, the texts of its string descriptors and what the kernel bound to
// its interfaces. Decoding the descriptors is the collector's business.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/devices.h"
#include "platform/provenance.h"

namespace tavrin::platform {

/// A block device behind a mass-storage interface, with where its partitions are mounted.
struct UsbBlockDevice {
  std::string name;                      ///< kernel name: "sdb"
  std::vector<std::string> mountPoints;  ///< of the disk and its partitions, in mount order
};

struct UsbInterfaceRecord {
  std::string name;    ///< kernel name: "1-1.2:1.0"
  std::string driver;  ///< bound driver, empty when none
  std::vector<UsbBlockDevice> blockDevices;
};

/// Sysfs attributes read when the descriptors file cannot be: the kernel's own copy of the
/// device descriptor fields, as hexadecimal texts ("046d"), and "100mA".
struct UsbAttributeFallback {
  std::string idVendor, idProduct, bcdDevice, bDeviceClass, version, bMaxPower;
};

struct UsbDeviceRecord {
  std::string name;  ///< kernel name: "usb1" for the root hub of bus 1, "1-1.2" below it
  std::string path;  ///< where it was read, for provenance
  /// The device descriptor followed by every configuration descriptor with its interfaces
  /// and endpoints, byte for byte; or why it could not be read.
  Answer<std::string> descriptors;
  UsbAttributeFallback attributes;            ///< filled only when `descriptors` failed
  std::string manufacturer, product, serial;  ///< string descriptor texts, empty when absent
  std::string speed;  ///< Mbit/s as the kernel writes it: "1.5", "12", "480", "5000"
  int busnum = 0, devnum = 0;
  int maxChild = 0;    ///< downstream ports of a hub (root hubs included); 0 for other devices
  std::string driver;  ///< "usb" for a device, "hub" never (that binds to the interface)
  /// For a root hub: the kernel name and driver of the host controller it belongs to.
  std::string controller, controllerDriver;
  std::vector<UsbInterfaceRecord> interfaces;
};

class UsbService {
 public:
  virtual ~UsbService() = default;
  /// Every USB device in kernel-name order. Devices that vanish during the walk are left out.
  virtual Answer<std::vector<UsbDeviceRecord>> Devices() const = 0;
  /// The lines of the system's usb.ids naming the given vendors and products, and the class
  /// list (see FilterIdFile).
  virtual Answer<std::string> IdEntries(const IdKeys& ids) const = 0;
};

}  // namespace tavrin::platform
