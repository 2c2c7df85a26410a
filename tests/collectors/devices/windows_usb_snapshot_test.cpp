// The USB tree of a hand-written Windows snapshot: a controller with its root hub, an
// external hub with a keyboard and an empty port, a mass-storage stick with its drive letter,
// a device whose driver key query fails and a port without enough power. It is replayed
// through OpenSnapshot, the collector and the I/O page.
#include <gtest/gtest.h>

#include <map>

#include "base/strings.h"
#include "collectors/devices/vsi_usb.h"
#include "collectors/devices/windows_usb_structs.h"
#include "collectors/system_info.h"
#include "gather/controller.h"
#include "pages/categories.h"
#include "platform/device_control.h"
#include "platform/os_facts_json.h"
#include "platform/recorded/snapshot.h"
#include "platform/utf16.h"
#include "tests/support/test_services.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::collectors {
namespace {

namespace win = usb::win;

// Byte images of the replies, built by hand from the structure layouts.
std::string Le(uint32_t v, int bytes) {
  std::string b;
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
  return b;
}
std::string Utf16(const std::string& text) {
  std::string b;
  for (char16_t u : platform::Utf8ToUtf16(text)) b += Le(u, 2);
  return b;
}
// USB_HCD_DRIVERKEY_NAME / USB_ROOT_HUB_NAME: ActualLength, the text, its NUL.
std::string NameReply(const std::string& text) {
  const std::string units = Utf16(text) + Le(0, 2);
  return Le(static_cast<uint32_t>(4 + units.size()), 4) + units;
}
// USB_NODE_CONNECTION_NAME / _DRIVERKEY_NAME: the port first.
std::string ConnectionNameReply(uint32_t port, const std::string& text) {
  const std::string units = Utf16(text) + Le(0, 2);
  return Le(port, 4) + Le(static_cast<uint32_t>(8 + units.size()), 4) + units;
}
// USB_NODE_INFORMATION of a hub with `ports` ports: NodeType 0, hub descriptor, masks.
std::string NodeInfoReply(int ports) {
  std::string b = Le(0, 4) + std::string{9, 0x29, static_cast<char>(ports)} + Le(0, 2) + "\x32\x64";
  return b + std::string(64, '\0') + "\x01";
}
// USB device descriptor.
std::string DeviceDescriptor(uint16_t bcdUSB, uint8_t cls, uint16_t vendor, uint16_t product,
                             uint8_t iManufacturer, uint8_t iProduct, uint8_t iSerial) {
  return std::string{18, 1} + Le(bcdUSB, 2) + std::string{static_cast<char>(cls), 0, 0, 64} +
         Le(vendor, 2) + Le(product, 2) + Le(0x0100, 2) +
         std::string{static_cast<char>(iManufacturer), static_cast<char>(iProduct),
                     static_cast<char>(iSerial), 1};
}
// USB_NODE_CONNECTION_INFORMATION without pipes.
std::string ConnectionReply(uint32_t port, const std::string& device, bool lowSpeed, bool hub,
                            uint16_t address, uint32_t status) {
  return Le(port, 4) + device +
         std::string{1, static_cast<char>(lowSpeed), static_cast<char>(hub)} + Le(address, 2) +
         Le(0, 4) + Le(status, 4);
}
// A configuration with one interface of the given class and its endpoints.
std::string Configuration(uint8_t cls, uint8_t sub, uint8_t prot, uint8_t maxPower) {
  std::string endpoint = std::string{7, 5, static_cast<char>(0x81), 3} + Le(8, 2) + "\x0a";
  std::string intf = std::string{
      9, 4, 0, 0, 1, static_cast<char>(cls), static_cast<char>(sub), static_cast<char>(prot), 0};
  const std::string body = intf + endpoint;
  return std::string{9, 2} + Le(static_cast<uint32_t>(9 + body.size()), 2) +
         std::string{1, 1, 0, static_cast<char>(0x80), static_cast<char>(maxPower)} + body;
}
std::string StringDescriptor(const std::string& text) {
  const std::string units = Utf16(text);
  return std::string{static_cast<char>(2 + units.size()), 3} + units;
}
// The reply of USB_DESCRIPTOR_REQUEST: the request's header, then the data.
std::string DescriptorReply(uint32_t port, uint16_t value, uint16_t index,
                            const std::string& data) {
  return win::DescriptorRequest(port, value, index).substr(0, 12) + data;
}

constexpr const char* kUsbClass = "{36FC9E60-C465-11CF-8056-444553540000}";
const std::string kRootHub = "USB#ROOT_HUB20#4&2b8f5c3&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
const std::string kHub =
    "USB#VID_05E3&PID_0608#5&1a2b3c4d&0&1#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";

// controls.json: every reply by device and control key.
class Controls {
 public:
  void Reply(const std::string& device, uint32_t code, const std::string& input,
             const std::string& output) {
    entries_[device].push_back("\"" + platform::ControlKey(code, input) + "\": {\"output\": \"" +
                               platform::Base64Encode(output) + "\"}");
  }
  void Error(const std::string& device, uint32_t code, const std::string& input, int error,
             const std::string& message) {
    entries_[device].push_back("\"" + platform::ControlKey(code, input) + "\": {\"error\": " +
                               std::to_string(error) + ", \"message\": \"" + message + "\"}");
  }
  std::string Json() const {
    std::string text = "{\"devices\": {";
    for (const auto& [device, entries] : entries_) {
      if (text.back() != '{') text += ",\n";
      std::string escaped;
      for (char c : device) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
      text += "\"" + escaped + "\": {";
      for (std::size_t i = 0; i < entries.size(); ++i) text += (i ? ", " : "") + entries[i];
      text += "}";
    }
    return text + "}}";
  }

