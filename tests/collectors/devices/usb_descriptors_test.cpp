#include "collectors/devices/usb_descriptors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "collectors/devices/usb_classes.h"
#include "collectors/devices/usb_tree.h"

namespace tavrin::collectors::usb {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string b;
  for (int v : values) b += static_cast<char>(v);
  return b;
}

// A full-speed keyboard with a second HID interface that has an alternate setting.
const std::string kDevice = Bytes({0x12, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x40, 0x6d, 0x04, 0x1c,
                                   0xc3, 0x10, 0x01, 0x01, 0x02, 0x03, 0x01});
const std::string kConfigHeader = Bytes({0x09, 0x02, 0x44, 0x00, 0x02, 0x01, 0x00, 0xa0, 0x32});
const std::string kKeyboard = Bytes({0x09, 0x04, 0x00, 0x00, 0x01, 0x03, 0x01, 0x01, 0x00,  //
                                     0x09, 0x21, 0x11, 0x01, 0x00, 0x01, 0x22, 0x41, 0x00,  //
                                     0x07, 0x05, 0x81, 0x03, 0x08, 0x00, 0x0a});
const std::string kConsumer = Bytes({0x09, 0x04, 0x01, 0x00, 0x01, 0x03, 0x00, 0x00, 0x00,  //
                                     0x09, 0x21, 0x11, 0x01, 0x00, 0x01, 0x22, 0x9f, 0x00,  //
                                     0x07, 0x05, 0x82, 0x03, 0x08, 0x00, 0x0a});
const std::string kAlternate = Bytes({0x09, 0x04, 0x01, 0x01, 0x00, 0xff, 0x00, 0x00, 0x00});

TEST(UsbDescriptors, CompositeDeviceWithSeveralInterfaces) {
  const auto d = DecodeDescriptors(kDevice + kConfigHeader + kKeyboard + kConsumer + kAlternate);
  EXPECT_TRUE(d.problems.empty()) << d.problems.front();
  ASSERT_TRUE(d.device);
  EXPECT_EQ(d.device->idVendor, 0x046d);
  EXPECT_EQ(d.device->idProduct, 0xc31c);
  EXPECT_EQ(BcdVersionText(d.device->bcdUSB), "2.00");
  EXPECT_EQ(d.device->iSerialNumber, 3);
  ASSERT_EQ(d.configurations.size(), 1u);
  const auto& c = d.configurations[0];
  EXPECT_FALSE(c.truncated);
  EXPECT_EQ(MaxPowerMilliamps(c, false), 100u);
  EXPECT_EQ(MaxPowerMilliamps(c, true), 400u) << "SuperSpeed counts 8 mA";
  ASSERT_EQ(c.interfaces.size(), 3u);
  EXPECT_EQ(c.interfaces[0].interfaceProtocol, 1) << "boot keyboard";
  ASSERT_EQ(c.interfaces[1].endpoints.size(), 1u) << "class descriptors are skipped";
  EXPECT_EQ(c.interfaces[1].endpoints[0].address, 0x82);
  const auto primary = PrimaryInterfaces(c);
  ASSERT_EQ(primary.size(), 2u);
  EXPECT_EQ(primary[1]->alternateSetting, 0) << "alternate setting 0 stands for interface 1";
}

