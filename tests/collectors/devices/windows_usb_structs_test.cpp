// The Windows USB request buffers and the decoding of their replies, with short and malformed
// replies. The byte images are built by hand from the published structure layouts (usbioctl.h:
// USB_NODE_INFORMATION, USB_NODE_CONNECTION_INFORMATION, the name structures,
// USB_DESCRIPTOR_REQUEST) and the USB string descriptor.
#include <gtest/gtest.h>

#include "collectors/devices/windows_usb_registry.h"
#include "collectors/devices/windows_usb_structs.h"
#include "collectors/devices/windows_usb_walk.h"
#include "platform/utf16.h"

namespace tavrin::collectors::usb::win {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string b;
  for (int v : values) b.push_back(static_cast<char>(v));
  return b;
}

TEST(WindowsUsbStructs, RequestsPutThePortAndSetupPacketWhereTheDriverReadsThem) {
  EXPECT_EQ(NameRequest(), std::string(260, '\0'));
  EXPECT_EQ(NodeInformationRequest(), std::string(76, '\0'));
  const std::string connection = ConnectionInformationRequest(0x0102);
  ASSERT_EQ(connection.size(), 420u);
  EXPECT_EQ(connection.substr(0, 5), Bytes({0x02, 0x01, 0, 0, 0}));
  const std::string name = ConnectionNameRequest(3);
  ASSERT_EQ(name.size(), 264u);
  EXPECT_EQ(name.substr(0, 4), Bytes({3, 0, 0, 0}));
  // Port 2, string 3 in US English (0x0409), for 2048 data bytes.
  const std::string request = DescriptorRequest(2, 0x0303, 0x0409);
  ASSERT_EQ(request.size(), 2060u);
  EXPECT_EQ(request.substr(0, 12),
            Bytes({2, 0, 0, 0, 0x80, 6, 0x03, 0x03, 0x09, 0x04, 0x00, 0x08}));
  EXPECT_EQ(request.find_first_not_of('\0', 12), std::string::npos);
}

TEST(WindowsUsbStructs, NamesEndAtTheirNulTheirLengthOrTheReply) {
  // ActualLength 14 (more than the reply): "AB", its NUL, and bytes after it.
  EXPECT_EQ(DecodeName(Bytes({14, 0, 0, 0, 'A', 0, 'B', 0, 0, 0, 'X', 0})), "AB");
  // No NUL, and a length beyond the reply: the text runs to the reply's end.
  EXPECT_EQ(DecodeName(Bytes({200, 0, 0, 0, 'A', 0, 'B', 0})), "AB");
  // ActualLength shorter than the text: cut there.
  EXPECT_EQ(DecodeName(Bytes({6, 0, 0, 0, 'A', 0, 'B', 0})), "A");
  // An odd last byte is no character; non-ASCII UTF-16 becomes UTF-8.
  EXPECT_EQ(DecodeName(Bytes({0, 0, 0, 0, 0xE4, 0x00, 'C'})), "\xC3\xA4");
  EXPECT_EQ(DecodeName(Bytes({4, 0, 0})), std::nullopt);
  EXPECT_EQ(DecodeName(Bytes({4, 0, 0, 0})), "");
  // Connection names carry the port first.
  EXPECT_EQ(DecodeConnectionName(Bytes({1, 0, 0, 0, 14, 0, 0, 0, 'H', 0, 'u', 0, 'b', 0, 0, 0})),
            "Hub");
  EXPECT_EQ(DecodeConnectionName(Bytes({1, 0, 0, 0, 14, 0, 0})), std::nullopt);
}

TEST(WindowsUsbStructs, NodeInformationGivesThePortsAndRefusesOddSizes) {
  std::string info(76, '\0');
  info[4] = 9;     // bDescriptorLength
  info[5] = 0x29;  // hub descriptor
  info[6] = 7;     // bNumberOfPorts
  info[7] = 0x12;
  info[8] = 0x34;
  info[75] = 1;
  auto n = DecodeNodeInformation(info);
  ASSERT_TRUE(n);
  EXPECT_EQ(n->nodeType, 0u);
  EXPECT_EQ(n->numberOfPorts, 7);
  EXPECT_EQ(n->hubCharacteristics, 0x3412);
  EXPECT_TRUE(n->busPowered);
  // Cut after the port count: still the ports.
  EXPECT_EQ(DecodeNodeInformation(info.substr(0, 7))->numberOfPorts, 7);
  EXPECT_FALSE(DecodeNodeInformation(info.substr(0, 6)));
  EXPECT_TRUE(DecodeNodeInformation(info + std::string(180, '\0')));  // 256 bytes
  EXPECT_FALSE(DecodeNodeInformation(info + std::string(181, '\0')));
}

