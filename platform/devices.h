// The machine's device database: which device instances are present and what is known of each.
//
// The service answers in one shape whatever the source: instances addressed as enumerator,
// device and instance (the levels of the Windows "Enum" tree), each with the values its
// instance key holds, plus the class, driver and service keys those values name. A Windows
// registry (a replayed ".reg" snapshot) fills the values as stored. The Linux device model has
// no such keys: its instances carry the raw facts of sysfs and the udev database instead
// (codes, ids, kernel driver, resources), and the device list turns them into the same values
// with its own tables.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

/// Where an instance sits: "PCI" \ "VEN_1AF4&DEV_1041&SUBSYS_11001AF4&REV_01" \ "0000:00:03.0".
struct DeviceInstanceRef {
  std::string enumerator;
  std::string device;
  std::string instance;
  bool operator==(const DeviceInstanceRef&) const = default;
};

/// A hardware resource a device decodes (I/O ports, memory, interrupt, DMA channel).
struct DeviceResource {
  enum class Kind { Io, Memory, Irq, Dma };
  Kind kind = Kind::Io;
  uint64_t start = 0;
  uint64_t end = 0;  ///< inclusive; equal to start for an interrupt or DMA channel
  bool operator==(const DeviceResource&) const = default;
};

/// Why a device of the Linux device model works not as it should.
enum class DeviceProblem {
  None,
  NoDriver,       ///< the kernel lists the device but no driver is bound to it
  ProbeDeferred,  ///< a driver matched but its probe has not completed
  ProbeFailed,    ///< a driver's probe failed (the kernel log says so) and none is bound
};

/// Raw facts of one device of the Linux device model, as sysfs and the udev database give
/// them. Numbers the source did not have stay 0 or empty.
struct DeviceModelFacts {
  std::string subsystem;   ///< bus or class: "pci", "usb", "pnp", "platform", "acpi", "virtio",
                           ///< "input", "block", "cpu", "computer"
  std::string devType;     ///< uevent DEVTYPE: "usb_device", "usb_interface", "disk", "partition"
  std::string kernelName;  ///< "0000:00:03.0", "00:00", "virtio2", "vda", "input3"
  std::string parentSubsystem;  ///< subsystem of the parent device, empty at the top
  std::string modalias;         ///< empty when the uevent has none

  /// PCI: the first bytes of the configuration space (64 for unprivileged readers), empty when
  /// unreadable, with the reason in configSource.
  std::string pciConfig;
  Provenance configSource;
  /// PCI and virtio ids from the sysfs attributes; USB idVendor/idProduct/bcdDevice; input
  /// vendor/product/version.
  uint32_t vendorId = 0, deviceId = 0, subVendorId = 0, subDeviceId = 0, revision = 0;
  uint32_t classCode = 0;  ///< PCI class (24 bits) from the "class" attribute

  /// USB: device class of a device, interface class of an interface.
  int usbClass = -1, usbSubClass = -1, usbProtocol = -1;
  int usbInterfaceNumber = -1;  ///< bInterfaceNumber of an interface
  int usbInterfaceCount = 0;    ///< bNumInterfaces of a device
  int usbDevNum = 0;            ///< devnum of a device (of the hub above an interface's device)
  int usbParentDevNum = 0;      ///< devnum of the hub the device hangs on

  std::vector<std::string> pnpIds;  ///< PnP/ACPI ids, the primary one first ("PNP0501")
  int inputBus = 0;                 ///< input id/bustype (3 USB, 5 Bluetooth, 0x11 i8042)
  /// Input capability bitmaps as sysfs shows them: hexadecimal words, most significant first.
  std::string inputEv, inputKey, inputRel, inputAbs;
  int scsiType = -1;       ///< SCSI peripheral type of a disk's device (0 disk, 5 CD/DVD)
  bool removable = false;  ///< block device: removable medium

  /// Texts the device reports itself: USB manufacturer/product strings, SCSI vendor/model,
  /// input device name, processor model name.
  std::string vendorText, modelText;
  /// Names the udev database holds (ID_VENDOR_FROM_DATABASE, ID_MODEL_FROM_DATABASE).
  std::string udevVendor, udevModel;