TEST(UsbDescriptors, BrokenLengthsStopTheWalkWithoutReadingPastTheData) {
  // A descriptor claiming length 0 would make the walk stand still.
  std::string zero = kDevice + kConfigHeader + kKeyboard.substr(0, 9) + Bytes({0x00, 0x21});
  auto d = DecodeDescriptors(zero);
  ASSERT_EQ(d.configurations.size(), 1u);
  EXPECT_EQ(d.configurations[0].interfaces.size(), 1u);
  EXPECT_TRUE(std::any_of(d.problems.begin(), d.problems.end(), [](const std::string& p) {
    return p.find("length 0") != std::string::npos;
  }));

  // wTotalLength promises 68 bytes; the data ends inside the second interface's endpoint.
  const std::string whole = kDevice + kConfigHeader + kKeyboard + kConsumer + kAlternate;
  d = DecodeDescriptors(whole.substr(0, 18 + 9 + 25 + 20));
  ASSERT_EQ(d.configurations.size(), 1u);
  EXPECT_TRUE(d.configurations[0].truncated);
  EXPECT_EQ(d.configurations[0].interfaces.size(), 2u);
  EXPECT_TRUE(d.configurations[0].interfaces[1].endpoints.empty());
  EXPECT_FALSE(d.problems.empty());

  // Every cut of the data decodes to something, never past its end.
  for (std::size_t n = 0; n <= whole.size(); ++n) (void)DecodeDescriptors(whole.substr(0, n));

  EXPECT_FALSE(DecodeDescriptors(kDevice.substr(0, 17)).device);
  EXPECT_FALSE(DecodeDescriptors(kConfigHeader + kDevice).device) << "must start with a device";
}

TEST(UsbDescriptors, VendorSpecificAndOtherClassesHaveNamesAndKinds) {
  std::string vendor = kDevice;
  vendor[4] = static_cast<char>(0xff);
  const auto d = DecodeDescriptors(vendor);
  ASSERT_TRUE(d.device);
  EXPECT_EQ(ClassName(d.device->deviceClass), "Vendor Specific");
  EXPECT_EQ(NodeKindOfClass(0xff), usbOther);
  EXPECT_EQ(NodeKindOfClass(0x08), usbStorage);
  EXPECT_EQ(NodeKindOfClass(0x09), usbHub);
  EXPECT_EQ(ClassName(0x04), "") << "0x04 is not a defined class";
  const auto table = ClassTable();
  EXPECT_TRUE(std::is_sorted(table.begin(), table.end()));
  EXPECT_EQ(std::adjacent_find(table.begin(), table.end(),
                               [](const auto& a, const auto& b) { return a.first == b.first; }),
            table.end());
  EXPECT_EQ(BcdVersionText(0x0110), "1.10");
  EXPECT_EQ(BcdVersionText(0x0320), "3.20");
}

TEST(UsbTree, KernelNamesGiveBusAndPortsAndTheWalkOrdersByPortNumber) {
  EXPECT_EQ(ParseKernelName("usb3").bus, 3);
  EXPECT_TRUE(ParseKernelName("usb3").ports.empty());
  const auto p = ParseKernelName("2-1.10.4");
  EXPECT_EQ(p.bus, 2);
  EXPECT_EQ(p.ports, (std::vector<int>{1, 10, 4}));
  EXPECT_EQ(ParseKernelName("1-1:1.0").bus, 0) << "an interface is no device";

  auto record = [](std::string name, std::string controller = {}) {
    platform::UsbDeviceRecord r;
    r.name = std::move(name);
    r.controller = std::move(controller);
    r.descriptors = platform::Answer<std::string>::Of(
        kDevice + kConfigHeader + kKeyboard + kConsumer + kAlternate, "test");
    return r;
  };
  // Out of order, "1-1.10" after "1-1.2" and a device whose parent hub is gone.
  const std::vector<platform::UsbDeviceRecord> records = {
      record("1-1.10"), record("usb2", "0000:00:14.0"), record("1-1"),
      record("1-1.2"),  record("usb1", "0000:00:14.0"), record("7-3.1")};
  const auto nodes = BuildTree(records, IdDatabaseNames());
  std::vector<std::string> order;
  for (const auto& n : nodes) order.push_back(n.KeyName + "@" + std::to_string(n.Level));
  EXPECT_EQ(order, (std::vector<std::string>{"0000:00:14.0@0", "usb1@1", "1-1@2", "1-1.2@3",
                                             "1-1.10@3", "usb2@1"}));
  EXPECT_EQ(nodes[4].ParentIndex, 2);
  EXPECT_EQ(nodes[4].Port, 10);
  EXPECT_EQ(nodes[1].USBClass, usbRootHub);
  EXPECT_EQ(nodes[0].USBClass, usbHostController);
}

}  // namespace
}  // namespace tavrin::collectors::usb