TEST(WindowsUsbStructs, ConnectionInformationFieldsAndShortReplies) {
  std::string reply(35, '\0');
  reply[0] = 4;  // ConnectionIndex
  const std::string device =
      Bytes({18, 1, 0x10, 0x01, 0, 0, 0, 8, 0x6D, 0x04, 0x1C, 0xC3, 0x00, 0x49, 1, 2, 0, 1});
  reply.replace(4, 18, device);
  reply[22] = 1;     // configuration
  reply[23] = 1;     // low speed
  reply[24] = 0;     // not a hub
  reply[25] = 0x05;  // address 0x105
  reply[26] = 0x01;
  reply[27] = 2;                                                       // open pipes
  reply[31] = 1;                                                       // connected
  auto c = DecodeConnectionInformation(reply + std::string(22, 'x'));  // a pipe list after it
  ASSERT_TRUE(c);
  EXPECT_EQ(c->connectionIndex, 4u);
  EXPECT_EQ(c->deviceDescriptorBytes, device);
  EXPECT_EQ(c->device.idVendor, 0x046D);
  EXPECT_EQ(c->device.idProduct, 0xC31C);
  EXPECT_EQ(c->device.bcdUSB, 0x0110);
  EXPECT_EQ(c->device.iProduct, 2);
  EXPECT_EQ(c->currentConfigurationValue, 1);
  EXPECT_TRUE(c->lowSpeed);
  EXPECT_FALSE(c->deviceIsHub);
  EXPECT_EQ(c->deviceAddress, 0x105);
  EXPECT_EQ(c->numberOfOpenPipes, 2u);
  EXPECT_EQ(c->connectionStatus, static_cast<uint32_t>(kDeviceConnected));
  EXPECT_FALSE(DecodeConnectionInformation(reply.substr(0, 34)));
  // An empty port: zeros where the descriptor would be.
  std::string empty(35, '\0');
  empty[0] = 2;
  EXPECT_EQ(DecodeConnectionInformation(empty)->device.idVendor, 0);
  EXPECT_EQ(DecodeConnectionInformation(empty)->connectionStatus, 0u);
}

TEST(WindowsUsbStructs, DescriptorRepliesAndStringDescriptors) {
  const std::string header = DescriptorRequest(1, 0x0300, 0).substr(0, 12);
  EXPECT_EQ(DescriptorData(header), std::nullopt);
  EXPECT_EQ(DescriptorData(header.substr(0, 5)), std::nullopt);
  EXPECT_EQ(DescriptorData(header + "ab"), "ab");

  // Language tables: two languages, one cut by bLength, an odd length, a wrong type.
  EXPECT_EQ(DecodeLanguageTable(Bytes({6, 3, 0x09, 0x04, 0x07, 0x04})),
            (std::vector<uint16_t>{0x0409, 0x0407}));
  EXPECT_EQ(DecodeLanguageTable(Bytes({4, 3, 0x09, 0x04, 0x07, 0x04})),
            (std::vector<uint16_t>{0x0409}));
  EXPECT_EQ(DecodeLanguageTable(Bytes({5, 3, 0x09, 0x04, 0x07})), (std::vector<uint16_t>{0x0409}));
  EXPECT_TRUE(DecodeLanguageTable(Bytes({4, 2, 0x09, 0x04})).empty());
  EXPECT_TRUE(DecodeLanguageTable(Bytes({2, 3})).empty());
  EXPECT_TRUE(DecodeLanguageTable("").empty());

  EXPECT_EQ(DecodeStringDescriptor(Bytes({8, 3, 'K', 0, 'e', 0, 'y', 0})), "Key");
  // bLength longer than the bytes: the bytes there are; NUL padding ends the text.
  EXPECT_EQ(DecodeStringDescriptor(Bytes({40, 3, 'K', 0, 'e', 0})), "Ke");
  EXPECT_EQ(DecodeStringDescriptor(Bytes({8, 3, 'K', 0, 0, 0, 'y', 0})), "K");
  EXPECT_EQ(DecodeStringDescriptor(Bytes({2, 3})), "");
  EXPECT_EQ(DecodeStringDescriptor(Bytes({0, 3, 'K', 0})), std::nullopt);
  EXPECT_EQ(DecodeStringDescriptor(Bytes({4, 1, 'K', 0})), std::nullopt);
  EXPECT_EQ(DecodeStringDescriptor(Bytes({4})), std::nullopt);
}

