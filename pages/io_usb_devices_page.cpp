// The I/O and USB devices page: the board's ports and the serial and parallel ports the kernel
// has, the USB tree, printers, sound devices, Bluetooth devices and the power state.
#include <cstdio>
#include <iterator>
#include <map>

#include "collectors/devices/vsi_devices.h"
#include "collectors/devices/vsi_usb.h"
#include "collectors/firmware/smbios_names.h"
#include "collectors/system_info.h"
#include "pages/fillers.h"
#include "pages/io_page_rows.h"
#include "pages/io_port_rows.h"
#include "pages/page_layouts.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {

namespace io_rows {

namespace sm = collectors::smbios;
using collectors::TUSBNode;

void AddNoItems(const FillContext& ctx, Page& page, int section, const platform::Provenance& source,
                std::string_view why) {
  const std::string reason =
      source.ok() || source.source.empty() ? std::string(why) : source.Explain();
  AddItemEx(ctx, page, section, -1, lbl::S_ITEMS_NOT_INSTALLED, lbl::S_NA, reason, false, 0,
            RowMeta{source});
}

std::string DetailLabel(std::string_view label) {
  return "\u250A " + std::string(label);
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const auto& p : parts) {
    if (p.empty()) continue;
    if (!text.empty()) text += ", ";
    text += p;
  }
  return text;
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

namespace {

std::string Hex(uint64_t v, int width = 0) {
  char text[24];
  std::snprintf(text, sizeof text, "%0*llX", width, static_cast<unsigned long long>(v));
  return text;
}

std::string ResourceText(const std::vector<platform::DeviceResource>& resources) {
  std::vector<std::string> parts;
  for (const auto& r : resources) {
    if (r.kind == platform::DeviceResource::Kind::Io)
      parts.push_back(FormatText(lbl::S_IO_RES_IO, {"0x" + Hex(r.start) + "-0x" + Hex(r.end)}));
    if (r.kind == platform::DeviceResource::Kind::Irq)
      parts.push_back(FormatText(lbl::S_IO_RES_IRQ, {std::to_string(r.start)}));
  }
  return Joined(parts);
}

// The USB rows are one flat list, and every view trims a label's leading blanks (the text
// layouts even align labels to the right), so the tree is drawn with visible marks: a branch
// before each node, and for each hub above it a line while that hub has more nodes to come,
// else a dotted guide. All four are box-drawing characters of one width, so the columns line
// up in the window's font as in a terminal, and the depth can be counted in every view.
constexpr std::string_view kBranch = "\u251C ", kLastBranch = "\u2514 ", kLine = "\u2502 ",
                           kGuide = "\u250A ";

class UsbGuides {
 public:
  explicit UsbGuides(const std::vector<TUSBNode>& nodes)
      : nodes_(nodes), last_(nodes.size(), true), parent_(nodes.size(), false) {
    std::map<int, std::size_t> lastOf;  // parent index -> its latest child so far
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      const int parent = nodes[i].ParentIndex;
      if (auto it = lastOf.find(parent); it != lastOf.end()) last_[it->second] = false;
      lastOf[parent] = i;
      if (parent >= 0 && static_cast<std::size_t>(parent) < nodes.size())
        parent_[static_cast<std::size_t>(parent)] = true;
    }
  }

  /// Before a node's own row; nothing for a host controller, which is the top.
  std::string Node(std::size_t index) const {
    if (nodes_[index].ParentIndex < 0) return {};
    return Ancestors(index) + std::string(last_[index] ? kLastBranch : kBranch);
  }

  /// Before the rows that describe a node, between it and its children.
  std::string Details(std::size_t index) const {
    std::string guides = Ancestors(index);
    if (nodes_[index].ParentIndex >= 0) guides += last_[index] ? kGuide : kLine;
    return parent_[index] ? guides + std::string(kLine) : guides;
  }

 private:
  // One column per hub between the controller and the node, top first.
  std::string Ancestors(std::size_t index) const {
    std::vector<std::string_view> columns;
    for (int a = nodes_[index].ParentIndex;
         a >= 0 && nodes_[static_cast<std::size_t>(a)].ParentIndex >= 0;
         a = nodes_[static_cast<std::size_t>(a)].ParentIndex)
      columns.push_back(last_[static_cast<std::size_t>(a)] ? kGuide : kLine);
    std::string text;
    for (auto it = columns.rbegin(); it != columns.rend(); ++it) text += *it;
    return text;
  }

