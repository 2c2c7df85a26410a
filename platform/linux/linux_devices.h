// The device database of a Linux machine: the kernel's device model in sysfs, with names from
// the udev database when it has them.
//
// Instances are the devices of the buses a user would call hardware (PCI, USB, PnP/ACPI,
// platform, virtio, processors), the input devices and the disks with their partitions, plus
// one node for the computer itself. Each answers its raw facts; every path is read through the
// file reader, so a captured tree replays by swapping its root.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "platform/devices.h"
#include "platform/file_reader.h"
#include "platform/linux/kernel_log.h"
#include "platform/linux/udev_library.h"

namespace tavrin::platform {

class LinuxDeviceService : public DeviceService {
 public:
  explicit LinuxDeviceService(std::shared_ptr<const FileReader> files);

  /// Walks sysfs; the facts of every instance are read here and kept for Instance().
  Answer<std::vector<DeviceInstanceRef>> Instances() const override;
  /// The instance as the last walk found it; "missing" for one it did not list.
  Answer<DeviceInstanceValues> Instance(const DeviceInstanceRef& ref) const override;
  /// Linux has no class keys: the device list uses its own class texts.
  Answer<DeviceClassValues> ClassKey(std::string_view guid) const override;
  Answer<DeviceDriverValues> DriverKey(std::string_view driver) const override;
  /// The kernel module `name` as a service: type 1 (kernel driver) when it is loaded.
  Answer<DeviceServiceValues> ServiceKey(std::string_view name) const override;
  Answer<std::string> IdEntries(IdDatabase database, const IdKeys& ids) const override;
  /// Where the last walk's udev properties came from, and whether it could read the kernel log.
  DeviceWalkSources WalkSources() const override;

 private:
  struct Walk {
    std::vector<DeviceInstanceValues> found;
    std::set<std::string> deferred;                         // kernel names whose probe is pending
    std::map<std::string, std::vector<std::string>> nodes;  // device path -> its node names
    std::map<std::string, std::string> cpuModels;           // "cpu0" -> model name
    std::string cpuVendor;
    std::string kernelRelease;
    std::map<std::string, ProbeFailure> probeFailures;  // kernel name -> the failed probe
    std::unique_ptr<UdevLibrary> udev;  // null: udev's database files are read instead
    bool udevDatabase = false;          // udev keeps a database on this machine
    DeviceWalkSources sources;
  };
  void OpenSideSources(Walk& walk) const;
  void ReadUdevNames(const Walk& walk, const std::string& path, std::string_view uevent,
                     DeviceModelFacts& f) const;
  void AddBus(Walk& walk, const std::string& bus) const;
  void AddClassDevices(Walk& walk) const;
  void AddComputer(Walk& walk) const;
  /// Facts every device has: subsystem, uevent, driver and module, parent.
  bool ReadCommon(Walk& walk, const std::string& path, DeviceInstanceValues& v) const;
  void ReadPci(const std::string& path, DeviceInstanceValues& v) const;
  void ReadUsb(const std::string& path, DeviceInstanceValues& v) const;
  void ReadPnp(const std::string& path, DeviceInstanceValues& v) const;
  void ReadVirtio(DeviceInstanceValues& v) const;
  void ReadInput(const std::string& path, DeviceInstanceValues& v) const;
  bool ReadBlock(Walk& walk, const std::string& path, DeviceInstanceValues& v) const;
  std::string Line(const std::string& path) const;
  uint32_t Hex(const std::string& path) const;

  std::shared_ptr<const FileReader> files_;
  mutable std::mutex mutex_;
  mutable std::vector<DeviceInstanceValues> instances_;  // of the last walk
  mutable DeviceWalkSources sources_;                    // of the last walk
};

/// Resources of a PCI device's "resource" file (start, end and flags per line, hexadecimal).
std::vector<DeviceResource> ParsePciResourceFile(std::string_view text);
/// Resources of a PnP device's "resources" file ("io 0x3f8-0x3ff", "irq 4", "mem ...").
std::vector<DeviceResource> ParsePnpResources(std::string_view text);

}  // namespace tavrin::platform
