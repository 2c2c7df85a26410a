// The device list of a Linux machine, read from a small sysfs tree: identity in the registry's
// shape, names from the id files, classes, drivers, resources, problems, and bad input.
#include <gtest/gtest.h>

#include <algorithm>

#include "collectors/devices/vsi_devices.h"
#include "platform/linux/linux_devices.h"
#include "platform/service_hooks.h"
#include "tests/collectors/devices/sysfs_tree.h"

namespace tavrin::collectors {
namespace {

using platform::DeviceProblem;
using platform::DeviceResource;
using testing::SysfsTree;

std::string Config(uint16_t vendor, uint16_t device, uint32_t cls, uint8_t rev, uint16_t subVendor,
                   uint16_t subDevice) {
  std::string b(64, '\0');
  auto put = [&b](std::size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put(0, vendor, 2), put(2, device, 2), put(8, rev, 1), put(9, cls, 3);
  put(0x2C, subVendor, 2), put(0x2E, subDevice, 2);
  return b;
}

// A virtual machine in miniature.
void BuildMachine(const SysfsTree& t) {
  const std::string net = "/sys/devices/pci0000:00/0000:00:03.0";
  t.Device(net, "pci", "DRIVER=virtio-pci\nMODALIAS=pci:v00001AF4d00001041\n");
  t.File(net + "/vendor", "0x1af4\n"), t.File(net + "/device", "0x1041\n");
  t.File(net + "/class", "0x020000\n"), t.File(net + "/revision", "0x01\n");
  t.File(net + "/subsystem_vendor", "0x1af4\n"), t.File(net + "/subsystem_device", "0x1100\n");
  t.File(net + "/config", Config(0x1AF4, 0x1041, 0x020000, 1, 0x1AF4, 0x1100));
  t.File(net + "/resource",
         "0x000000000000c040 0x000000000000c05f 0x0000000000040101\n"
         "0x00000000febd1000 0x00000000febd1fff 0x0000000000040200\n"
         "0x0000000000000000 0x0000000000000000 0x0000000000000000\n");
  t.File(net + "/irq", "11\n");
  t.Driver(net, "pci", "virtio-pci", "virtio_pci");
  t.File("/sys/module/virtio_pci/version", "1\n");
  t.Device(net + "/virtio2", "virtio", "DRIVER=virtio_net\nMODALIAS=virtio:d00000001v00001AF4\n");
  t.Driver(net + "/virtio2", "virtio", "virtio_net", "virtio_net");
  t.Link("/sys/class/net/eth0", net + "/virtio2/net/eth0");
  std::filesystem::create_directories(t.root() / (net.substr(1) + "/virtio2/net/eth0"));

  const std::string host = "/sys/devices/pci0000:00/0000:00:00.0";
  t.Device(host, "pci", "PCI_CLASS=60000\n");
  t.File(host + "/vendor", "0x8086\n"), t.File(host + "/device", "0x0d57\n");
  t.File(host + "/class", "0x060000\n");
  const std::string xhci = "/sys/devices/pci0000:00/0000:00:07.0";
  t.Device(xhci, "pci", "PCI_CLASS=C0330\n");
  t.File(xhci + "/vendor", "0x1b36\n"), t.File(xhci + "/device", "0x000d\n");
  t.File(xhci + "/class", "0x0c0330\n");

  // A disk on a virtio device whose uevent has no MODALIAS.
  const std::string blk = "/sys/devices/pci0000:00/0000:00:02.0/virtio1";
  t.Device(blk, "virtio", "DRIVER=virtio_blk\n");
  t.File(blk + "/device", "0x0002\n"), t.File(blk + "/vendor", "0x1af4\n");
  t.Driver(blk, "virtio", "virtio_blk", "virtio_blk");
  t.Device(blk + "/block/vda", "block", "MAJOR=254\nMINOR=0\nDEVNAME=vda\nDEVTYPE=disk\n", false);
  t.Link(blk + "/block/vda/device", blk);
  t.Device(blk + "/block/vda/vda1", "block",
           "MAJOR=254\nMINOR=1\nDEVNAME=vda1\nDEVTYPE=partition\n", false);

  // A serial port: the tty sits below a port device of the serial core.
  const std::string com = "/sys/devices/pnp0/00:00";
  t.Device(com, "pnp", "DRIVER=serial\n");
  t.File(com + "/id", "PNP0501\n");
  t.File(com + "/resources", "state = active\nio 0x3f8-0x3ff\nirq 4\n");
  t.Driver(com, "pnp", "serial");
  t.Link("/sys/class/tty/ttyS0", com + "/00:00:0/00:00:0.0/tty/ttyS0");
  std::filesystem::create_directories(t.root() / (com.substr(1) + "/00:00:0/00:00:0.0/tty/ttyS0"));
  const std::string kbd_port = "/sys/devices/pnp0/00:01";
  t.Device(kbd_port, "pnp", "");
  t.File(kbd_port + "/id", "PNP0303\n");

  // A keyboard on the i8042 port.
  const std::string serio = "/sys/devices/platform/i8042/serio0";
  t.Driver(serio, "serio", "atkbd");
  t.Device(serio + "/input/input3", "input", "PRODUCT=11/1/1/ab41\nNAME=\"AT keyboard\"\n", false);
  t.File(serio + "/input/input3/name", "AT Translated Set 2 keyboard\n");
  t.File(serio + "/input/input3/id/bustype", "0011\n");
  t.File(serio + "/input/input3/capabilities/ev", "120013\n");
  t.File(serio + "/input/input3/capabilities/key",
         "402000000 3803078f800d001 feffffdfffefffff fffffffffffffffe\n");

  // A composite USB device (two interfaces) and a single-interface one.
  const std::string hub = "/sys/devices/pci0000:00/0000:00:07.0/usb1";
  t.File(hub + "/devnum", "1\n");
  const std::string combo = hub + "/1-1";
  t.Device(combo, "usb", "DEVTYPE=usb_device\n");
  t.File(combo + "/idVendor", "046d\n"), t.File(combo + "/idProduct", "c52b\n");
  t.File(combo + "/bcdDevice", "1201\n"), t.File(combo + "/bDeviceClass", "00\n");
  t.File(combo + "/bNumInterfaces", " 2\n"), t.File(combo + "/devnum", "2\n");
  t.File(combo + "/product", "USB Receiver\n");
  t.Driver(combo, "usb", "usb");
  for (int i = 0; i < 2; ++i) {
    const std::string iface = combo + "/1-1:1." + std::to_string(i);
    t.Device(iface, "usb", "DEVTYPE=usb_interface\n");
    t.File(iface + "/bInterfaceClass", "03\n"), t.File(iface + "/bInterfaceSubClass", "01\n");
    t.File(iface + "/bInterfaceProtocol", i == 0 ? "01\n" : "02\n");
    t.File(iface + "/bInterfaceNumber", "0" + std::to_string(i) + "\n");
    t.Driver(iface, "usb", "usbhid", "usbhid");
  }
  const std::string stick = hub + "/1-2";
  t.Device(stick, "usb", "DEVTYPE=usb_device\n");
  t.File(stick + "/idVendor", "0781\n"), t.File(stick + "/idProduct", "5567\n");
  t.File(stick + "/bDeviceClass", "00\n"), t.File(stick + "/bNumInterfaces", " 1\n");
  t.File(stick + "/bConfigurationValue", "1\n");
  t.Driver(stick, "usb", "usb");
  t.Device(stick + "/1-2:1.0", "usb", "DEVTYPE=usb_interface\n");
  t.File(stick + "/1-2:1.0/bInterfaceClass", "08\n");
  t.Driver(stick + "/1-2:1.0", "usb", "usb-storage", "usb_storage");

  t.File("/proc/sys/kernel/osrelease", "6.1.0-test\n");
  t.File("/usr/share/misc/pci.ids",
         "1af4  Red Hat, Inc.\n\t1041  Virtio 1.0 network device\n\tbad line\n"
         "8086  Intel Corporation\n1b36  Red Hat, Inc.\n\t000d  QEMU XHCI Host Controller\n"
         "C 06  Bridge\n\t00  Host bridge\n");
  t.File("/usr/share/misc/usb.ids",
         "046d  Logitech, Inc.\n\tc52b  Unifying Receiver\n"
         "C 03  Human Interface Device\n");
}

std::shared_ptr<platform::Services> ServicesOver(
    std::shared_ptr<const platform::FileReader> files) {
  auto services =
      std::const_pointer_cast<platform::Services>(testing::MakeTestServices(files->root()));
  services->files = files;
  services->devices = platform::MakeLinuxDeviceService(files);
  return services;
}

const TDevice* Find(const TVexa_Devices& devices, std::string_view instance) {
  for (const auto& d : devices.List())
    if (d.InstanceKey == instance) return &d;
  return nullptr;
}

TEST(LinuxDevices, MachineReadsInTheRegistryShape) {
  SysfsTree t;
  BuildMachine(t);
  TVexa_Devices devices(ServicesOver(std::make_shared<platform::FileReader>(t.root())));
  devices.RefreshData();

  const TDevice* net = Find(devices, "0000:00:03.0");
  ASSERT_NE(net, nullptr);
  EXPECT_EQ(net->HardwareID, "PCI\\VEN_1AF4&DEV_1041&SUBSYS_11001AF4&REV_01");
  EXPECT_EQ(net->VendorID, 0x1AF4u);
  EXPECT_EQ(net->SubSysID, 0x11001AF4u);
  EXPECT_EQ(net->Name, "Virtio 1.0 network device");
  EXPECT_EQ(net->Manufacturer, "Red Hat, Inc.");
  EXPECT_EQ(net->ClassName, "Net");
  EXPECT_EQ(net->ClassDesc, "Network adapters");
  EXPECT_EQ(net->DeviceClass, 21);
  EXPECT_EQ(net->Location, "PCI bus 0, device 3, function 0");
  EXPECT_EQ(net->DeviceNumber, 3);
  EXPECT_EQ(net->Driver, "virtio-pci");
  EXPECT_EQ(net->Service, "virtio_pci");
  EXPECT_EQ(net->DriverVersion, "1");
  EXPECT_EQ(net->ServiceType, 1);
  EXPECT_EQ(net->RegKey, "/sys/devices/pci0000:00/0000:00:03.0");
  EXPECT_EQ(net->Resources,
            (std::vector<DeviceResource>{{DeviceResource::Kind::Io, 0xC040, 0xC05F},
                                         {DeviceResource::Kind::Memory, 0xFEBD1000, 0xFEBD1FFF},
                                         {DeviceResource::Kind::Irq, 11, 11}}));
  EXPECT_EQ(net->Problem, DeviceProblem::None);

  // The virtio function below it is no second network adapter, and names the interface.
  const TDevice* vnet = Find(devices, "virtio2");
  ASSERT_NE(vnet, nullptr);
  EXPECT_EQ(vnet->ClassName, "System");
  EXPECT_EQ(vnet->Name, "Virtio network device");
  EXPECT_EQ(vnet->Driver, "virtio_net");
  EXPECT_EQ(vnet->SymbolicLink, "eth0");

  // No driver: the PCI core runs host bridges, so only the USB controller is marked.
  EXPECT_EQ(Find(devices, "0000:00:00.0")->Problem, DeviceProblem::None);
  EXPECT_EQ(Find(devices, "0000:00:00.0")->Name, "Host bridge");
  EXPECT_EQ(Find(devices, "0000:00:07.0")->Problem, DeviceProblem::NoDriver);
  EXPECT_EQ(Find(devices, "0000:00:07.0")->Name, "QEMU XHCI Host Controller");
  EXPECT_EQ(Find(devices, "00:01")->Problem, DeviceProblem::NoDriver);

  const TDevice* com = Find(devices, "00:00");
  ASSERT_NE(com, nullptr);
  EXPECT_EQ(com->HardwareID, "ACPI\\PNP0501");
  EXPECT_EQ(com->ClassName, "Ports");
  EXPECT_EQ(com->Name, "16550A-compatible communications port (ttyS0)");
  EXPECT_EQ(com->SymbolicLink, "/dev/ttyS0");
  EXPECT_EQ(com->DriverProvider, "Linux kernel");
  EXPECT_EQ(com->DriverVersion, "6.1.0-test");  // built in: the kernel's release
  EXPECT_EQ(com->Resources.size(), 2u);

  const TDevice* vda = Find(devices, "vda");
  ASSERT_NE(vda, nullptr);
  EXPECT_EQ(vda->ClassName, "DiskDrive");
  EXPECT_EQ(vda->Driver, "virtio_blk");
  EXPECT_EQ(vda->SymbolicLink, "/dev/vda");
  EXPECT_EQ(Find(devices, "vda1")->ClassName, "Volume");
  const TDevice* vblk = Find(devices, "virtio1");  // ids from the attributes
  ASSERT_NE(vblk, nullptr);
  EXPECT_EQ(vblk->HardwareID, "VIRTIO\\VEN_1AF4&DEV_0002");
  EXPECT_EQ(vblk->Name, "Virtio block device");

  const TDevice* kbd = Find(devices, "input3");
  ASSERT_NE(kbd, nullptr);
  EXPECT_EQ(kbd->ClassName, "Keyboard");
  EXPECT_EQ(kbd->Name, "AT Translated Set 2 keyboard");
  EXPECT_EQ(kbd->Driver, "atkbd");

  // USB: the composite device and its interfaces; a one-interface device is its function.
  const TDevice* combo = Find(devices, "1-1");
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->HardwareID, "USB\\VID_046D&PID_C52B&REV_1201");
  EXPECT_EQ(combo->ClassName, "USB");
  EXPECT_EQ(combo->Name, "Unifying Receiver");
  EXPECT_EQ(combo->Manufacturer, "Logitech, Inc.");
  EXPECT_EQ(combo->Location, "Port_#0001.Hub_#0001");
  EXPECT_EQ(combo->PCINumber, -1);
  ASSERT_NE(Find(devices, "1-1:1.1"), nullptr);
  EXPECT_EQ(Find(devices, "1-1:1.1")->HardwareID, "USB\\VID_046D&PID_C52B&REV_1201&MI_01");
  EXPECT_EQ(Find(devices, "1-1:1.1")->ClassName, "HIDClass");
  EXPECT_EQ(Find(devices, "1-2:1.0"), nullptr);
  EXPECT_EQ(Find(devices, "1-2")->Driver, "usb-storage");

  ASSERT_GT(devices.DeviceCount(), 0);
  EXPECT_EQ(devices.Devices(0).ClassName, "Computer");
  EXPECT_EQ(ComputerDescription(devices), "PC");
  for (int i = 1; i < devices.DeviceCount(); ++i) {
    std::string a = devices.Devices(i - 1).ClassName, b = devices.Devices(i).ClassName;
    std::transform(a.begin(), a.end(), a.begin(), ::tolower);
    std::transform(b.begin(), b.end(), b.begin(), ::tolower);
    EXPECT_LE(a, b);
  }

  // A second refresh gives the same list.
  const auto first = devices.List();
  devices.RefreshData();
  ASSERT_EQ(devices.List().size(), first.size());
  for (std::size_t i = 0; i < first.size(); ++i)
    EXPECT_EQ(devices.List()[i].RegKey, first[i].RegKey);
}

// Denies the configuration space as the kernel does for a user without the right.
class NoConfigReader : public platform::FileReader {
 public:
  using FileReader::FileReader;
  platform::Answer<std::string> ReadFile(std::string_view path, std::size_t limit) const override {
    if (path.size() > 7 && path.substr(path.size() - 7) == "/config")
      return platform::Answer<std::string>::Fail(platform::Status::PermissionDenied,
                                                 std::string(path), "Permission denied");
    return FileReader::ReadFile(path, limit);
  }
};

// Removes a device folder right after its uevent was read, as an unplug during the walk does.
class UnplugReader : public platform::FileReader {
 public:
  UnplugReader(std::filesystem::path root, std::string device)
      : FileReader(root), device_(std::move(device)) {}
  platform::Answer<std::string> ReadFile(std::string_view path, std::size_t limit) const override {
    auto answer = FileReader::ReadFile(path, limit);
    if (path == device_ + "/uevent") std::filesystem::remove_all(Resolve(device_));
    return answer;
  }