  const std::vector<TUSBNode>& nodes_;
  std::vector<bool> last_;    // no later node shares its parent
  std::vector<bool> parent_;  // some node hangs below it
};

std::string NodeName(const TUSBNode& n) {
  if (!n.ConnectionName.empty()) return n.ConnectionName;
  if (!n.VendorName.empty()) return n.VendorName + " " + lbl::S_IO_USB_DEVICE;
  return lbl::S_IO_USB_DEVICE;
}

// The ids and the vendor are left out for a root hub: the kernel gives every root hub its own
// made-up descriptor, so they would name the kernel, not the hardware.
std::string NodeValue(const TUSBNode& n) {
  std::vector<std::string> parts;
  const bool root = n.USBClass == collectors::usb::usbRootHub;
  if (!root) {
    if (n.VendorID || n.ProductID)
      parts.push_back(FormatText(lbl::S_IO_USB_ID, {Hex(n.VendorID, 4), Hex(n.ProductID, 4)}));
    // The vendor only when the product's own name does not already carry it.
    if (!n.VendorName.empty() && NodeName(n).find(n.VendorName) == std::string::npos)
      parts.push_back(n.VendorName);
    else if (!n.Manufacturer.empty() && NodeName(n).find(n.Manufacturer) == std::string::npos)
      parts.push_back(n.Manufacturer);
  }
  if (n.bcdUSB)
    parts.push_back(FormatText(lbl::S_IO_USB_VERSION, {std::to_string(n.MajorVersion) + "." +
                                                       (n.MinorVersion < 10 ? "0" : "") +
                                                       std::to_string(n.MinorVersion)}));
  if (n.SpeedMbps) {
    const double s = *n.SpeedMbps;
    parts.push_back(FormatText(
        lbl::S_IO_USB_SPEED,
        {s == static_cast<double>(static_cast<int64_t>(s)) ? std::to_string(static_cast<int64_t>(s))
                                                           : Fixed(s, 1)}));
  }
  if (n.Ports > 0) parts.push_back(FormatText(lbl::S_IO_USB_PORTS, {std::to_string(n.Ports)}));
  if (n.MaxPowerMilliamps && *n.MaxPowerMilliamps > 0)
    parts.push_back(FormatText(lbl::S_IO_USB_POWER, {std::to_string(*n.MaxPowerMilliamps)}));
  return Joined(parts);
}

// USB_CONNECTION_STATUS in words.
std::string PortStatusText(int status) {
  static const std::string* const kTexts[] = {&lbl::S_IO_USB_NO_DEVICE,
                                              nullptr,
                                              &lbl::S_IO_USB_FAILED_ENUMERATION,
                                              &lbl::S_IO_USB_GENERAL_FAILURE,
                                              &lbl::S_IO_USB_OVERCURRENT,
                                              &lbl::S_IO_USB_NOT_ENOUGH_POWER,
                                              &lbl::S_IO_USB_NOT_ENOUGH_BANDWIDTH,
                                              &lbl::S_IO_USB_NESTED_TOO_DEEPLY,
                                              &lbl::S_IO_USB_IN_LEGACY_HUB,
                                              &lbl::S_IO_USB_ENUMERATING,
                                              &lbl::S_IO_USB_RESET};
  if (status >= 0 && status < static_cast<int>(std::size(kTexts)) && kTexts[status])
    return *kTexts[status];
  return FormatText(lbl::S_IO_USB_STATUS, {std::to_string(status)});
}

void AddUsbDetails(const FillContext& ctx, Page& page, const TUSBNode& n, const std::string& in) {
  constexpr int k = io_section::kUsb;
  const RowMeta meta{n.DescriptorSource};
  AddItemEx(ctx, page, k, -1, in + lbl::S_IO_USB_MANUFACTURER, n.Manufacturer, "", true, 0, meta);
  if (n.Product != n.ConnectionName)
    AddItemEx(ctx, page, k, -1, in + lbl::S_IO_USB_PRODUCT, n.Product, "", true, 0, meta);
  RowMeta serial{n.DescriptorSource, true};
  AddItemEx(ctx, page, k, -1, in + lbl::S_IO_USB_SERIAL, n.Serial, "", true, 0, serial);
  for (const auto& i : n.Interfaces)
    AddItemEx(
        ctx, page, k, -1, in + FormatText(lbl::S_IO_USB_INTERFACE, {std::to_string(i.Number)}),
        i.ClassName.empty() ? Hex(i.Class, 2) + "/" + Hex(i.SubClass, 2) + "/" + Hex(i.Protocol, 2)
                            : i.ClassName,
        i.Driver.empty() ? std::string() : FormatText(lbl::S_IO_USB_DRIVER, {i.Driver}), true, 0,
        meta);
  for (const auto& s : n.Storage) {
    std::string mounts;
    for (const auto& m : s.MountPoints) mounts += (mounts.empty() ? "" : ", ") + m;
    AddItemEx(ctx, page, k, -1, in + FormatText(lbl::S_IO_USB_STORAGE, {s.Device}),
              mounts.empty() ? lbl::S_IO_USB_NOT_MOUNTED : mounts, "", false, 0, meta);
  }
  if (!n.DescriptorSource.ok() && !n.DescriptorSource.source.empty())
    AddItemEx(ctx, page, k, -1, in + lbl::S_IO_USB_UNREADABLE, n.DescriptorSource.Explain(), "",
              true, 0, meta);
  for (const auto& p : n.DescriptorProblems)
    AddItemEx(ctx, page, k, -1, in + lbl::S_IO_USB_PROBLEM, p, "", true, 0, meta);
}

}  // namespace

