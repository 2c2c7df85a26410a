#include "collectors/devices/vsi_usb.h"

#include "collectors/devices/id_database.h"
#include "collectors/devices/usb_tree.h"
#include "collectors/devices/windows_usb_walk.h"
#include "platform/usb.h"

namespace tavrin::collectors {

void TVexa_USB::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  nodes_.clear();
  IdsSource = {};
  // A Windows machine describes its tree through the controllers' and hubs' I/O controls.
  if (const auto& controls = Platform().deviceControl) {
    auto walk = usb::win::WalkUsbControllers(*controls, Platform().registry.get());
    nodes_ = std::move(walk.nodes);
    Source = std::move(walk.source);
    return;
  }
  const auto& service = Platform().usb;
  if (!service) {
    Source = platform::Provenance::Failure(platform::Status::NotSupported, "USB",
                                           "the source holds no USB tree");
    return;
  }
  auto devices = service->Devices();
  Source = devices.source;
  if (!devices) return;
  IdDatabaseNames names;
  const platform::IdKeys keys = usb::IdKeysOf(*devices);
  if (!devices->empty()) {
    auto ids = service->IdEntries(keys);
    IdsSource = ids.source;
    if (ids) names = IdDatabaseNames::Parse(*ids);
  }
  nodes_ = usb::BuildTree(*devices, names);
}

TUSBNode TVexa_USB::Node(int32_t index) const {
  if (index < 0 || index >= NodeCount()) return {};
  return nodes_[static_cast<std::size_t>(index)];
}

int32_t TVexa_USB::ConnectedDevices() const {
  int32_t count = 0;
  for (const auto& n : nodes_)
    if (n.ConnectionStatus == usbDeviceConnected &&
        (n.USBClass < usb::usbHub || n.USBClass == usb::usbOther))
      ++count;
  return count;
}

}  // namespace tavrin::collectors
