// The text rules and tables of the device list: class codes, location and PCI id parsing, the
// INF reference rule, and the codes of the Linux device model mapped to setup classes.
#include <gtest/gtest.h>

#include <set>

#include "collectors/devices/device_classes.h"
#include "collectors/devices/device_text_rules.h"
#include "collectors/devices/id_database.h"
#include "collectors/devices/linux_device_class.h"
#include "platform/devices.h"

namespace tavrin::collectors {
namespace {

TEST(DeviceRules, ClassCodeIsTheFirstTableEntryTheNameBeginsWith) {
  struct Case {
    const char* name;
    int code;
  } cases[] = {
      {"Net", 21},
      {"NetService", 21},
      {"NetTrans", 21},
      {"NETCLIENT", 21},
      {"Volume", 31},
      {"VolumeSnapshot", 31},
      {"HIDClass", 8},
      {"hid", 8},
      {"TapeDrive", 33},
      {"Tape", 35},
      {"TapeController", 34},
      {"Battery", 0},
      {"Computer", 1},
      {"Processor", 37},
      {"MultiportSerial", 20},
      {"SoftwareDevice", 24},
      {"", 24},
      {"Ne", 24},
      {"Unknown", 24},
      {"Monitor", 18},
  };
  for (const auto& c : cases) EXPECT_EQ(DeviceClassCode(c.name), c.code) << c.name;
}

TEST(DeviceRules, SetupClassTableIsConsistentWithTheCodes) {
  std::set<std::string_view> names, guids;
  for (auto name : {"Net", "DiskDrive", "Volume", "HIDClass", "System", "Ports", "USB", "Processor",
                    "Computer", "Unknown", "SCSIAdapter", "MEDIA", "Display"}) {
    const SetupClass* c = FindSetupClass(name);
    ASSERT_NE(c, nullptr) << name;
    EXPECT_TRUE(names.insert(c->name).second);
    EXPECT_TRUE(guids.insert(c->guid).second);
    EXPECT_EQ(FindSetupClassByGuid(c->guid), c);
    if (c->name != "Unknown") {
      EXPECT_NE(DeviceClassCode(c->name), kUnknownDeviceClass) << name;
    }
  }
  EXPECT_EQ(FindSetupClassByGuid("{4d36e972-e325-11ce-bfc1-08002be10318}")->name, "Net");
}

TEST(DeviceRules, InfReferenceBeforeTheSemicolonIsStripped) {
  EXPECT_EQ(StripInfReference("@oem12.inf,%dev_desc%;Intel(R) Ethernet"), "Intel(R) Ethernet");
  EXPECT_EQ(StripInfReference("Plain name"), "Plain name");
  EXPECT_EQ(StripInfReference("a;b;c"), "b;c");  // only the first one
  EXPECT_EQ(StripInfReference("ends;"), "");
  EXPECT_EQ(StripInfReference("x;" + std::string(2000, 'n')).size(), 1024u);
}

TEST(DeviceRules, LocationTextInBothFormsGivesBusDeviceFunction) {
  struct Case {
    const char* text;
    PciLocation expected;
  } cases[] = {
      {"PCI bus 2, device 0, function 0", {2, 0, 0}},
      {"PCI bus 0, device 31, function 3", {0, 31, 3}},
      {"@System32\\drivers\\pci.sys,#65536;PCI bus %1, device %2, function %3;(0,28,5)",
       {0, 28, 5}},
      {"PCI bus 128, device 1, function 0", {28, 1, 0}},  // three digits keep the last two
      {"@pci.sys,#65536;PCI bus %1, device %2, function %3;(130,0,0)", {30, 0, 0}},
      {"Port_#0001.Hub_#0002", {-1, -1, -1}},
      {"", {-1, -1, -1}},
      {"PCI bus x, device y, function z", {0, 0, 0}},  // text that does not parse gives 0
  };
  for (const auto& c : cases) EXPECT_EQ(ParseLocation(c.text), c.expected) << c.text;
}

TEST(DeviceRules, PciIdentifiersOnlyFromPciHardwareIds) {
  EXPECT_EQ(ParsePciHardwareId("PCI\\VEN_8086&DEV_27C8&SUBSYS_30A2103C&REV_02"),
            (PciIds{0x8086, 0x27C8, 0x30A2103C, 0x02}));
  EXPECT_EQ(ParsePciHardwareId("PCI\\VEN_1AF4&DEV_1041"), (PciIds{0x1AF4, 0x1041, 0, 0}));
  EXPECT_EQ(ParsePciHardwareId("USB\\VID_046D&PID_C52B&REV_1201"), PciIds{});
  EXPECT_EQ(ParsePciHardwareId("VIRTIO\\VEN_1AF4&DEV_0001"), PciIds{});
  EXPECT_EQ(ParsePciHardwareId("PCI\\VEN_ZZZZ&DEV_12"), (PciIds{0, 0x12, 0, 0}));
  EXPECT_EQ(TextToInt("$1F"), 31);
  EXPECT_EQ(TextToInt(" 12 "), 12);
  EXPECT_EQ(TextToInt("12a"), 0);
}

TEST(DeviceRules, PciAndUsbClassesMapToSetupClasses) {
  struct PciCase {
    uint32_t code;
    const char* setup;
  } pci[] = {
      {0x020000, "Net"},       {0x028000, "Net"},         {0x030000, "Display"},
      {0x010601, "hdc"},       {0x010802, "SCSIAdapter"}, {0x018000, "SCSIAdapter"},
      {0x040300, "MEDIA"},     {0x060000, "System"},      {0x060400, "System"},
      {0x0C0330, "USB"},       {0x0C0010, "1394"},        {0x070002, "Ports"},
      {0x0D1100, "Bluetooth"}, {0x090000, "Keyboard"},    {0xFFFF00, "Unknown"},
      {0x000100, "Display"},   {0x0B4000, "Processor"},   {0x088000, "System"},
  };
  for (const auto& c : pci) EXPECT_EQ(SetupClassOfPci(c.code), c.setup) << std::hex << c.code;
  struct UsbCase {
    int cls, sub, protocol;
    const char* setup;
  } usb[] = {
      {0x03, 0x01, 0x01, "HIDClass"},  {0x09, 0, 0, "USB"},
      {0x08, 0x06, 0x50, "USB"},       {0x01, 0x01, 0, "MEDIA"},
      {0xE0, 0x01, 0x01, "Bluetooth"}, {0xE0, 0x01, 0x03, "Net"},
      {0x02, 0x02, 0x01, "Ports"},     {0x02, 0x06, 0, "Net"},
      {0x07, 0x01, 0x02, "Printer"},   {0x0E, 0x01, 0, "Image"},
      {0x0B, 0, 0, "SmartCardReader"}, {0x00, 0, 0, "USB"},
  };
  for (const auto& c : usb)
    EXPECT_EQ(SetupClassOfUsb(c.cls, c.sub, c.protocol), c.setup) << c.cls << "/" << c.sub;
}

TEST(DeviceRules, InputCapabilitiesTellKeyboardsFromPointers) {
  // An AT keyboard, a PS/2 mouse, a tablet, and the ACPI power button.
  EXPECT_EQ(SetupClassOfInput(
                "120013", "402000000 3803078f800d001 feffffdfffefffff fffffffffffffffe", "", ""),
            "Keyboard");
  EXPECT_EQ(SetupClassOfInput("17", "70000 0 0 0 0", "103", ""), "Mouse");
  EXPECT_EQ(SetupClassOfInput("1b", "400 0 0 0 0 0", "", "3"), "Mouse");
  EXPECT_EQ(SetupClassOfInput("3", "10000000000000 0", "", ""), "HIDClass");
  EXPECT_TRUE(BitmapHas("1 0", 64));
  EXPECT_FALSE(BitmapHas("1 0", 0));
  EXPECT_FALSE(BitmapHas("zz", 0));
}

TEST(DeviceRules, DeviceModelSubsystemsMapToSetupClasses) {
  platform::DeviceModelFacts f;
  auto cls = [&f](std::string subsystem) {
    f.subsystem = std::move(subsystem);
    return std::string(SetupClassOf(f));
  };
  f.pnpIds = {"PNP0501"};
  EXPECT_EQ(cls("pnp"), "Ports");
  f.pnpIds = {"PNP0C0A"};
  EXPECT_EQ(cls("acpi"), "Battery");
  f.pnpIds = {"XYZ0001"};
  EXPECT_EQ(cls("platform"), "System");
  f.deviceId = 1;
  f.parentSubsystem = "pci";
  EXPECT_EQ(cls("virtio"), "System");  // the PCI function is the network adapter
  f.parentSubsystem = "platform";
  EXPECT_EQ(cls("virtio"), "Net");  // virtio over MMIO: the virtio device is the adapter
  f.devType = "partition";
  EXPECT_EQ(cls("block"), "Volume");
  f.devType = "disk";
  f.scsiType = 5;
  EXPECT_EQ(cls("block"), "CDROM");
  f.scsiType = 0;
  EXPECT_EQ(cls("block"), "DiskDrive");
  EXPECT_EQ(cls("cpu"), "Processor");
  EXPECT_EQ(cls("computer"), "Computer");
}

TEST(DeviceRules, IdFileNamesAndMalformedLines) {
  const char* text =
      "# comment\n"
      "1af4  Red Hat, Inc.\n"
      "\t1041  Virtio 1.0 network device\n"
      "\t\t1af4 1100  QEMU Virtual Machine\n"
      "\tzz12  broken device line\n"
      "\t1042\n"
      "8086  Intel Corporation\n"
      "\t0d57\n"
      "12  short vendor\n"
      "\t1234  device of no vendor\n"
      "C 02  Network controller\n"
      "\t00  Ethernet controller\n"
      "\t80  Network controller\n"
      "C 0c  Serial bus controller\n"
      "\t03  USB controller\n"
      "\t\t30  XHCI\n";
  const auto db = IdDatabaseNames::Parse(text);
  EXPECT_EQ(db.Vendor(0x1AF4), "Red Hat, Inc.");
  EXPECT_EQ(db.Device(0x1AF4, 0x1041), "Virtio 1.0 network device");
  EXPECT_EQ(db.Device(0x1AF4, 0x1042), "");
  EXPECT_EQ(db.Device(0x8086, 0x0D57), "");
  EXPECT_EQ(db.Vendor(0x0012), "");
  EXPECT_EQ(db.Class(0x02, 0x00), "Ethernet controller");
  EXPECT_EQ(db.Class(0x02, 0x42), "Network controller");
  EXPECT_EQ(db.Class(0x0C, 0x03, 0x30), "XHCI");
  EXPECT_EQ(db.Class(0x07), "");
  EXPECT_TRUE(IdDatabaseNames::Parse("").empty());

  // Only the vendors asked for and the class list are handed out.
  const std::string kept = platform::FilterIdFile(text, {{0x8086, 0x0D57}, {0x1AF4, 0x1041}});
  EXPECT_EQ(kept.find("short vendor"), std::string::npos);
  EXPECT_NE(kept.find("8086  Intel Corporation"), std::string::npos);
  EXPECT_NE(kept.find("1af4  Red Hat, Inc.\n\t1041  Virtio 1.0 network device\n8086"),
            std::string::npos);  // no subsystem lines, no other devices
  EXPECT_NE(kept.find("C 0c  Serial bus controller\n\t03  USB controller"), std::string::npos);
}

}  // namespace
}  // namespace tavrin::collectors
