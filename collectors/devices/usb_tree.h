// The USB tree built from the kernel's device list: controllers, root hubs, hubs and devices
// in walk order, with the topology taken from the kernel names ("1-1.2" is port 2 of the hub
// on port 1 of bus 1's root hub).
#pragma once

#include <string_view>
#include <vector>

#include "collectors/devices/id_database.h"
#include "collectors/devices/usb_descriptors.h"
#include "collectors/devices/vsi_usb.h"
#include "platform/usb.h"

namespace tavrin::collectors::usb {

/// Where a kernel name puts a device: its bus and the port on each hub from the root hub
/// down. "usb3" is the root hub of bus 3 (no ports); a name that is neither gives bus 0.
struct PortPath {
  int bus = 0;
  std::vector<int> ports;
};
PortPath ParseKernelName(std::string_view name);

/// The vendor and product ids of every record whose descriptors (or attributes) give them.
platform::IdKeys IdKeysOf(const std::vector<platform::UsbDeviceRecord>& records);

/// The interfaces of a configuration as a node lists them, named by the id file or the class
/// table (drivers are left to the caller).
std::vector<TUSBInterface> NodeInterfaces(const ConfigurationDescriptor& config,
                                          const IdDatabaseNames& names);

/// The nodes in walk order: each controller, its root hubs by bus, then every hub's children
/// by port, depth first. A device whose hub is not listed went away with it and is left out.
std::vector<TUSBNode> BuildTree(const std::vector<platform::UsbDeviceRecord>& records,
                                const IdDatabaseNames& names);

}  // namespace tavrin::collectors::usb
