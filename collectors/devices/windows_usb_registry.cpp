#include "collectors/devices/windows_usb_registry.h"

#include <algorithm>

#include "base/strings.h"
#include "collectors/devices/device_text_rules.h"
#include "platform/utf16.h"

namespace tavrin::collectors::usb::win {
namespace {

using platform::RegRoot;

constexpr std::string_view kEnum = "SYSTEM\\CurrentControlSet\\Enum\\";
constexpr std::string_view kClass = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
constexpr std::string_view kMountedDevices = "SYSTEM\\MountedDevices";
constexpr std::string_view kDosDevices = "\\DosDevices\\";

std::string Text(const platform::Registry& reg, std::string_view path, std::string_view name) {
  auto value = reg.ReadValue(RegRoot::LocalMachine, path, name);
  if (!value) return {};
  return value->AsString().value_or(std::string());
}

// The part after `tag` ("&Ven_") up to the next "&", blanks for "_".
std::string KeyPart(std::string_view key, std::string_view tag) {
  const std::string lower = base::Lower(key);
  const auto at = lower.find(base::Lower(tag));
  if (at == std::string::npos) return {};
  std::string part(key.substr(at + tag.size()));
  part = part.substr(0, part.find('&'));
  std::replace(part.begin(), part.end(), '_', ' ');
  return std::string(base::Trim(part));
}

// A child instance made by a driver on top of a USB device is named after its parent: after
// the parent's ParentIdPrefix ("7&2a5b3b6&0" -> "7&2a5b3b6&0&0000"), or, for a parent with a
// serial number and so no prefix, after the parent's own instance name ("AA0401" ->
// "AA0401&0"). The name is the stem itself or the stem and "&..."; a longer number that only
// starts alike ("7&2a5b3b60&0") is another device's.
std::optional<UsbInstance> ChildOf(const std::vector<UsbInstance>& list,
                                   const UsbInstance& parent) {
  for (const std::string& stem : {parent.parentIdPrefix, parent.instance}) {
    if (stem.empty()) continue;
    for (const auto& child : list)
      if (base::EqualsNoCase(child.instance, stem) ||
          base::StartsWithNoCase(child.instance, stem + "&"))
        return child;
  }
  return std::nullopt;
}

}  // namespace

std::string UsbStorageDisplayName(std::string_view deviceKey) {
  std::string name;
  for (std::string_view tag : {"&Ven_", "&Prod_", "&Rev_"}) {
    const std::string part = KeyPart(deviceKey, tag);
    if (part.empty()) continue;
    if (!name.empty()) name += ' ';
    name += part;
  }
  return name;
}

std::string InterfaceGuidOf(std::string_view symbolicName) {
  const auto open = symbolicName.rfind('{');
  if (open == std::string_view::npos || symbolicName.back() != '}') return {};
  return std::string(symbolicName.substr(open));
}

UsbRegistry::UsbRegistry(const platform::Registry& registry) : registry_(registry) {
  usb_ = ReadEnumerator("USB");
  storage_ = ReadEnumerator("USBSTOR");
  hid_ = ReadEnumerator("HID");
  // The letters of every volume the machine mounted: "\DosDevices\E:" holding the link of the
  // device behind it. Disks with a partition table store a disk signature and offset instead,
  // which names no device: those letters cannot be matched here.
  for (const auto& name : registry_.ValueNames(RegRoot::LocalMachine, kMountedDevices)) {
    if (!base::StartsWithNoCase(name, kDosDevices)) continue;
    auto value = registry_.ReadValue(RegRoot::LocalMachine, kMountedDevices, name);
    if (!value || value->data.size() % 2 != 0) continue;
    const std::string link = base::Lower(
        platform::Utf16ToUtf8(platform::Utf16FromLeBytes(value->data.data(), value->data.size())));
    letters_.push_back({name.substr(kDosDevices.size()), link});
  }
  std::sort(letters_.begin(), letters_.end(), [](const Letter& a, const Letter& b) {
    return base::Lower(a.drive) < base::Lower(b.drive);
  });
}

std::vector<UsbInstance> UsbRegistry::ReadEnumerator(std::string_view name) const {
  std::vector<UsbInstance> list;
  const std::string root = std::string(kEnum) + std::string(name);
  for (const auto& device : registry_.SubKeys(RegRoot::LocalMachine, root)) {
    const std::string deviceKey = root + "\\" + device;
    for (const auto& instance : registry_.SubKeys(RegRoot::LocalMachine, deviceKey)) {
      const std::string key = deviceKey + "\\" + instance;
      UsbInstance i;
      i.device = device;
      i.instance = instance;
      i.driver = Text(registry_, key, "Driver");
      i.description = StripInfReference(Text(registry_, key, "DeviceDesc"));
      i.className = Text(registry_, key, "Class");
      i.service = Text(registry_, key, "Service");
      i.parentIdPrefix = Text(registry_, key, "ParentIdPrefix");
      i.symbolicName = Text(registry_, key + "\\Device Parameters", "SymbolicName");
      list.push_back(std::move(i));
    }
  }
  return list;
}

std::string UsbRegistry::DriveOf(const UsbInstance& storage) const {
  // A removable volume's value holds the interface link of the volume's device: either the
  // USBSTOR disk itself ("\??\USBSTOR#Disk&Ven_..#<instance>#{...}") or the removable-media
  // device the disk driver made of it, named after the disk's ParentIdPrefix
  // ("\??\STORAGE#RemovableMedia#<prefix>&RM#{...}").
  const std::string disk =
      "usbstor#" + base::Lower(storage.device) + "#" + base::Lower(storage.instance) + "#";
  const std::string media = storage.parentIdPrefix.empty()
                                ? std::string()
                                : "#" + base::Lower(storage.parentIdPrefix) + "&";
  for (const auto& l : letters_)
    if (l.link.find(disk) != std::string::npos ||
        (!media.empty() && l.link.find(media) != std::string::npos))
      return l.drive;
  return {};
}

std::optional<UsbRegistryView> UsbRegistry::Find(std::string_view driverKey) const {
  if (driverKey.empty()) return std::nullopt;
  for (const auto& instance : usb_) {
    if (!base::EqualsNoCase(instance.driver, driverKey)) continue;
    UsbRegistryView view;
    view.usb = instance;
    view.storage = ChildOf(storage_, instance);
    view.hid = ChildOf(hid_, instance);
    if (view.storage) {
      view.storageName = UsbStorageDisplayName(view.storage->device);
      view.drive = DriveOf(*view.storage);
    }
    return view;
  }
  return std::nullopt;
}

std::string UsbRegistry::DriverDescription(std::string_view driverKey) const {
  if (driverKey.empty()) return {};
  return Text(registry_, std::string(kClass) + std::string(driverKey), "DriverDesc");
}

}  // namespace tavrin::collectors::usb::win
