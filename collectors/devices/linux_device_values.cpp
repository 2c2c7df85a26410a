#include "collectors/devices/linux_device_values.h"

#include <cstdio>

#include "base/strings.h"
#include "collectors/devices/device_classes.h"
#include "collectors/devices/linux_device_class.h"

namespace tavrin::collectors {
namespace {

std::string Trimmed(std::string_view s) {
  return std::string(base::Trim(s));
}

std::string FirstOf(std::initializer_list<std::string> texts) {
  for (const auto& t : texts)
    if (!Trimmed(t).empty()) return Trimmed(t);
  return {};
}

std::string Hex4(uint32_t v) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", v & 0xFFFF);
  return text;
}

}  // namespace

void FillFromDeviceModel(platform::DeviceInstanceValues& v, const IdNames& names) {
  if (!v.model) return;
  const platform::DeviceModelFacts& f = *v.model;
  const std::string_view s = f.subsystem;
  auto pci_vendor = [&](uint32_t id) { return names.pci ? names.pci->Vendor(id) : std::string(); };
  if (s == "pci") {
    v.mfg = FirstOf({pci_vendor(f.vendorId), f.udevVendor});
    const std::string cls =
        names.pci ? names.pci->Class((f.classCode >> 16) & 0xFF, (f.classCode >> 8) & 0xFF)
                  : std::string();
    v.deviceDesc = FirstOf({names.pci ? names.pci->Device(f.vendorId, f.deviceId) : "", f.udevModel,
                            cls, "PCI device " + Hex4(f.vendorId) + ":" + Hex4(f.deviceId)});
  } else if (s == "usb") {
    const IdDatabaseNames* usb = names.usb;
    v.mfg = FirstOf({usb ? usb->Vendor(f.vendorId) : "", f.udevVendor, f.vendorText});
    const std::string cls = usb ? usb->Class(f.usbClass, f.usbSubClass) : std::string();
    if (f.devType == "usb_interface") {
      v.deviceDesc = FirstOf({f.modelText, cls, "USB interface"});
    } else {
      v.deviceDesc =
          FirstOf({usb ? usb->Device(f.vendorId, f.deviceId) : "", f.udevModel, f.modelText, cls,
                   "USB device " + Hex4(f.vendorId) + ":" + Hex4(f.deviceId)});
    }
  } else if (s == "pnp" || s == "acpi" || s == "platform") {
    for (const auto& id : f.pnpIds)
      if (const PnpEntry* e = FindPnpId(id); e && v.deviceDesc.empty())
        v.deviceDesc = std::string(e->description);
    if (v.deviceDesc.empty())
      v.deviceDesc =
          f.pnpIds.empty() ? "Platform device " + f.kernelName : "ACPI device " + f.pnpIds.front();
    if (const std::string tty = platform::TerminalNodeName(f); !tty.empty())
      v.friendlyName = v.deviceDesc + " (" + tty + ")";
  } else if (s == "virtio") {
    v.mfg = pci_vendor(f.vendorId);
    const std::string_view name = VirtioDeviceName(f.deviceId);
    v.deviceDesc = name.empty() ? "Virtio device " + std::to_string(f.deviceId) : std::string(name);
  } else if (s == "input") {
    if (f.inputBus == 0x03 && names.usb) v.mfg = names.usb->Vendor(f.vendorId);
    v.deviceDesc = FirstOf({f.modelText, "Input device"});
  } else if (s == "block") {
    const bool partition = f.devType == "partition";
    const std::string kind = partition ? "Volume" : f.scsiType == 5 ? "CD-ROM drive" : "Disk drive";
    v.deviceDesc = kind;
    v.mfg = partition ? std::string() : Trimmed(f.vendorText);
    const std::string model =
        partition ? std::string() : FirstOf({Trimmed(f.vendorText) + " " + Trimmed(f.modelText)});
    v.friendlyName = (model.empty() ? kind : model) + " (" + f.kernelName + ")";
  } else if (s == "cpu") {
    v.deviceDesc = FirstOf({f.modelText, "Processor"});
    v.mfg = f.vendorText;
  } else if (s == "computer") {
    const std::string arch = f.modelText.empty() ? "" : f.modelText + " ";
    v.deviceDesc = (f.vendorText == "ACPI" ? "ACPI " : "") + arch + "PC";
  }
  v.className = std::string(SetupClassOf(f));
  if (const SetupClass* c = FindSetupClass(v.className)) v.classGuid = std::string(c->guid);
}

platform::DeviceDriverValues DriverValuesOf(const platform::DeviceModelFacts& f) {
  platform::DeviceDriverValues d;
  if (f.driver.empty()) return d;
  // A module without "O" (out of tree) or "P"/"E" (proprietary, unsigned) in its taint was
  // built with the kernel, as is every built-in driver.
  const bool with_kernel = f.moduleTaint.find_first_of("OPE") == std::string::npos;
  d.version = !f.moduleVersion.empty() ? f.moduleVersion : with_kernel ? f.kernelRelease : "";
  if (with_kernel) d.provider = "Linux kernel";
  return d;
}

platform::DeviceProblem ProblemOf(const platform::DeviceModelFacts& f) {
  if (f.problem == platform::DeviceProblem::NoDriver && f.subsystem == "pci" &&
      ((f.classCode >> 16) & 0xFF) == 0x06)
    return platform::DeviceProblem::None;
  return f.problem;
}

}  // namespace tavrin::collectors