 private:
  std::map<std::string, std::vector<std::string>> entries_;
};

std::string ControlsJson() {
  Controls c;
  const std::string hcd = "\\\\.\\HCD0", root = "\\\\.\\" + kRootHub, hub = "\\\\.\\" + kHub;
  c.Reply(hcd, win::kGetHcdDriverKeyName, win::NameRequest(),
          NameReply(std::string(kUsbClass) + "\\0000"));
  c.Reply(hcd, win::kGetRootHubName, win::NameRequest(), NameReply(kRootHub));
  c.Reply(root, win::kGetNodeInformation, win::NodeInformationRequest(), NodeInfoReply(4));
  auto connection = [&](const std::string& device, uint32_t port, const std::string& reply) {
    c.Reply(device, win::kGetNodeConnectionInformation, win::ConnectionInformationRequest(port),
            reply);
  };
  auto driverKey = [&](const std::string& device, uint32_t port, const std::string& key) {
    c.Reply(device, win::kGetNodeConnectionDriverKeyName, win::ConnectionNameRequest(port),
            ConnectionNameReply(port, std::string(kUsbClass) + "\\" + key));
  };
  auto descriptor = [&](const std::string& device, uint32_t port, uint16_t value, uint16_t index,
                        const std::string& data) {
    c.Reply(device, win::kGetDescriptorFromNodeConnection,
            win::DescriptorRequest(port, value, index), DescriptorReply(port, value, index, data));
  };
  const std::string languages = std::string{6, 3} + Le(0x0409, 2) + Le(0x0407, 2);

  // Root hub port 1: an external hub with two ports.
  connection(
      root, 1,
      ConnectionReply(1, DeviceDescriptor(0x0200, 9, 0x05E3, 0x0608, 0, 1, 0), false, true, 2, 1));
  c.Reply(root, win::kGetNodeConnectionName, win::ConnectionNameRequest(1),
          ConnectionNameReply(1, kHub));
  driverKey(root, 1, "0005");
  c.Reply(hub, win::kGetNodeInformation, win::NodeInformationRequest(), NodeInfoReply(2));
  // Its port 1: a low-speed keyboard; port 2 is empty.
  connection(
      hub, 1,
      ConnectionReply(1, DeviceDescriptor(0x0110, 0, 0x046D, 0xC31C, 1, 2, 0), true, false, 3, 1));
  driverKey(hub, 1, "0006");
  descriptor(hub, 1, 0x0200, 0, Configuration(3, 1, 1, 50));
  descriptor(hub, 1, 0x0300, 0, languages);
  descriptor(hub, 1, 0x0301, 0x0409, StringDescriptor("Logitech"));
  descriptor(hub, 1, 0x0302, 0x0409, StringDescriptor("USB Keyboard"));
  // The German strings are never asked for: the first language is English.
  descriptor(hub, 1, 0x0302, 0x0407, StringDescriptor("USB-Tastatur"));
  connection(hub, 2, ConnectionReply(2, std::string(18, '\0'), false, false, 0, 0));

  // Root hub port 2: a mass-storage stick.
  connection(
      root, 2,
      ConnectionReply(2, DeviceDescriptor(0x0200, 0, 0x0781, 0x5567, 1, 2, 3), false, false, 4, 1));
  driverKey(root, 2, "0007");
  descriptor(root, 2, 0x0200, 0, Configuration(8, 6, 0x50, 100));
  descriptor(root, 2, 0x0300, 0, languages);
  descriptor(root, 2, 0x0301, 0x0409, StringDescriptor("SanDisk"));
  descriptor(root, 2, 0x0302, 0x0409, StringDescriptor("Cruzer Blade"));
  descriptor(root, 2, 0x0303, 0x0409, StringDescriptor("AA04012700008493"));

  // Root hub port 3: a device that does not name its driver key and has no descriptors.
  connection(root, 3,
             ConnectionReply(3, DeviceDescriptor(0x0200, 0xFF, 0x1234, 0x5678, 0, 0, 0), false,
                             false, 5, 1));
  c.Error(root, win::kGetNodeConnectionDriverKeyName, win::ConnectionNameRequest(3), 31,
          "A device attached to the system is not functioning.");
  // Root hub port 4: a device the hub could not power.
  connection(root, 4, ConnectionReply(4, std::string(18, '\0'), false, false, 0, 5));
  return c.Json();
}

std::string Key(const std::string& path) {
  return "[HKEY_LOCAL_MACHINE\\SYSTEM\\" + path + "]\n";
}
std::string Str(const std::string& name, const std::string& value) {
  std::string escaped;
  for (char c : value) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return "\"" + name + "\"=\"" + escaped + "\"\n";
}
std::string HexUtf16(const std::string& text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "hex:";
  for (unsigned char b : Utf16(text)) {
    if (out.size() > 4) out += ',';
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

std::string RegistryText() {
  const std::string e = "CurrentControlSet\\Enum\\";
  const std::string driver = std::string(kUsbClass) + "\\";
  return "Windows Registry Editor Version 5.00\n\n" +
         Key("CurrentControlSet\\Control\\Class\\" + driver + "0000") +
         Str("DriverDesc", "Standard Enhanced PCI to USB Host Controller") + "\n" +
         // The external hub.
         Key(e + "USB\\VID_05E3&PID_0608\\5&1a2b3c4d&0&1") + Str("Driver", driver + "0005") +
         Str("DeviceDesc", "@usb.inf,%usb\\generic_hub.devicedesc%;Generic USB Hub") +
         Str("Class", "USB") + Str("Service", "usbhub") + "\n" +
         // The keyboard, with its driver key in lower case, and the HID instance below it.
         Key(e + "USB\\VID_046D&PID_C31C\\6&3c4d5e6f&0&1") +
         Str("Driver", "{36fc9e60-c465-11cf-8056-444553540000}\\0006") +
         Str("DeviceDesc", "@input.inf,%hid.devicedesc%;USB Input Device") +
         Str("Class", "HIDClass") + Str("Service", "HidUsb") +
         Str("ParentIdPrefix", "7&2a5b3b6&0") + "\n" +
         Key(e + "USB\\VID_046D&PID_C31C\\6&3c4d5e6f&0&1\\Device Parameters") +
         Str("SymbolicName",
             "\\??\\USB#VID_046D&PID_C31C#6&3c4d5e6f&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}") +
         "\n" + Key(e + "USB\\VID_046D&PID_C31C\\6&3c4d5e6f&0&1\\Control") + "\n" +
         Key(e + "HID\\VID_046D&PID_C31C\\7&2a5b3b6&0&0000") + Str("Class", "Keyboard") +
         Str("DeviceDesc", "@keyboard.inf,%hid.keyboarddevice%;HID Keyboard Device") +
         Str("Service", "kbdhid") + "\n" +
         // An HID instance of another device, whose prefix only starts the same.
         Key(e + "HID\\VID_045E&PID_0040\\7&2a5b3b60&0&0000") + Str("Class", "Mouse") + "\n" +
         // The stick: named by its serial number, so the disk instance is named after it.
         Key(e + "USB\\VID_0781&PID_5567\\AA04012700008493") + Str("Driver", driver + "0007") +
         Str("DeviceDesc", "USB Mass Storage Device") + Str("Class", "USB") +
         Str("Service", "USBSTOR") + "\n" +
         Key(e + "USBSTOR\\Disk&Ven_SanDisk&Prod_Cruzer_Blade&Rev_1.26\\AA04012700008493&0") +
         Str("Class", "DiskDrive") + Str("DeviceDesc", "Disk drive") +
         Str("ParentIdPrefix", "7&1f2e3d4c&0") + Str("Service", "disk") + "\n" +
         Key("MountedDevices") +
         // C: a partitioned disk's signature and offset; D: another stick; E: this one's
         // removable media; F: this one again, by its disk's own link.
         "\"\\\\DosDevices\\\\C:\"=hex:12,34,56,78,00,00,10,00,00,00,00,00\n"
         "\"\\\\DosDevices\\\\D:\"=" +
         HexUtf16("\\??\\STORAGE#RemovableMedia#7&99&0&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}") +
         "\n\"\\\\DosDevices\\\\E:\"=" +
         HexUtf16(
             "\\??\\STORAGE#RemovableMedia#7&1F2E3D4C&0&RM#{53f5630d-b6bf-11d0-94f2-"
             "00a0c91efb8b}") +
         "\n\"\\\\DosDevices\\\\F:\"=" +
         HexUtf16(
             "\\??\\USBSTOR#Disk&Ven_SanDisk&Prod_Cruzer_Blade&Rev_1.26#AA04012700008493&0#"
             "{53f56307-b6bf-11d0-94f2-00a0c91efb8b}") +
         "\n\"\\\\??\\\\Volume{0123}\"=" + HexUtf16("\\??\\USBSTOR#Disk&Ven_SanDisk") + "\n";
}

void WriteSnapshot(const testing::TempDir& dir) {
  dir.Write("snapshot.json", R"({"format": "tavrin-snapshot", "version": 1})");
  dir.Write("system.json",
            R"({"OsVersionRecord": {"status": "ok", "source": "GetVersionExW",
                "value": {"platform": 2, "major": 5, "minor": 1, "build": 2600, "csd": ""}}})");
  dir.Write("registry/usb.reg", RegistryText());
  dir.Write("controls.json", ControlsJson());
}

std::shared_ptr<const platform::Services> Open(const testing::TempDir& dir) {
  auto opened = platform::OpenSnapshot(dir.path());
  EXPECT_TRUE(opened.warnings.empty()) << opened.warnings.front();
  if (!opened.services) {
    ADD_FAILURE() << opened.error;
    return testing::MakeTestServices(dir.path());
  }
  return std::make_shared<const platform::Services>(std::move(*opened.services));
}

TEST(WindowsUsbSnapshot, ReplaysTheTreeWithRegistryViews) {
  testing::TempDir dir;
  WriteSnapshot(dir);
  TVexa_USB usb(Open(dir));
  usb.RefreshData();
  ASSERT_TRUE(usb.Source.ok()) << usb.Source.Explain();
  const auto& n = usb.Nodes();
  ASSERT_EQ(n.size(), 8u);

  EXPECT_EQ(n[0].USBClass, usb::usbHostController);
  EXPECT_EQ(n[0].Level, 0);
  EXPECT_EQ(n[0].ParentIndex, -1);
  EXPECT_EQ(n[0].KeyName, std::string(kUsbClass) + "\\0000");
  EXPECT_EQ(n[0].ConnectionName, "Standard Enhanced PCI to USB Host Controller");

  EXPECT_EQ(n[1].USBClass, usb::usbRootHub);
  EXPECT_EQ(n[1].KeyName, kRootHub);
  EXPECT_EQ(n[1].Ports, 4);
  EXPECT_EQ(n[1].ParentIndex, 0);
  EXPECT_EQ(n[1].Level, 1);

  const TUSBNode& hub = n[2];
  EXPECT_EQ(hub.USBClass, usb::usbHub);
  EXPECT_EQ(hub.KeyName, kHub);
  EXPECT_EQ(hub.ConnectionName, "Generic USB Hub");
  EXPECT_EQ(hub.Ports, 2);
  EXPECT_EQ(hub.Port, 1);
  EXPECT_EQ(hub.ParentIndex, 1);
  EXPECT_EQ(hub.Level, 2);
  EXPECT_EQ(hub.VendorID, 0x05E3);

  const TUSBNode& keyboard = n[3];
  EXPECT_EQ(keyboard.ParentIndex, 2);
  EXPECT_EQ(keyboard.Level, 3);
  EXPECT_EQ(keyboard.Port, 1);
  EXPECT_EQ(keyboard.KeyName, std::string(kUsbClass) + "\\0006");
  EXPECT_EQ(keyboard.ConnectionName, "USB Keyboard");
  EXPECT_EQ(keyboard.Manufacturer, "Logitech");
  EXPECT_EQ(keyboard.Product, "USB Keyboard");
  EXPECT_EQ(keyboard.Serial, "");
  EXPECT_EQ(keyboard.VendorID, 0x046D);
  EXPECT_EQ(keyboard.ProductID, 0xC31C);
  EXPECT_EQ(keyboard.DeviceAddress, 3);
  EXPECT_EQ(keyboard.MajorVersion, 1);
  EXPECT_EQ(keyboard.MinorVersion, 10);
  EXPECT_EQ(keyboard.MaxPower, 50);
  EXPECT_EQ(keyboard.MaxPowerMilliamps, 100u);
  EXPECT_EQ(keyboard.SpeedMbps, 1.5);
  ASSERT_EQ(keyboard.Interfaces.size(), 1u);
  EXPECT_EQ(keyboard.Interfaces[0].Class, 3);
  EXPECT_EQ(keyboard.USBClass, usb::usbHID);
  EXPECT_EQ(keyboard.USBClassname, "Keyboard");
  EXPECT_EQ(keyboard.Driver, "HidUsb");
  EXPECT_EQ(keyboard.USBDevice.Name, "USB Input Device");
  EXPECT_EQ(keyboard.USBDevice.IntfGUID, "{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  EXPECT_EQ(keyboard.USBDevice.Drive, "");
  EXPECT_FALSE(keyboard.Timestamp);  // the registry keeps no key times

  EXPECT_EQ(n[4].ParentIndex, 2);
  EXPECT_EQ(n[4].Port, 2);
  EXPECT_EQ(n[4].ConnectionStatus, usbNoDeviceConnected);
  EXPECT_EQ(n[4].KeyName, "");

  const TUSBNode& stick = n[5];
  EXPECT_EQ(stick.ParentIndex, 1);
  EXPECT_EQ(stick.Level, 2);
  EXPECT_EQ(stick.Port, 2);
  EXPECT_EQ(stick.ConnectionName, "Cruzer Blade");
  EXPECT_EQ(stick.Serial, "AA04012700008493");
  EXPECT_EQ(stick.MaxPowerMilliamps, 200u);
  EXPECT_EQ(stick.USBClass, usb::usbStorage);
  EXPECT_EQ(stick.USBClassname, "DiskDrive");
  EXPECT_EQ(stick.USBDevice.Name, "SanDisk Cruzer Blade 1.26");
  // E: through its removable media comes before F: through the disk link; D: is another stick.
  EXPECT_EQ(stick.USBDevice.Drive, "E:");
  ASSERT_EQ(stick.Storage.size(), 1u);
  EXPECT_EQ(stick.Storage[0].Device, "SanDisk Cruzer Blade 1.26");
  EXPECT_EQ(stick.Storage[0].MountPoints, std::vector<std::string>{"E:"});

  const TUSBNode& broken = n[6];
  EXPECT_EQ(broken.KeyName, "Error: A device attached to the system is not functioning. (31)");
  EXPECT_EQ(broken.ConnectionStatus, usbDeviceConnected);
  EXPECT_EQ(broken.VendorID, 0x1234);
  EXPECT_EQ(broken.USBClass, usb::usbOther);  // vendor specific, by its descriptor
  EXPECT_FALSE(broken.DescriptorSource.ok());
  EXPECT_EQ(broken.ConnectionName, "");

  EXPECT_EQ(n[7].Port, 4);
  EXPECT_EQ(n[7].ConnectionStatus, 5);

  // The keyboard, the stick and the broken device; not the hub, not the empty ports.
  EXPECT_EQ(usb.ConnectedDevices(), 3);
  EXPECT_EQ(usb.Node(8).USBClass, usb::usbEmpty);
  EXPECT_EQ(usb.Node(-1).USBClass, usb::usbEmpty);

  // A second refresh rebuilds the same tree.
  usb.RefreshData();
  EXPECT_EQ(usb.Nodes().size(), 8u);
}

TEST(WindowsUsbSnapshot, ControllersThatDoNotOpenAreSkippedAndNamed) {
  testing::TempDir dir;
  dir.Write("snapshot.json", R"({"format": "tavrin-snapshot", "version": 1})");
  // HCD0 refuses, HCD1 has no root hub name; the others are absent.
  dir.Write("controls.json", R"({"devices": {"\\\\.\\HCD1": {
      "220424": {"error": 5, "message": "Access is denied."},
      "220408": {"output": "BAAAAA=="}}},
    "failedOpens": {"\\\\.\\HCD0": {"error": 5, "message": "Access is denied."}}})");
  TVexa_USB usb(Open(dir));
  usb.RefreshData();
  ASSERT_EQ(usb.Nodes().size(), 2u);
  EXPECT_EQ(usb.Nodes()[0].KeyName, "Error: Access is denied. (5)");
  EXPECT_EQ(usb.Nodes()[1].USBClass, usb::usbRootHub);
  EXPECT_EQ(usb.Nodes()[1].Ports, 0);
  EXPECT_EQ(usb.ConnectedDevices(), 0);

  testing::TempDir none;
  none.Write("snapshot.json", R"({"format": "tavrin-snapshot", "version": 1})");
  none.Write("controls.json",
             R"({"failedOpens": {"\\\\.\\HCD0": {"error": 5, "message": "Access is denied."}}})");
  TVexa_USB empty(Open(none));
  empty.RefreshData();
  EXPECT_TRUE(empty.Nodes().empty());
  EXPECT_EQ(empty.Source.status, platform::Status::PermissionDenied);
}

