#include "collectors/devices/windows_usb_walk.h"

#include <memory>
#include <optional>
#include <set>

#include "base/strings.h"
#include "collectors/devices/usb_descriptors.h"
#include "collectors/devices/usb_tree.h"
#include "collectors/devices/windows_usb_registry.h"
#include "collectors/devices/windows_usb_structs.h"

namespace tavrin::collectors::usb::win {
namespace {

using platform::ControlReply;

constexpr uint16_t kConfigurationValue = 0x0200;  // descriptor type 2, index 0
constexpr uint16_t kStringValue = 0x0300;         // descriptor type 3, index in the low byte

std::string DevicePath(std::string_view name) {
  return "\\\\.\\" + std::string(name);
}

// A name query's text, or what went wrong in its place: "Error: <message> (<code>)".
template <typename Decode>
std::pair<std::string, bool> NameOrError(const ControlReply& reply, Decode decode) {
  if (!reply.ok)
    return {"Error: " + reply.message + " (" + std::to_string(reply.error) + ")", false};
  auto name = decode(reply.output);
  return {name.value_or(std::string()), name.has_value() && !name->empty()};
}

void SetVersion(TUSBNode& n, uint16_t bcdUSB) {
  n.bcdUSB = bcdUSB;
  n.MajorVersion = (bcdUSB >> 12) * 10 + (bcdUSB >> 8 & 0xF);
  n.MinorVersion = (bcdUSB >> 4 & 0xF) * 10 + (bcdUSB & 0xF);
}

class Walk {
 public:
  Walk(const platform::DeviceControlService& controls, const platform::Registry* registry)
      : controls_(controls) {
    if (registry) registry_ = std::make_unique<UsbRegistry>(*registry);
  }

  WalkResult Run() {
    WalkResult result;
    std::optional<platform::Provenance> firstRefusal;
    int opened = 0;
    for (int number = 0; number <= 9; ++number) {
      const std::string controller = DevicePath("HCD" + std::to_string(number));
      const ControlReply open = controls_.Open(controller);
      if (!open.ok) {
        if (!firstRefusal) firstRefusal = open.Source("open " + controller);
        continue;
      }
      ++opened;
      Controller(controller);
    }
    result.source =
        opened > 0
            ? platform::Provenance::Answered("USB host controllers \\\\.\\HCD0 .. \\\\.\\HCD9")
            : *firstRefusal;
    result.nodes = std::move(nodes_);
    return result;
  }

 private:
  int Append(TUSBNode node) {
    nodes_.push_back(std::move(node));
    return static_cast<int>(nodes_.size()) - 1;
  }

  void Controller(const std::string& device) {
    TUSBNode c;
    c.USBClass = usbHostController;
    c.ConnectionStatus = usbDeviceConnected;
    c.KeyName =
        NameOrError(controls_.Control(device, kGetHcdDriverKeyName, NameRequest()), DecodeName)
            .first;
    if (registry_) c.ConnectionName = registry_->DriverDescription(c.KeyName);
    const int index = Append(std::move(c));

    TUSBNode root;
    root.USBClass = usbRootHub;
    root.ConnectionStatus = usbDeviceConnected;
    root.Level = 1;
    root.ParentIndex = index;
    const auto [name, named] =
        NameOrError(controls_.Control(device, kGetRootHubName, NameRequest()), DecodeName);
    root.KeyName = name;
    const int rootIndex = Append(std::move(root));
    if (named) Hub(DevicePath(name), rootIndex);
  }

  // The ports of the hub at node `hubIndex`. A hub that does not open or answer keeps its
  // node, without ports. A hub already walked is not walked again: a damaged snapshot whose
  // hub names itself (or an ancestor) on a port would otherwise recurse without end.
  void Hub(const std::string& device, int hubIndex) {
    if (!walked_.insert(base::Lower(device)).second) return;
    if (!controls_.Open(device).ok) return;
    const ControlReply reply =
        controls_.Control(device, kGetNodeInformation, NodeInformationRequest());
    const auto info = reply.ok ? DecodeNodeInformation(reply.output) : std::nullopt;
    if (!info) return;
    nodes_[static_cast<std::size_t>(hubIndex)].Ports = info->numberOfPorts;
    const int level = nodes_[static_cast<std::size_t>(hubIndex)].Level + 1;
    for (uint32_t port = 1; port <= info->numberOfPorts; ++port)
      Port(device, hubIndex, level, port);
  }

