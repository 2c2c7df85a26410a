// The USB part of the device list against lsusb: every device lsusb prints appears once, with
// its ids and the names lsusb gives it. A machine without USB checks the comparison over a
// sysfs tree built here, with the lsusb text that tree would give.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

#include "collectors/devices/vsi_devices.h"
#include "platform/linux/linux_devices.h"
#include "platform/linux/live_services.h"
#include "platform/service_hooks.h"
#include "tests/collectors/devices/sysfs_tree.h"

namespace tavrin::collectors {
namespace {

using testing::SysfsTree;

// Bus number of a USB device's kernel name: "usb2" (a root hub) or "2-1.4".
int BusOf(const std::string& kernelName) {
  const std::string digits = kernelName.rfind("usb", 0) == 0 ? kernelName.substr(3) : kernelName;
  return std::atoi(digits.c_str());
}

// What is wrong with the list, one line each, compared with lsusb's
// "Bus 001 Device 002: ID 046d:c52b Logitech, Inc. Unifying Receiver" lines.
std::vector<std::string> LsusbMismatches(const std::string& lsusb, const TVexa_Devices& devices) {
  std::vector<std::string> problems;
  std::istringstream lines(lsusb);
  std::string line;
  while (std::getline(lines, line)) {
    int bus = 0, address = 0;
    unsigned vendor = 0, product = 0;
    int name_at = 0;
    if (std::sscanf(line.c_str(), "Bus %d Device %d: ID %4x:%4x %n", &bus, &address, &vendor,
                    &product, &name_at) < 4)
      continue;
    const std::string names = name_at > 0 ? line.substr(static_cast<std::size_t>(name_at)) : "";
    char id[40];
    std::snprintf(id, sizeof id, "USB\\VID_%04X&PID_%04X&REV_", vendor, product);
    std::vector<const TDevice*> found;
    for (const auto& d : devices.List())
      if (d.HardwareID.rfind(id, 0) == 0 && d.HardwareID.find("&MI_") == std::string::npos &&
          BusOf(d.InstanceKey) == bus)
        found.push_back(&d);
    if (found.size() != 1) {
      problems.push_back(line + ": " + std::to_string(found.size()) + " devices in the list");
      continue;
    }
    const TDevice& d = *found.front();
    if (d.VendorID != 0 || d.DeviceID != 0) problems.push_back(line + ": PCI ids on a USB device");
    // lsusb prints the vendor and then the product it found; without an id file, nothing.
    if (!d.Manufacturer.empty() && names.rfind(d.Manufacturer, 0) != 0)
      problems.push_back(line + ": manufacturer " + d.Manufacturer);
    const bool ends_in_description =
        names.size() >= d.Description.size() &&
        names.compare(names.size() - d.Description.size(), std::string::npos, d.Description) == 0;
    if (names.size() > d.Manufacturer.size() + 1 && !ends_in_description)
      problems.push_back(line + ": description " + d.Description);
  }
  return problems;
}

std::shared_ptr<platform::Services> ServicesOver(const SysfsTree& t) {
  auto services = std::const_pointer_cast<platform::Services>(testing::MakeTestServices(t.root()));
  auto files = std::make_shared<platform::FileReader>(t.root());
  services->files = files;
  services->devices = platform::MakeLinuxDeviceService(files);
  return services;
}

// A USB device folder with its descriptors' attributes.
void UsbDevice(const SysfsTree& t, const std::string& path, const std::string& vendor,
               const std::string& product, int devnum, int interfaces) {
  t.Device(path, "usb", "DEVTYPE=usb_device\n");
  t.File(path + "/idVendor", vendor + "\n"), t.File(path + "/idProduct", product + "\n");
  t.File(path + "/bcdDevice", "0100\n"), t.File(path + "/bDeviceClass", "00\n");
  t.File(path + "/bNumInterfaces", " " + std::to_string(interfaces) + "\n");
  t.File(path + "/devnum", std::to_string(devnum) + "\n");
  t.File(path + "/bConfigurationValue", "1\n");
  t.Driver(path, "usb", "usb");
}

// Two buses: a root hub on each, a composite receiver, a stick and an unnamed gadget.
void BuildUsbMachine(const SysfsTree& t) {
  const std::string bus1 = "/sys/devices/pci0000:00/0000:00:07.0/usb1";
  const std::string bus2 = "/sys/devices/pci0000:00/0000:00:07.0/usb2";
  UsbDevice(t, bus1, "1d6b", "0002", 1, 1);
  t.File(bus1 + "/bDeviceClass", "09\n");
  UsbDevice(t, bus2, "1d6b", "0003", 1, 1);
  t.File(bus2 + "/bDeviceClass", "09\n");
  UsbDevice(t, bus1 + "/1-1", "046d", "c52b", 2, 2);
  for (int i = 0; i < 2; ++i) {
    const std::string iface = bus1 + "/1-1/1-1:1." + std::to_string(i);
    t.Device(iface, "usb", "DEVTYPE=usb_interface\n");
    t.File(iface + "/bInterfaceClass", "03\n");
    t.File(iface + "/bInterfaceNumber", "0" + std::to_string(i) + "\n");
    t.Driver(iface, "usb", "usbhid", "usbhid");
  }
  UsbDevice(t, bus2 + "/2-1", "0781", "5567", 2, 1);
  t.Device(bus2 + "/2-1/2-1:1.0", "usb", "DEVTYPE=usb_interface\n");
  t.File(bus2 + "/2-1/2-1:1.0/bInterfaceClass", "08\n");
  t.Driver(bus2 + "/2-1/2-1:1.0", "usb", "usb-storage", "usb_storage");
  // A device the id file does not know: named by what it says of itself.
  UsbDevice(t, bus1 + "/1-2", "1234", "abcd", 3, 1);
  t.File(bus1 + "/1-2/product", "Gadget\n");
  t.File("/usr/share/misc/usb.ids",
         "# comment\n1d6b  Linux Foundation\n\t0002  2.0 root hub\n\t0003  3.0 root hub\n"
         "046d  Logitech, Inc.\n\tc52b  Unifying Receiver\n\tzzzz  malformed\n"
         "0781  SanDisk Corp.\n\t5567  Cruzer Blade\n"
         "C 09  Hub\n");
}

// What lsusb prints for that tree.
constexpr const char* kLsusbOfTheTree =
    "Bus 001 Device 001: ID 1d6b:0002 Linux Foundation 2.0 root hub\n"
    "Bus 001 Device 002: ID 046d:c52b Logitech, Inc. Unifying Receiver\n"
    "Bus 001 Device 003: ID 1234:abcd \n"
    "Bus 002 Device 001: ID 1d6b:0003 Linux Foundation 3.0 root hub\n"
    "Bus 002 Device 002: ID 0781:5567 SanDisk Corp. Cruzer Blade\n";

TEST(UsbDevices, SysfsTreeMatchesWhatLsusbWouldPrint) {
  SysfsTree t;
  BuildUsbMachine(t);
  TVexa_Devices devices(ServicesOver(t));
  devices.RefreshData();
  EXPECT_TRUE(devices.UsbIdsSource.ok()) << devices.UsbIdsSource.Explain();
  EXPECT_EQ(LsusbMismatches(kLsusbOfTheTree, devices), std::vector<std::string>{});

  // The comparison catches a device missing from the list, and one with other names.
  const auto wrong = LsusbMismatches(
      "Bus 003 Device 002: ID 046d:c52b Logitech, Inc. Unifying Receiver\n"
      "Bus 002 Device 002: ID 0781:5567 SanDisk Corp. Ultra\n",
      devices);
  EXPECT_EQ(wrong.size(), 2u);
}

// Without usb.ids the names come from what the devices say, or from their ids, and the list
// says why.
TEST(UsbDevices, MissingIdFileFallsBackToTheDeviceAndItsIds) {
  SysfsTree t;
  BuildUsbMachine(t);
  std::filesystem::remove(t.root() / "usr/share/misc/usb.ids");
  TVexa_Devices devices(ServicesOver(t));
  devices.RefreshData();
  EXPECT_EQ(devices.UsbIdsSource.status, platform::Status::Missing);
  std::map<std::string, std::string> names;
  for (const auto& d : devices.List()) names[d.InstanceKey] = d.Name;
  EXPECT_EQ(names["1-2"], "Gadget");
  EXPECT_EQ(names["1-1"], "USB device 046d:c52b");
  EXPECT_EQ(names["usb1"], "USB device 1d6b:0002");
}

TEST(UsbDevices, EveryDeviceOfLsusbAppearsOnceWithItsIdsAndNames) {
  FILE* pipe = ::popen("lsusb 2>/dev/null", "r");
  std::string out;
  char buffer[4096];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
  if (pipe) ::pclose(pipe);
  if (out.empty())
    GTEST_SKIP() << "lsusb is not installed or this machine has no USB (make test installs "
                    "usbutils); the sysfs tree test covers the comparison";
  auto services = std::make_shared<platform::Services>(platform::MakeLiveServices());
  TVexa_Devices devices(services);
  devices.RefreshData();
  EXPECT_EQ(LsusbMismatches(out, devices), std::vector<std::string>{});
}

}  // namespace
}  // namespace tavrin::collectors