 private:
  std::string device_;
};

TEST(LinuxDevices, DeviceUnpluggedDuringTheWalkIsLeftOut) {
  SysfsTree t;
  BuildMachine(t);
  TVexa_Devices devices(ServicesOver(
      std::make_shared<UnplugReader>(t.root(), "/sys/devices/pci0000:00/0000:00:07.0/usb1/1-2")));
  devices.RefreshData();
  EXPECT_EQ(Find(devices, "1-2"), nullptr);
  EXPECT_NE(Find(devices, "1-1"), nullptr);
}

TEST(LinuxDevices, BadInputLeavesTheRestOfTheList) {
  SysfsTree t;
  BuildMachine(t);
  // A device that vanished between the listing and the read, and one with no uevent.
  t.Link("/sys/bus/pci/devices/0000:00:09.0", "/sys/devices/pci0000:00/0000:00:09.0");
  t.File("/sys/devices/pci0000:00/0000:00:0a.0/vendor", "0x8086\n");
  t.Link("/sys/bus/pci/devices/0000:00:0a.0", "/sys/devices/pci0000:00/0000:00:0a.0");
  // Id files gone: names come from what the devices say, or their class and ids.
  std::filesystem::remove(t.root() / "usr/share/misc/pci.ids");
  std::filesystem::remove(t.root() / "usr/share/misc/usb.ids");
  TVexa_Devices devices(ServicesOver(std::make_shared<NoConfigReader>(t.root())));
  devices.RefreshData();

  EXPECT_EQ(Find(devices, "0000:00:09.0"), nullptr);
  EXPECT_EQ(Find(devices, "0000:00:0a.0"), nullptr);
  const TDevice* net = Find(devices, "0000:00:03.0");
  ASSERT_NE(net, nullptr);
  EXPECT_EQ(net->HardwareID, "PCI\\VEN_1AF4&DEV_1041&SUBSYS_11001AF4&REV_01");  // attributes
  EXPECT_EQ(net->Name, "PCI device 1af4:1041");
  EXPECT_EQ(net->Manufacturer, "");
  EXPECT_EQ(Find(devices, "1-1")->Name, "USB Receiver");
  EXPECT_EQ(devices.PciIdsSource.status, platform::Status::Missing);
  EXPECT_NE(Find(devices, "00:00"), nullptr);
}

// The kernel log names the driver whose probe failed; a device that has a driver now is fine.
TEST(LinuxDevices, FailedProbeFromTheKernelLogMarksTheDevice) {
  SysfsTree t;
  BuildMachine(t);
  t.File("/dev/kmsg",
         "6,1,0,-;Linux version 6.1.0-test\n"
         "3,40,900,-;xhci_hcd: probe of 0000:00:07.0 failed with error -12\n"
         "3,41,950,-;virtio-pci 0000:00:03.0: probe with driver virtio-pci failed with error -5\n");
  auto services = ServicesOver(std::make_shared<platform::FileReader>(t.root()));
  TVexa_Devices devices(services);
  devices.RefreshData();

  const TDevice* xhci = Find(devices, "0000:00:07.0");
  ASSERT_NE(xhci, nullptr);
  EXPECT_EQ(xhci->Problem, DeviceProblem::ProbeFailed);
  EXPECT_EQ(xhci->ProbeDriver, "xhci_hcd");
  EXPECT_EQ(xhci->ProbeError, -12);
  EXPECT_EQ(Find(devices, "0000:00:03.0")->Problem, DeviceProblem::None);  // bound since
  EXPECT_EQ(Find(devices, "00:01")->Problem, DeviceProblem::NoDriver);

  // The side sources say what was read: the log, and no udev database on this machine.
  EXPECT_TRUE(devices.KernelLogSource.ok()) << devices.KernelLogSource.Explain();
  EXPECT_EQ(devices.UdevSource.status, platform::Status::Missing);
  EXPECT_EQ(devices.UdevSource.detail, "udev keeps no database here");

  // A recording keeps the failure and the side sources for the replay.
  std::unique_ptr<platform::ServiceRecording> recording;
  auto recording_services = std::make_shared<platform::Services>(*services);
  recording_services->devices = platform::RecordDevices(services->devices, recording);
  TVexa_Devices(recording_services).RefreshData();
  testing::TempDir snapshot;
  std::string error;
  ASSERT_TRUE(recording->Finish(snapshot.path(), &error)) << error;
  std::vector<std::string> warnings;
  auto replay_services = std::make_shared<platform::Services>(*services);
  replay_services->devices = platform::LoadRecordedDevices(snapshot.path(), nullptr, warnings);
  TVexa_Devices replayed(replay_services);
  replayed.RefreshData();
  ASSERT_NE(Find(replayed, "0000:00:07.0"), nullptr);
  EXPECT_EQ(Find(replayed, "0000:00:07.0")->Problem, DeviceProblem::ProbeFailed);
  EXPECT_EQ(Find(replayed, "0000:00:07.0")->ProbeDriver, "xhci_hcd");
  EXPECT_EQ(Find(replayed, "0000:00:07.0")->ProbeError, -12);
  EXPECT_EQ(replayed.KernelLogSource.source, devices.KernelLogSource.source);
  EXPECT_EQ(replayed.UdevSource.source, devices.UdevSource.source);

  // Without the log the device is still marked, as one without a driver.
  std::filesystem::remove(t.root() / "dev/kmsg");
  devices.RefreshData();
  EXPECT_EQ(Find(devices, "0000:00:07.0")->Problem, DeviceProblem::NoDriver);
  EXPECT_EQ(devices.KernelLogSource.status, platform::Status::Missing);
}

// udev's database files name what the id files do not.
TEST(LinuxDevices, UdevDatabaseFilesNameDevices) {
  SysfsTree t;
  BuildMachine(t);
  std::filesystem::remove(t.root() / "usr/share/misc/pci.ids");
  t.File("/run/udev/data/+pci:0000:00:07.0",
         "I:123\nE:ID_VENDOR_FROM_DATABASE=Red Hat, Inc.\n"
         "E:ID_MODEL_FROM_DATABASE=QEMU XHCI Host Controller\nG:seat\n");
  TVexa_Devices devices(ServicesOver(std::make_shared<platform::FileReader>(t.root())));
  devices.RefreshData();
  EXPECT_EQ(Find(devices, "0000:00:07.0")->Name, "QEMU XHCI Host Controller");
  EXPECT_EQ(Find(devices, "0000:00:07.0")->Manufacturer, "Red Hat, Inc.");
  // udev's files rather than libudev, which belongs to the running machine, not to a tree.
  EXPECT_EQ(devices.UdevSource.Explain(),
            "from /run/udev/data (libudev.so.1 not used for a captured tree)");
}

TEST(LinuxDevices, ResourceFilesParse) {
  using K = DeviceResource::Kind;
  EXPECT_EQ(platform::ParsePnpResources("state = active\nio 0x60-0x60\nio 0x64-0x64\nirq 1\n"
                                        "mem 0xfed00000-0xfed003ff\ndma 2\nio disabled\n"),
            (std::vector<DeviceResource>{{K::Io, 0x60, 0x60},
                                         {K::Io, 0x64, 0x64},
                                         {K::Irq, 1, 1},
                                         {K::Memory, 0xFED00000, 0xFED003FF},
                                         {K::Dma, 2, 2}}));
  EXPECT_TRUE(platform::ParsePciResourceFile("garbage\n\n0x0 0x0 0x0\n").empty());
}

}  // namespace
}  // namespace tavrin::collectors