  void Port(const std::string& hub, int hubIndex, int level, uint32_t port) {
    const ControlReply reply =
        controls_.Control(hub, kGetNodeConnectionInformation, ConnectionInformationRequest(port));
    const auto connection = reply.ok ? DecodeConnectionInformation(reply.output) : std::nullopt;
    if (!connection) return;
    TUSBNode n;
    n.ParentIndex = hubIndex;
    n.Level = level;
    n.Port = static_cast<int>(port);
    n.ConnectionStatus = static_cast<int>(connection->connectionStatus);
    if (connection->connectionStatus != kDeviceConnected) {
      Append(std::move(n));  // an empty or failed port: its status is all there is
      return;
    }
    const DeviceDescriptor& d = connection->device;
    n.VendorID = d.idVendor;
    n.ProductID = d.idProduct;
    n.bcdDevice = d.bcdDevice;
    n.DeviceClassCode = d.deviceClass;
    n.DeviceAddress = connection->deviceAddress;
    SetVersion(n, d.bcdUSB);
    if (connection->lowSpeed) n.SpeedMbps = 1.5;
    if (connection->deviceIsHub) {
      n.USBClass = usbHub;
      const auto [name, named] =
          NameOrError(controls_.Control(hub, kGetNodeConnectionName, ConnectionNameRequest(port)),
                      DecodeConnectionName);
      n.KeyName = name;
      // The hub's own instance names it ("Generic USB Hub"); its driver key leads there.
      const auto [driverKey, keyed] = NameOrError(
          controls_.Control(hub, kGetNodeConnectionDriverKeyName, ConnectionNameRequest(port)),
          DecodeConnectionName);
      if (keyed) Registry(n, driverKey);
      const int index = Append(std::move(n));
      if (named) Hub(DevicePath(name), index);
      return;
    }
    n.KeyName = NameOrError(controls_.Control(hub, kGetNodeConnectionDriverKeyName,
                                              ConnectionNameRequest(port)),
                            DecodeConnectionName)
                    .first;
    Configuration(n, hub, port, *connection);
    Strings(n, hub, port, d);
    Registry(n, n.KeyName);
    if (n.ConnectionName.empty()) n.ConnectionName = n.Product;
    Append(std::move(n));
  }

  // The first configuration, decoded behind the device descriptor the connection reported so
  // that the standard decoder reads them as one device's descriptors.
  void Configuration(TUSBNode& n, const std::string& hub, uint32_t port,
                     const ConnectionInformation& connection) {
    const ControlReply reply = controls_.Control(hub, kGetDescriptorFromNodeConnection,
                                                 DescriptorRequest(port, kConfigurationValue, 0));
    n.DescriptorSource = reply.Source("configuration descriptor of port " + std::to_string(port));
    const auto data = reply.ok ? DescriptorData(reply.output) : std::nullopt;
    if (!data) return;
    std::string bytes = connection.deviceDescriptorBytes;
    bytes[0] = 18;
    bytes[1] = static_cast<char>(kDeviceDescriptor);
    const Descriptors decoded = DecodeDescriptors(bytes + *data);
    n.DescriptorProblems = decoded.problems;
    n.Configurations = static_cast<int>(decoded.configurations.size());
    if (decoded.configurations.empty()) return;
    const ConfigurationDescriptor& config = decoded.configurations.front();
    n.MaxPower = config.maxPower;
    n.MaxPowerMilliamps = MaxPowerMilliamps(config, n.bcdUSB >= 0x0300);
    n.Interfaces = NodeInterfaces(config, names_);
  }