void AddPortRows(const FillContext& ctx, Page& page) {
  constexpr int k = io_section::kPorts;
  const auto& smbios = ctx.info.Machine().SMBIOS;
  for (const auto& port : smbios.Ports) {
    const std::string name = TrimText(port.ExternalDesignator).empty() ? port.InternalDesignator
                                                                       : port.ExternalDesignator;
    const uint8_t connector =
        port.ExternalConnector ? port.ExternalConnector : port.InternalConnector;
    AddItemEx(
        ctx, page, k, -1, FormatText(lbl::S_IO_BOARD_PORT, {name}),
        std::string(sm::NameOf(sm::PortTypeNames(), port.Typ)),
        connector ? std::string(sm::NameOf(sm::ConnectorTypeNames(), connector)) : std::string(),
        false, 0, RowMeta{smbios.TableSource});
  }
  // The serial and parallel ports the kernel found, from the device list.
  const auto& devices = ctx.info.Devices();
  for (const auto& d : devices.List()) {
    if (d.ClassName != "Ports") continue;
    AddItemEx(ctx, page, k, -1, d.Name, ResourceText(d.Resources), d.Service, false, 0,
              RowMeta{devices.Source});
  }
  AddParallelPortRows(ctx, page, k);
  if (page.Sections()[k].Items.empty())
    AddNoItems(ctx, page, k, smbios.TableSource.ok() ? devices.Source : smbios.TableSource);
}

void AddUsbRows(const FillContext& ctx, Page& page) {
  constexpr int k = io_section::kUsb;
  const auto& usb = ctx.info.USB();
  if (usb.Nodes().empty()) {
    AddNoItems(ctx, page, k, usb.Source);
    return;
  }
  AddItemEx(
      ctx, page, k, -1, lbl::S_IO_USB_CONNECTED, std::to_string(usb.ConnectedDevices()), "", false,
      0,
      RowMeta{usb.Source, false,
              Quantity::Of(static_cast<uint64_t>(usb.ConnectedDevices()), QuantityUnit::kCount)});
  const auto& nodes = usb.Nodes();
  const UsbGuides guides(nodes);
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const TUSBNode& n = nodes[i];
    const RowMeta meta{n.DescriptorSource.source.empty() ? usb.Source : n.DescriptorSource};
    if (n.USBClass == collectors::usb::usbHostController) {
      AddItemEx(
          ctx, page, k, 4,
          guides.Node(i) + (n.ConnectionName.empty() ? lbl::S_IO_USB_CONTROLLER : n.ConnectionName),
          n.KeyName,
          n.Driver.empty() ? std::string() : FormatText(lbl::S_IO_USB_DRIVER, {n.Driver}), false, 0,
          RowMeta{usb.Source});
      continue;
    }
    if (n.USBClass == collectors::usb::usbRootHub) {
      // The ports of the controller itself, shown by the kernel as a hub.
      const bool known = n.ParentIndex >= 0 && static_cast<std::size_t>(n.ParentIndex) < i;
      const std::string controller =
          known ? nodes[static_cast<std::size_t>(n.ParentIndex)].KeyName : std::string();
      // A Windows root hub has no bus number.
      AddItemEx(
          ctx, page, k, 4,
          guides.Node(i) + (n.Bus > 0 ? FormatText(lbl::S_IO_USB_ROOT_HUB, {std::to_string(n.Bus)})
                                      : lbl::S_IO_USB_ROOT_HUB_PLAIN),
          NodeValue(n),
          controller.empty() ? std::string() : FormatText(lbl::S_IO_USB_ROOT_HUB_OF, {controller}),
          false, 0, meta);
      continue;
    }
    // A port a Windows hub reports without a working device: the port and what the hub says.
    if (n.ConnectionStatus != collectors::usbDeviceConnected) {
      AddItemEx(ctx, page, k, 4,
                guides.Node(i) + FormatText(lbl::S_SMB_PORT, {std::to_string(n.Port)}),
                PortStatusText(n.ConnectionStatus), "", false, 0, meta);
      continue;
    }
    // A Windows device names the driver service the system gave it beside its class.
    AddItemEx(
        ctx, page, k, 4,
        guides.Node(i) + FormatText(lbl::S_PRINTER, {NodeName(n), std::to_string(n.Port)}),
        NodeValue(n),
        Joined({n.USBClassname,
                n.Driver.empty() ? std::string() : FormatText(lbl::S_IO_USB_DRIVER, {n.Driver})}),
        false, 0, meta);
    AddUsbDetails(ctx, page, n, guides.Details(i));
  }
}

}  // namespace io_rows

void FillIoPage(const FillContext& ctx, Page& page) {
  io_rows::AddPortRows(ctx, page);
  io_rows::AddUsbRows(ctx, page);
  io_rows::AddPrinterRows(ctx, page);
  io_rows::AddAudioRows(ctx, page);
  io_rows::AddBluetoothRows(ctx, page);
  io_rows::AddPowerRows(ctx, page);
}

}  // namespace tavrin::pages