// A damaged snapshot whose hub names itself on its own port: the hub is listed once more as a
// node, but its ports are not walked again, so the walk ends.
TEST(WindowsUsbSnapshot, HubNamingItselfIsWalkedOnce) {
  Controls c;
  const std::string hcd = "\\\\.\\HCD0", root = "\\\\.\\" + kRootHub;
  c.Reply(hcd, win::kGetHcdDriverKeyName, win::NameRequest(), NameReply("x"));
  c.Reply(hcd, win::kGetRootHubName, win::NameRequest(), NameReply(kRootHub));
  c.Reply(root, win::kGetNodeInformation, win::NodeInformationRequest(), NodeInfoReply(1));
  c.Reply(root, win::kGetNodeConnectionInformation, win::ConnectionInformationRequest(1),
          ConnectionReply(1, DeviceDescriptor(0x0200, 9, 1, 2, 0, 0, 0), false, true, 2, 1));
  c.Reply(root, win::kGetNodeConnectionName, win::ConnectionNameRequest(1),
          ConnectionNameReply(1, base::Lower(kRootHub)));
  testing::TempDir dir;
  dir.Write("snapshot.json", R"({"format": "tavrin-snapshot", "version": 1})");
  dir.Write("controls.json", c.Json());
  TVexa_USB usb(Open(dir));
  usb.RefreshData();
  ASSERT_EQ(usb.Nodes().size(), 3u);  // controller, root hub, and the hub on its port
  EXPECT_EQ(usb.Nodes()[2].USBClass, usb::usbHub);
  EXPECT_EQ(usb.Nodes()[2].Ports, 0);
}