  // The language table first; the texts then in the first language it lists.
  void Strings(TUSBNode& n, const std::string& hub, uint32_t port, const DeviceDescriptor& d) {
    if (!d.iManufacturer && !d.iProduct && !d.iSerialNumber) return;
    const ControlReply table = controls_.Control(hub, kGetDescriptorFromNodeConnection,
                                                 DescriptorRequest(port, kStringValue, 0));
    const auto tableData = table.ok ? DescriptorData(table.output) : std::nullopt;
    const auto languages = tableData ? DecodeLanguageTable(*tableData) : std::vector<uint16_t>();
    if (languages.empty()) return;
    auto text = [&](uint8_t index) -> std::string {
      if (index == 0) return {};
      const ControlReply r = controls_.Control(
          hub, kGetDescriptorFromNodeConnection,
          DescriptorRequest(port, static_cast<uint16_t>(kStringValue | index), languages.front()));
      const auto data = r.ok ? DescriptorData(r.output) : std::nullopt;
      return data ? DecodeStringDescriptor(*data).value_or(std::string()) : std::string();
    };
    n.Manufacturer = text(d.iManufacturer);
    n.Product = text(d.iProduct);
    n.Serial = text(d.iSerialNumber);
  }

  void Registry(TUSBNode& n, const std::string& driverKey) {
    const auto view = registry_ ? registry_->Find(driverKey) : std::nullopt;
    // The kind: the class the driver stack gave the device, the deepest instance first (a
    // keyboard's HID instance says "Keyboard" where the USB one says "HIDClass"); the
    // descriptors when the registry says nothing of it.
    std::string className;
    if (view) {
      for (const UsbInstance* i : {view->storage ? &*view->storage : nullptr,
                                   view->hid ? &*view->hid : nullptr, &view->usb})
        if (i && !i->className.empty() && className.empty()) className = i->className;
    }
    int kind = NodeKindOfRegistryClass(className);
    if (kind == usbEmpty && n.USBClass != usbHub) {
      uint8_t code = n.DeviceClassCode;
      if (code == 0 && !n.Interfaces.empty()) code = n.Interfaces.front().Class;
      kind = NodeKindOfClass(code);
    }
    if (n.USBClass != usbHub) n.USBClass = kind;
    n.USBClassname = className;
    n.USBDevice.USBClass = n.USBClass;
    n.USBDevice.DeviceClass = className;
    if (!view) return;
    n.Timestamp = view->usb.timestamp;
    n.Driver = view->usb.service;
    n.USBDevice.Name = view->storage ? view->storageName : view->usb.description;
    n.USBDevice.Timestamp = view->usb.timestamp;
    n.USBDevice.Drive = view->drive;
    n.USBDevice.IntfGUID = InterfaceGuidOf(view->usb.symbolicName);
    if (view->storage) {
      TUSBStorage s;
      s.Device = view->storageName.empty() ? view->storage->device : view->storageName;
      if (!view->drive.empty()) s.MountPoints.push_back(view->drive);
      n.Storage.push_back(std::move(s));
    }
    // Named by the product text when the device has one (set by the caller), else by what
    // the registry calls it.
    if (n.Product.empty())
      n.ConnectionName = !view->storageName.empty() ? view->storageName : view->usb.description;
  }

  const platform::DeviceControlService& controls_;
  std::unique_ptr<UsbRegistry> registry_;
  IdDatabaseNames names_;  // a Windows snapshot carries no id file: class names from the table
  std::vector<TUSBNode> nodes_;
  std::set<std::string> walked_;  ///< hub device names, lower case (names ignore case)
};

}  // namespace

TUSBClass NodeKindOfRegistryClass(std::string_view className) {
  static constexpr std::pair<std::string_view, TUSBClass> kKinds[] = {
      {"HIDClass", usbHID},        {"Keyboard", usbHID},          {"Mouse", usbHID},
      {"DiskDrive", usbStorage},   {"CDROM", usbStorage},         {"FloppyDisk", usbStorage},
      {"WPD", usbStorage},         {"Image", usbImage},           {"Camera", usbImage},
      {"Printer", usbPrinter},     {"MEDIA", usbAudio},           {"Modem", usbCommunication},
      {"Ports", usbCommunication}, {"Net", usbCommunication},     {"Monitor", usbMonitor},
      {"Bluetooth", usbOther},     {"SmartCardReader", usbOther},
  };
  for (const auto& [name, kind] : kKinds)
    if (base::EqualsNoCase(name, className)) return kind;
  return usbEmpty;
}

WalkResult WalkUsbControllers(const platform::DeviceControlService& controls,
                              const platform::Registry* registry) {
  return Walk(controls, registry).Run();
}

}  // namespace tavrin::collectors::usb::win