TEST(WindowsUsbRegistry, StorageNamesGuidsAndClassKinds) {
  EXPECT_EQ(UsbStorageDisplayName("Disk&Ven_SanDisk&Prod_Cruzer_Blade&Rev_1.26"),
            "SanDisk Cruzer Blade 1.26");
  EXPECT_EQ(UsbStorageDisplayName("CdRom&VEN_HL-DT-ST&PROD_DVDRAM_GP08NU20&REV_1.00"),
            "HL-DT-ST DVDRAM GP08NU20 1.00");
  EXPECT_EQ(UsbStorageDisplayName("Disk&Ven_&Prod_USB_DISK_2.0&Rev_PMAP"), "USB DISK 2.0 PMAP");
  EXPECT_EQ(UsbStorageDisplayName("Other"), "");
  EXPECT_EQ(InterfaceGuidOf("\\??\\USB#VID_1&PID_2#3#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"),
            "{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  EXPECT_EQ(InterfaceGuidOf("\\??\\USB#VID_1"), "");
  EXPECT_EQ(InterfaceGuidOf(""), "");
  EXPECT_EQ(NodeKindOfRegistryClass("keyboard"), usbHID);
  EXPECT_EQ(NodeKindOfRegistryClass("DiskDrive"), usbStorage);
  EXPECT_EQ(NodeKindOfRegistryClass("USB"), usbEmpty);
  EXPECT_EQ(NodeKindOfRegistryClass(""), usbEmpty);
}

// A registry holding a serial-less stick (its disk named after the USB instance's
// ParentIdPrefix), a look-alike prefix of another device, and mounted-device values the
// matcher must pass over.
TEST(WindowsUsbRegistry, InstancesChildrenAndLettersAreMatchedByName) {
  using platform::RegRoot;
  using platform::RegValue;
  platform::RegistryTree reg;
  const std::string e = "SYSTEM\\CurrentControlSet\\Enum\\";
  const std::string stick = e + "USB\\VID_090C&PID_1000\\5&2f1b3c&0&3";
  reg.SetValue(RegRoot::LocalMachine, stick, "Driver", RegValue::String("{36FC}\\0010"));
  reg.SetValue(RegRoot::LocalMachine, stick, "DeviceDesc", RegValue::String("Stick;Flash Stick"));
  reg.SetValue(RegRoot::LocalMachine, stick, "ParentIdPrefix", RegValue::String("6&a1&0"));
  reg.SetValue(RegRoot::LocalMachine, e + "USBSTOR\\Disk&Ven_A\\6&a10&0", "Class",
               RegValue::String("Look-alike"));
  const std::string disk = e + "USBSTOR\\Disk&Ven_Flash&Prod_Drive\\6&A1&0";
  reg.SetValue(RegRoot::LocalMachine, disk, "Class", RegValue::String("DiskDrive"));
  reg.SetValue(RegRoot::LocalMachine, disk, "ParentIdPrefix", RegValue::String("7&b2&0"));
  reg.SetValue(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Class\\{36FC}\\0000",
               "DriverDesc", RegValue::String("Host Controller"));
  auto link = [](const std::string& text) {
    std::vector<uint8_t> bytes;
    platform::AppendUtf16LeBytes(platform::Utf8ToUtf16(text), bytes);
    return bytes;
  };
  const std::string mounted = "SYSTEM\\MountedDevices";
  auto odd = link("\\??\\STORAGE#RemovableMedia#7&b2&0&RM");
  odd.push_back(0);
  reg.SetValue(RegRoot::LocalMachine, mounted, "\\DosDevices\\G:", RegValue::Bytes(odd));
  reg.SetValue(RegRoot::LocalMachine, mounted, "\\DosDevices\\H:",
               RegValue::Bytes(link("\\??\\STORAGE#RemovableMedia#7&b2&0&RM#{53f5630d}")));
  reg.SetValue(RegRoot::LocalMachine, mounted, "\\DosDevices\\I:",
               RegValue::Bytes(link("\\??\\STORAGE#RemovableMedia#7&b2&00&RM#{53f5630d}")));

  const UsbRegistry usb(reg);
  const auto view = usb.Find("{36fc}\\0010");
  ASSERT_TRUE(view);
  EXPECT_EQ(view->usb.description, "Flash Stick");
  ASSERT_TRUE(view->storage);
  EXPECT_EQ(view->storage->className, "DiskDrive");
  EXPECT_EQ(view->storageName, "Flash Drive");
  EXPECT_FALSE(view->hid);
  EXPECT_EQ(view->drive, "H:");  // G: is no UTF-16 text, I: another device's
  EXPECT_FALSE(usb.Find("{36FC}\\0011"));
  EXPECT_FALSE(usb.Find(""));
  EXPECT_EQ(usb.DriverDescription("{36FC}\\0000"), "Host Controller");
  EXPECT_EQ(usb.DriverDescription("Error: Access is denied. (5)"), "");
}

}  // namespace
}  // namespace tavrin::collectors::usb::win