TEST(WindowsUsbSnapshot, IoPageShowsTheTreeInTheLinuxColumns) {
  testing::TempDir dir;
  WriteSnapshot(dir);
  auto aggregate = std::make_shared<TVexa_SystemInfo>(Open(dir));
  gather::TGetFunctionsClass controller;
  controller.SetAggregate(aggregate);
  controller.SetAdvancedMode(true);
  aggregate->Refresh<TVexa_USB>(std::chrono::seconds(30));
  controller.FillCategory(*pages::FindCategory("ioinfo"), nullptr);
  std::vector<std::string> rows;
  for (const auto& section : controller.FindPage("ioinfo")->Sections()) {
    if (section.Caption != "USB") continue;
    for (const auto& row : section.Items)
      rows.push_back(row.Caption + " |" + row.SubItems[0] + " | " +
                     (row.SubItems.size() > 1 ? row.SubItems[1] : ""));
  }
  auto has = [&](const std::string& text) {
    for (const auto& r : rows)
      if (r.find(text) != std::string::npos) return true;
    return false;
  };
  std::string all;
  for (const auto& r : rows) all += r + "\n";
  EXPECT_TRUE(has(std::string(lbl::S_IO_USB_CONNECTED) + " | 3")) << all;
  EXPECT_TRUE(has("Standard Enhanced PCI to USB Host Controller | " + std::string(kUsbClass)))
      << all;
  EXPECT_TRUE(has("\u2514 " + lbl::S_IO_USB_ROOT_HUB_PLAIN + " | 4 ports")) << all;
  EXPECT_TRUE(
      has("Generic USB Hub (Port: 1) | ID 05E3:0608, USB 2.00, 2 ports | USB, driver usbhub"))
      << all;
  EXPECT_TRUE(
      has("USB Keyboard (Port: 1) | ID 046D:C31C, Logitech, USB 1.10, 1.5 Mbit/s, 100 mA | "
          "Keyboard, driver HidUsb"))
      << all;
  EXPECT_TRUE(has(FormatText(lbl::S_SMB_PORT, {"2"}) + " | " + lbl::S_IO_USB_NO_DEVICE)) << all;
  EXPECT_TRUE(has("Storage SanDisk Cruzer Blade 1.26: | E:")) << all;
  EXPECT_TRUE(has("Human Interface Device")) << all;  // the keyboard's interface
  EXPECT_TRUE(has(FormatText(lbl::S_SMB_PORT, {"4"}) + " | " + lbl::S_IO_USB_NOT_ENOUGH_POWER))
      << all;
  EXPECT_TRUE(has(lbl::S_IO_USB_DEVICE + " (Port: 3) | ID 1234:5678, USB 2.00")) << all;
  EXPECT_TRUE(has(std::string(lbl::S_IO_USB_UNREADABLE))) << all;
}

}  // namespace
}  // namespace tavrin::collectors
