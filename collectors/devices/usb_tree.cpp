#include "collectors/devices/usb_tree.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <tuple>

#include "collectors/devices/usb_descriptors.h"

namespace tavrin::collectors::usb {
namespace {

int Number(std::string_view text, int base = 10) {
  int value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return r.ec == std::errc() ? value : 0;
}

// The descriptor fields of a record: decoded from its bytes, or rebuilt from the kernel's
// attributes when the bytes could not be read.
struct Facts {
  Descriptors descriptors;
  std::optional<uint32_t> fallbackMilliamps;
};

Facts FactsOf(const platform::UsbDeviceRecord& r) {
  Facts f;
  if (r.descriptors.ok()) {
    f.descriptors = DecodeDescriptors(*r.descriptors);
    return f;
  }
  const auto& a = r.attributes;
  if (a.idVendor.empty() && a.idProduct.empty()) return f;
  DeviceDescriptor d;
  d.idVendor = static_cast<uint16_t>(Number(a.idVendor, 16));
  d.idProduct = static_cast<uint16_t>(Number(a.idProduct, 16));
  d.bcdDevice = static_cast<uint16_t>(Number(a.bcdDevice, 16));
  d.deviceClass = static_cast<uint8_t>(Number(a.bDeviceClass, 16));
  // "version" is " 2.00": whole and hundredths as decimal digits, stored as BCD.
  std::string_view v = a.version;
  while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
  if (auto dot = v.find('.'); dot != std::string_view::npos) {
    const int major = Number(v.substr(0, dot)), minor = Number(v.substr(dot + 1));
    d.bcdUSB = static_cast<uint16_t>((major / 10 % 10) << 12 | (major % 10) << 8 |
                                     (minor / 10 % 10) << 4 | (minor % 10));
  }
  f.descriptors.device = d;
  if (!a.bMaxPower.empty()) f.fallbackMilliamps = static_cast<uint32_t>(Number(a.bMaxPower));
  return f;
}

std::optional<double> Speed(std::string_view text) {
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc()) return std::nullopt;
  return value;
}

std::string ClassNameOf(const IdDatabaseNames& names, int cls, int sub, int prot,
                        bool ofDevice = false) {
  std::string base = names.Class(cls);
  if (base.empty()) base = std::string(ClassName(static_cast<uint8_t>(cls)));
  if (base.empty()) return {};
  // The id file names a hub's only subclass "Unused", and knows few of its protocols: the
  // device protocol says what kind of hub it is (the interface's protocol only tells the
  // translator settings apart, and is 0 on most high-speed hubs).
  if (cls == 0x09) {
    const auto kind = ofDevice ? HubKindName(static_cast<uint8_t>(prot)) : std::string_view();
    return kind.empty() ? base : base + ": " + std::string(kind);
  }
  // Without an id file (a Windows snapshot) the class table's name is all there is.
  const std::string subName = names.Class(cls, sub), protName = names.Class(cls, sub, prot);
  if (subName.empty()) return base;
  if (protName != subName) return base + ": " + protName;
  if (subName != base) return base + ": " + subName;
  return base;
}

TUSBNode DeviceNode(const platform::UsbDeviceRecord& r, const IdDatabaseNames& names) {
  TUSBNode n;
  const Facts facts = FactsOf(r);
  n.KeyName = r.name;
  n.Manufacturer = r.manufacturer;
  n.Product = r.product;
  n.Serial = r.serial;
  n.DeviceAddress = r.devnum;
  n.Bus = r.busnum;
  n.Ports = r.maxChild;
  n.ConnectionStatus = usbDeviceConnected;
  n.SpeedMbps = Speed(r.speed);
  n.DescriptorSource = r.descriptors.source;
  n.DescriptorProblems = facts.descriptors.problems;
  const auto& device = facts.descriptors.device;
  if (device) {
    n.VendorID = device->idVendor;
    n.ProductID = device->idProduct;
    n.bcdUSB = device->bcdUSB;
    n.bcdDevice = device->bcdDevice;
    n.DeviceClassCode = device->deviceClass;
    n.MajorVersion = (device->bcdUSB >> 12) * 10 + (device->bcdUSB >> 8 & 0xF);
    n.MinorVersion = (device->bcdUSB >> 4 & 0xF) * 10 + (device->bcdUSB & 0xF);
    n.VendorName = names.Vendor(device->idVendor);
    n.ProductName = names.Device(device->idVendor, device->idProduct);
  }
  n.Configurations = static_cast<int>(facts.descriptors.configurations.size());
  if (!facts.descriptors.configurations.empty()) {
    const auto& config = facts.descriptors.configurations.front();
    n.MaxPower = config.maxPower;
    n.MaxPowerMilliamps = MaxPowerMilliamps(config, n.SpeedMbps && *n.SpeedMbps >= 5000);
    n.Interfaces = NodeInterfaces(config, names);
  } else {
    n.MaxPowerMilliamps = facts.fallbackMilliamps;
  }
  // The kernel's interface records say which driver took each interface: matched by the
  // interface number at the end of their names ("1-1.2:1.0").
  for (const auto& ri : r.interfaces) {
    const auto dot = ri.name.rfind('.');
    const int number = dot == std::string::npos ? -1 : Number(ri.name.substr(dot + 1), 16);
    for (auto& i : n.Interfaces)
      if (i.Number == number) i.Driver = ri.driver;
    for (const auto& block : ri.blockDevices) n.Storage.push_back({block.name, block.mountPoints});
  }
  // A device that leaves its class to the interfaces is named by its first interface.
  int cls = n.DeviceClassCode, sub = device ? device->deviceSubClass : 0,
      prot = device ? device->deviceProtocol : 0;
  if (cls == 0 && !n.Interfaces.empty()) {
    cls = n.Interfaces.front().Class;
    sub = n.Interfaces.front().SubClass;
    prot = n.Interfaces.front().Protocol;
  }
  n.USBClass = NodeKindOfClass(static_cast<uint8_t>(cls));
  n.USBClassname = (cls == 0 && n.Interfaces.empty())
                       ? std::string()
                       : ClassNameOf(names, cls, sub, prot, cls == n.DeviceClassCode);
  n.ConnectionName = !n.Product.empty() ? n.Product : n.ProductName;
  n.USBDevice.Name = n.ConnectionName;
  n.USBDevice.USBClass = n.USBClass;
  n.USBDevice.DeviceClass = n.USBClassname;
  for (const auto& s : n.Storage)
    if (n.USBDevice.Drive.empty() && !s.MountPoints.empty()) n.USBDevice.Drive = s.MountPoints[0];
  return n;
}

struct Walk {
  const std::vector<platform::UsbDeviceRecord>& records;
  const IdDatabaseNames& names;
  std::map<std::string, std::vector<std::size_t>> children;  // parent name -> records
  std::vector<TUSBNode> nodes;

