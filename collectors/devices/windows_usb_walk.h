// The USB tree of a Windows machine, walked the way its drivers offer it: each host controller
// (\\.\HCD0 .. \\.\HCD9) names its root hub, each hub answers per port what is connected there,
// hubs below hubs are opened by the name their parent port gives, and each device's driver key
// leads to its Plug and Play instance in the registry.
#pragma once

#include <vector>

#include "collectors/devices/vsi_usb.h"
#include "platform/device_control.h"
#include "platform/registry.h"

namespace tavrin::collectors::usb::win {

struct WalkResult {
  std::vector<TUSBNode> nodes;  ///< walk order: a parent before its children
  /// Which controllers answered, or why none did (the first refusal).
  platform::Provenance source;
};

/// `registry` may be null: the nodes then carry only what the devices said.
WalkResult WalkUsbControllers(const platform::DeviceControlService& controls,
                              const platform::Registry* registry);

/// The node kind a registry class name gives a device ("Keyboard", "DiskDrive"); kEmpty for
/// "USB" and names that say nothing of the kind, so the descriptors decide.
TUSBClass NodeKindOfRegistryClass(std::string_view className);

}  // namespace tavrin::collectors::usb::win
