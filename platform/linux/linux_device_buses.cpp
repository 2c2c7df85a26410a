// The Linux device walk, per bus: what the PCI, USB, PnP, virtio and input devices tell of
// themselves in their sysfs folders.
#include <algorithm>

#include "platform/linux/linux_device_text.h"
#include "platform/linux/linux_devices.h"

namespace tavrin::platform {

using namespace device_text;

void LinuxDeviceService::ReadPci(const std::string& path, DeviceInstanceValues& v) const {
  DeviceModelFacts& f = *v.model;
  f.vendorId = Hex(path + "/vendor");
  f.deviceId = Hex(path + "/device");
  f.subVendorId = Hex(path + "/subsystem_vendor");
  f.subDeviceId = Hex(path + "/subsystem_device");
  f.revision = Hex(path + "/revision");
  f.classCode = Hex(path + "/class");
  // The configuration header is the first source; an unprivileged reader gets its first 64
  // bytes, enough for the ids. The attributes answer when it cannot be read.
  auto config = files_->ReadFile(path + "/config", 256);
  f.configSource = config.source;
  if (config && config->size() >= 0x30) {
    f.pciConfig = *config;
    const std::string_view b = f.pciConfig;
    f.vendorId = Le(b, 0x00, 2);
    f.deviceId = Le(b, 0x02, 2);
    f.revision = Le(b, 0x08, 1);
    f.classCode = Le(b, 0x09, 3);
    if ((Le(b, 0x0E, 1) & 0x7F) == 0) {  // header type 0 carries the subsystem ids
      f.subVendorId = Le(b, 0x2C, 2);
      f.subDeviceId = Le(b, 0x2E, 2);
    }
  }
  const std::string ven_dev = "VEN_" + Hex4(f.vendorId) + "&DEV_" + Hex4(f.deviceId);
  const std::string subsys = "SUBSYS_" + Hex4(f.subDeviceId) + Hex4(f.subVendorId);
  const std::string rev = "REV_" + Hex2(f.revision);
  char cc[16];
  std::snprintf(cc, sizeof cc, "%06X", f.classCode & 0xFFFFFF);
  v.ref = {"PCI", ven_dev + "&" + subsys + "&" + rev, f.kernelName};
  v.hardwareIds = {"PCI\\" + ven_dev + "&" + subsys + "&" + rev,
                   "PCI\\" + ven_dev + "&" + subsys,
                   "PCI\\" + ven_dev + "&" + rev,
                   "PCI\\" + ven_dev,
                   "PCI\\" + ven_dev + "&CC_" + cc,
                   "PCI\\" + ven_dev + "&CC_" + std::string(cc, 4)};
  // "0000:00:1c.5": domain, bus, device and function in hexadecimal.
  unsigned domain = 0, bus = 0, device = 0, function = 0;
  if (std::sscanf(f.kernelName.c_str(), "%x:%x:%x.%x", &domain, &bus, &device, &function) == 4) {
    v.locationInformation = "PCI bus " + std::to_string(bus) + ", device " +
                            std::to_string(device) + ", function " + std::to_string(function);
  }
  if (auto res = files_->ReadFile(path + "/resource", 65536))
    f.resources = ParsePciResourceFile(*res);
  if (const int irq = ParseInt(Line(path + "/irq")); irq > 0)
    f.resources.push_back(
        {DeviceResource::Kind::Irq, static_cast<uint64_t>(irq), static_cast<uint64_t>(irq)});
}

void LinuxDeviceService::ReadUsb(const std::string& path, DeviceInstanceValues& v) const {
  DeviceModelFacts& f = *v.model;
  const bool interface = f.devType == "usb_interface";
  const std::string device = interface ? Parent(path) : path;
  f.vendorId = Hex(device + "/idVendor");
  f.deviceId = Hex(device + "/idProduct");
  f.revision = Hex(device + "/bcdDevice");
  f.usbDevNum = ParseInt(Line(device + "/devnum"));
  f.usbParentDevNum = ParseInt(Line(Parent(device) + "/devnum"));
  f.vendorText = Line(device + "/manufacturer");
  f.modelText = Line(device + "/product");
  std::string ids = "VID_" + Hex4(f.vendorId) + "&PID_" + Hex4(f.deviceId);
  std::string iface = path;
  if (!interface) {
    f.usbClass = static_cast<int>(Hex(path + "/bDeviceClass"));
    f.usbSubClass = static_cast<int>(Hex(path + "/bDeviceSubClass"));
    f.usbProtocol = static_cast<int>(Hex(path + "/bDeviceProtocol"));
    f.usbInterfaceCount = ParseInt(Line(path + "/bNumInterfaces"));
    // A device whose one interface says what it is takes that interface's class and driver.
    if (f.usbClass == 0 && f.usbInterfaceCount == 1) {
      const std::string config = Line(path + "/bConfigurationValue");
      iface = path + "/" + f.kernelName + ":" + (config.empty() ? "1" : config) + ".0";
      if (auto link = files_->ReadLink(iface + "/driver")) {
        f.driver = BaseName(*link);
        if (auto module = files_->ReadLink(iface + "/driver/module")) f.module = BaseName(*module);
        v.driver = f.driver;
        v.service = f.module;
      }
    }
  }
  if (interface || iface != path) {
    f.usbClass = static_cast<int>(Hex(iface + "/bInterfaceClass"));
    f.usbSubClass = static_cast<int>(Hex(iface + "/bInterfaceSubClass"));
    f.usbProtocol = static_cast<int>(Hex(iface + "/bInterfaceProtocol"));
    f.usbInterfaceNumber = static_cast<int>(Hex(iface + "/bInterfaceNumber"));
    if (interface) {
      const std::string text = Line(iface + "/interface");
      if (!text.empty()) f.modelText = text;
      char mi[8];
      std::snprintf(mi, sizeof mi, "&MI_%02X", f.usbInterfaceNumber & 0xFF);
      ids += mi;
    }
  }
  v.ref = {"USB", ids, f.kernelName};
  char rev[16];
  std::snprintf(rev, sizeof rev, "&REV_%04X", f.revision & 0xFFFF);
  v.hardwareIds = {"USB\\" + ids.substr(0, 17) + rev + ids.substr(17), "USB\\" + ids};
  // "1-1.2": the port is the last number of the path; the hub is the device above it.
  if (!interface && f.kernelName.find('-') != std::string::npos) {
    const auto cut = f.kernelName.find_last_of("-.");
    char text[48];
    std::snprintf(text, sizeof text, "Port_#%04d.Hub_#%04d",
                  std::max(0, ParseInt(f.kernelName.substr(cut + 1))),
                  std::max(0, f.usbParentDevNum));
    v.locationInformation = text;
  }
}

void LinuxDeviceService::ReadPnp(const std::string& path, DeviceInstanceValues& v) const {
  DeviceModelFacts& f = *v.model;
  if (auto ids = files_->ReadFile(path + "/id", 4096)) {
    std::string_view rest = *ids;
    while (!rest.empty()) {
      const auto end = rest.find('\n');
      auto line = rest.substr(0, end);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
      while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
      if (!line.empty()) f.pnpIds.emplace_back(line);
    }
  }
  const std::string id = f.pnpIds.empty() ? std::string("PNP") : f.pnpIds.front();
  v.ref = {"ACPI", id, f.kernelName};
  v.hardwareIds = {"ACPI\\" + id, "*" + id};
  if (auto res = files_->ReadFile(path + "/resources", 65536))
    f.resources = ParsePnpResources(*res);
}

void LinuxDeviceService::ReadVirtio(DeviceInstanceValues& v) const {
  DeviceModelFacts& f = *v.model;
  // "virtio:d00000001v00001AF4": device type and vendor.
  const std::string_view alias = f.modalias;
  const auto d = alias.find(":d"), ven = alias.find('v', d == std::string_view::npos ? 0 : d);
  if (d != std::string_view::npos)
    f.deviceId = static_cast<uint32_t>(ParseHex(alias.substr(d + 2, 8)));
  if (ven != std::string_view::npos)
    f.vendorId = static_cast<uint32_t>(ParseHex(alias.substr(ven + 1, 8)));
  if (d == std::string_view::npos) {  // a uevent without MODALIAS: the attributes say it too
    f.deviceId = Hex(v.keyPath + "/device");
    f.vendorId = Hex(v.keyPath + "/vendor");
  }
  char id[48];
  std::snprintf(id, sizeof id, "VEN_%04X&DEV_%04X", f.vendorId & 0xFFFF, f.deviceId & 0xFFFF);
  v.ref = {"VIRTIO", id, f.kernelName};
  v.hardwareIds = {"VIRTIO\\" + std::string(id)};
}

void LinuxDeviceService::ReadInput(const std::string& path, DeviceInstanceValues& v) const {
  DeviceModelFacts& f = *v.model;
  f.modelText = Line(path + "/name");
  f.inputBus = static_cast<int>(Hex(path + "/id/bustype"));
  f.vendorId = Hex(path + "/id/vendor");
  f.deviceId = Hex(path + "/id/product");
  f.revision = Hex(path + "/id/version");
  f.inputEv = Line(path + "/capabilities/ev");
  f.inputKey = Line(path + "/capabilities/key");
  f.inputRel = Line(path + "/capabilities/rel");
  f.inputAbs = Line(path + "/capabilities/abs");
  // USB and Bluetooth input devices are HID devices; the others sit on their own port.
  const bool hid = f.inputBus == 0x03 || f.inputBus == 0x05;
  char id[48];
  std::snprintf(id, sizeof id, "VID_%04X&PID_%04X", f.vendorId & 0xFFFF, f.deviceId & 0xFFFF);
  v.ref = {hid ? "HID" : "INPUT", id, f.kernelName};
  v.hardwareIds = {v.ref.enumerator + "\\" + id};
}

bool LinuxDeviceService::ReadBlock(Walk& walk, const std::string& path,
                                   DeviceInstanceValues& v) const {
  DeviceModelFacts& f = *v.model;
  const bool partition = f.devType == "partition";
  const std::string disk = partition ? Parent(path) : path;
  // A disk without a device below it is virtual (loop, RAM, device mapper): not hardware.
  auto device_link = files_->ReadLink(disk + "/device");
  if (!device_link) return false;
  const std::string device =
      (std::filesystem::path(disk) / *device_link).lexically_normal().generic_string();
  f.parentSubsystem.clear();
  if (auto sub = files_->ReadLink(device + "/subsystem")) f.parentSubsystem = BaseName(*sub);
  // Disks on SCSI, NVMe and MMC name themselves; a virtio device's "vendor" is a number.
  if (f.parentSubsystem == "scsi" || f.parentSubsystem == "nvme" || f.parentSubsystem == "mmc") {
    f.vendorText = Line(device + "/vendor");
    f.modelText = Line(device + "/model");
  }
  f.scsiType = ParseInt(Line(device + "/type"));
  f.removable = Line(disk + "/removable") == "1";
  // The disk is run by the driver of the device it sits on.
  if (auto link = files_->ReadLink(device + "/driver")) f.driver = BaseName(*link);
  if (auto module = files_->ReadLink(device + "/driver/module")) f.module = BaseName(*module);
  if (!f.module.empty()) {
    f.moduleVersion = Line("/sys/module/" + f.module + "/version");
    f.moduleTaint = Line("/sys/module/" + f.module + "/taint");
  }
  v.driver = f.driver;
  v.service = f.module;
  f.kernelRelease = walk.kernelRelease;
  const bool scsi = f.parentSubsystem == "scsi";
  std::string id = partition ? "Volume" : "Disk";
  if (scsi && !partition) {
    std::string vendor = f.vendorText, model = f.modelText;
    std::replace(vendor.begin(), vendor.end(), ' ', '_');
    std::replace(model.begin(), model.end(), ' ', '_');
    id = (f.scsiType == 5 ? "CdRom&Ven_" : "Disk&Ven_") + vendor + "&Prod_" + model;
  }
  v.ref = {scsi && !partition ? "SCSI" : "STORAGE", id, f.kernelName};
  v.hardwareIds = {v.ref.enumerator + "\\" + id};
  v.locationInformation = f.kernelName;
  return true;
}

}  // namespace tavrin::platform