  void Add(std::size_t record, int parent, int level) {
    TUSBNode node = DeviceNode(records[record], names);
    node.ParentIndex = parent;
    node.Level = level;
    const PortPath path = ParseKernelName(records[record].name);
    node.Port = path.ports.empty() ? 0 : path.ports.back();
    if (path.ports.empty()) node.USBClass = usbRootHub;
    const int index = static_cast<int>(nodes.size());
    nodes.push_back(std::move(node));
    auto it = children.find(records[record].name);
    if (it == children.end()) return;
    for (std::size_t child : it->second) Add(child, index, level + 1);
  }
};

std::string ParentName(std::string_view name) {
  const PortPath path = ParseKernelName(name);
  if (path.ports.size() <= 1) return "usb" + std::to_string(path.bus);
  const auto dot = name.rfind('.');
  return std::string(name.substr(0, dot));
}

}  // namespace

std::vector<TUSBInterface> NodeInterfaces(const ConfigurationDescriptor& config,
                                          const IdDatabaseNames& names) {
  std::vector<TUSBInterface> list;
  for (const InterfaceDescriptor* intf : PrimaryInterfaces(config)) {
    TUSBInterface i;
    i.Number = intf->number;
    i.Class = intf->interfaceClass;
    i.SubClass = intf->interfaceSubClass;
    i.Protocol = intf->interfaceProtocol;
    i.Endpoints = intf->numEndpoints;
    i.ClassName = ClassNameOf(names, i.Class, i.SubClass, i.Protocol);
    list.push_back(std::move(i));
  }
  return list;
}

PortPath ParseKernelName(std::string_view name) {
  PortPath path;
  if (name.rfind("usb", 0) == 0) {
    path.bus = Number(name.substr(3));
    return path;
  }
  const auto dash = name.find('-');
  if (dash == std::string_view::npos || name.find(':') != std::string_view::npos) return path;
  path.bus = Number(name.substr(0, dash));
  std::string_view rest = name.substr(dash + 1);
  while (!rest.empty()) {
    const auto dot = rest.find('.');
    path.ports.push_back(Number(rest.substr(0, dot)));
    if (dot == std::string_view::npos) break;
    rest.remove_prefix(dot + 1);
  }
  return path;
}

platform::IdKeys IdKeysOf(const std::vector<platform::UsbDeviceRecord>& records) {
  platform::IdKeys keys;
  for (const auto& r : records) {
    const Facts f = FactsOf(r);
    if (f.descriptors.device)
      keys.emplace_back(f.descriptors.device->idVendor, f.descriptors.device->idProduct);
  }
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  return keys;
}

std::vector<TUSBNode> BuildTree(const std::vector<platform::UsbDeviceRecord>& records,
                                const IdDatabaseNames& names) {
  Walk walk{records, names, {}, {}};
  // Root hubs by controller, in bus order; every other device under its parent by port.
  std::vector<std::size_t> roots;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const PortPath path = ParseKernelName(records[i].name);
    if (path.bus == 0) continue;
    if (path.ports.empty()) {
      roots.push_back(i);
    } else {
      walk.children[ParentName(records[i].name)].push_back(i);
    }
  }
  auto byPath = [&](std::size_t a, std::size_t b) {
    const PortPath pa = ParseKernelName(records[a].name), pb = ParseKernelName(records[b].name);
    return std::tie(pa.bus, pa.ports) < std::tie(pb.bus, pb.ports);
  };
  std::sort(roots.begin(), roots.end(), byPath);
  for (auto& [parent, list] : walk.children) std::sort(list.begin(), list.end(), byPath);

  std::vector<std::string> controllers;
  for (std::size_t root : roots) {
    const auto& r = records[root];
    const std::string key = r.controller.empty() ? r.name : r.controller;
    if (std::find(controllers.begin(), controllers.end(), key) != controllers.end()) continue;
    controllers.push_back(key);
    TUSBNode controller;
    controller.KeyName = key;
    controller.Driver = r.controllerDriver;
    controller.USBClass = usbHostController;
    controller.ConnectionStatus = usbDeviceConnected;
    controller.ConnectionName = r.product;
    controller.Manufacturer = r.manufacturer;
    controller.Level = 0;
    controller.ParentIndex = -1;
    const int index = static_cast<int>(walk.nodes.size());
    walk.nodes.push_back(std::move(controller));
    for (std::size_t other : roots) {
      const auto& o = records[other];
      if ((o.controller.empty() ? o.name : o.controller) == key) walk.Add(other, index, 1);
    }
  }
  return walk.nodes;
}

}  // namespace tavrin::collectors::usb
