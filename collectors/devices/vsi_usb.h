// Collector of USB controllers, hubs and devices: the tree in walk order (a parent before its
// children), each node with its decoded descriptors, string texts and id-file names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collectors/collector.h"
#include "collectors/devices/usb_classes.h"

namespace tavrin::collectors {

/// What the system's device database says of a node.
struct TUSBDevice {
  std::string Name;
  std::optional<int64_t> Timestamp;  ///< seconds since 1970 UTC
  int USBClass = usb::usbEmpty;
  std::string DeviceClass;
  std::string Drive;     ///< where a mass-storage device is reachable (drive letter, mount point)
  std::string IntfGUID;  ///< interface class GUID at the end of the device's link
};

/// One interface of a device, as the node lists it.
struct TUSBInterface {
  uint8_t Number = 0;
  uint8_t Class = 0, SubClass = 0, Protocol = 0;
  std::string ClassName;  ///< most specific name the id file or the class table has
  std::string Driver;     ///< bound kernel driver
  uint8_t Endpoints = 0;
};

/// A block device behind a mass-storage interface.
struct TUSBStorage {
  std::string Device;                    ///< kernel name, "sdb"
  std::vector<std::string> MountPoints;  ///< of the disk and its partitions
};

/// Connection status of the port the node hangs on (USB_CONNECTION_STATUS values; a Windows
/// hub also reports failures, 2 to 10, which keep the port's node without a device).
enum TUSBConnectionStatus : int { usbNoDeviceConnected = 0, usbDeviceConnected = 1 };

struct TUSBNode {
  std::string ConnectionName;  ///< product text, else the id file's product name
  std::optional<int64_t> Timestamp;
  /// Kernel name of the node ("1-1.2"; the controller's address); on Windows the driver key of
  /// a controller or device, the device name of a hub, or "Error: ..." when the name failed.
  std::string KeyName;
  int USBClass = usb::usbEmpty;
  std::string USBClassname;
  std::string Manufacturer, Product, Serial;  ///< string descriptor texts
  int ParentIndex = -1;
  int Level = 0;  ///< 0 host controller, 1 root hub, one more per hub below
  int Port = 0;   ///< port on the parent hub, 1-based
  int DeviceAddress = 0;
  int ConnectionStatus = usbNoDeviceConnected;
  uint8_t MaxPower = 0;                    ///< bMaxPower of the first configuration, as stored
  int MajorVersion = 0, MinorVersion = 0;  ///< from bcdUSB: 2 and 0 for 0x0200
  uint16_t ProductID = 0, VendorID = 0;
  TUSBDevice USBDevice;

  // What the Linux source adds.
  uint8_t DeviceClassCode = 0;  ///< bDeviceClass
  uint16_t bcdUSB = 0, bcdDevice = 0;
  std::optional<uint32_t> MaxPowerMilliamps;
  std::optional<double> SpeedMbps;
  std::string VendorName, ProductName;  ///< from the id file
  std::string Driver;  ///< the controller's driver; on Windows a device's service too
  int Bus = 0;
  int Ports = 0;  ///< downstream ports, for a hub or root hub
  int Configurations = 0;
  std::vector<TUSBInterface> Interfaces;
  std::vector<TUSBStorage> Storage;
  std::vector<std::string> DescriptorProblems;
  platform::Provenance DescriptorSource;
};

class TVexa_USB : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_USB(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_USB", "USB", std::move(services)) {}

  void RefreshData() override;

  int32_t NodeCount() const { return static_cast<int32_t>(nodes_.size()); }
  /// A copy of the node at `index`; an empty node (class usbEmpty) outside the tree.
  TUSBNode Node(int32_t index) const;
  const std::vector<TUSBNode>& Nodes() const { return nodes_; }
  /// Connected nodes that are devices, not hubs or controllers.
  int32_t ConnectedDevices() const;

  /// Why the tree is empty or incomplete; and whether the id file answered.
  platform::Provenance Source, IdsSource;

 private:
  std::vector<TUSBNode> nodes_;
};

}  // namespace tavrin::collectors