  std::vector<std::string> devNodes;  ///< "/dev/vda", "/dev/ttyS0", or interface names "eth0"
  std::string driver;                 ///< bound kernel driver, empty when none
  std::string module;                 ///< module of that driver, empty when built in
  std::string moduleVersion;          ///< /sys/module/<module>/version, when the module has one
  std::string moduleTaint;            ///< /sys/module/<module>/taint ("O" out of tree, "P" ...)
  std::string kernelRelease;          ///< release the in-tree modules were built with
  std::vector<DeviceResource> resources;
  DeviceProblem problem = DeviceProblem::None;
  /// A failed probe: the driver that tried and the error it gave (negative, as logged).
  std::string probeDriver;
  int probeError = 0;
};

/// What one instance key holds. A Linux source leaves the key values empty and sets `model`.
struct DeviceInstanceValues {
  DeviceInstanceRef ref;
  std::string keyPath;   ///< full path of the instance: the registry key or the sysfs folder
  bool present = false;  ///< only present devices have the "Control" subkey
  std::string friendlyName, deviceDesc, mfg, locationInformation, classGuid, className;
  std::string driver, service;
  std::vector<std::string> hardwareIds;  ///< the multi-string, most specific id first
  std::string resourceListKey, resourceListValue;
  std::string symbolicLink;  ///< the first device-interface link of the instance
  std::string deviceParam;   ///< data of the first named string value of "Device Parameters"
  std::optional<int64_t> controlWriteTime;  ///< last write of "Control", seconds since 1970 UTC
  std::optional<DeviceModelFacts> model;
};

/// The class key of a setup class GUID.
struct DeviceClassValues {
  std::string className;    ///< value "Class"
  std::string icon;         ///< value "Icon" as text (strings as read, a DWORD in decimal)
  std::string description;  ///< the default value
};

/// The driver key an instance's "Driver" value names.
struct DeviceDriverValues {
  std::string date, version, provider, infPath;
};

/// The service key an instance's "Service" value names.
struct DeviceServiceValues {
  std::string displayName, group;
  std::string type;  ///< value "Type" as text (decimal for a DWORD)
};

/// What else a walk of the device model read, and how it went: where the udev properties came
/// from (libudev, or udev's database files) and whether the kernel log could be read.
struct DeviceWalkSources {
  Provenance udev;
  Provenance kernelLog;
};

enum class IdDatabase { Pci, Usb };
/// Vendor and device ids to look up in an id file.
using IdKeys = std::vector<std::pair<uint16_t, uint16_t>>;

class DeviceService {
 public:
  virtual ~DeviceService() = default;

  /// Every instance the database lists, present or not, in the source's order.
  virtual Answer<std::vector<DeviceInstanceRef>> Instances() const = 0;
  virtual Answer<DeviceInstanceValues> Instance(const DeviceInstanceRef& ref) const = 0;
  /// The class key of `guid` (compared without case); fails when there is none.
  virtual Answer<DeviceClassValues> ClassKey(std::string_view guid) const = 0;
  virtual Answer<DeviceDriverValues> DriverKey(std::string_view driver) const = 0;
  virtual Answer<DeviceServiceValues> ServiceKey(std::string_view name) const = 0;
  /// The lines of the system's id file ("pci.ids", "usb.ids") that name the given vendors and
  /// (vendor, device) pairs, and the class list, in file order. Only what a lookup needs is
  /// handed out, so a recording stays small.
  virtual Answer<std::string> IdEntries(IdDatabase database, const IdKeys& ids) const = 0;
  /// The side sources of the last walk; a source without a device model has none.
  virtual DeviceWalkSources WalkSources() const { return {}; }
};

class Registry;
/// The device database of a Windows registry (a replayed ".reg" snapshot): the instances under
/// HKLM\SYSTEM\CurrentControlSet\Enum with their class, driver and service keys.
std::shared_ptr<const DeviceService> MakeRegistryDeviceService(
    std::shared_ptr<const Registry> registry);
/// True when the registry holds a device enumeration tree.
bool RegistryHasDeviceTree(const Registry& registry);

/// Keeps the lines of an id file that name the vendors of `ids` and their devices of `ids`
/// (without the subsystems below them), and the class list ("C xx" and below), dropping
/// comments. Lines that fit no rule are kept out; nothing is parsed beyond the leading hex id.
std::string FilterIdFile(std::string_view text, const IdKeys& ids);

/// The name of the device's first terminal node ("ttyS0" for "/dev/ttyS0"), or empty: a
/// serial port is known to its users by that name.
inline std::string TerminalNodeName(const DeviceModelFacts& facts) {
  constexpr std::string_view kPrefix = "/dev/tty";
  for (const auto& node : facts.devNodes)
    if (node.rfind(kPrefix, 0) == 0) return node.substr(5);
  return {};
}

}  // namespace tavrin::platform
