// Setup classes and names of the Linux device model's devices: from PCI class codes, USB
// classes, input capabilities, PnP and virtio ids, and the subsystem a device belongs to.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/devices.h"

namespace tavrin::collectors {

/// The setup class of a PCI class code (class, subclass).
std::string_view SetupClassOfPci(uint32_t classCode24);
/// The setup class of a USB class triple (a device's or an interface's).
std::string_view SetupClassOfUsb(int cls, int subclass, int protocol);
/// Keyboard, Mouse, or HIDClass from an input device's capability bitmaps.
std::string_view SetupClassOfInput(std::string_view ev, std::string_view key, std::string_view rel,
                                   std::string_view abs);
/// Class and description of a PnP or ACPI id; class "System" and an empty text when unknown.
struct PnpEntry {
  std::string_view id, setupClass, description;
};
const PnpEntry* FindPnpId(std::string_view id);
/// Name of a virtio device type; empty when not a known type.
std::string_view VirtioDeviceName(uint32_t type);

/// The setup class of any device of the Linux device model.
std::string_view SetupClassOf(const platform::DeviceModelFacts& facts);

/// True when bit `bit` is set in a sysfs bitmap ("120013" or "7 0 ff": words of
/// `wordBits`, the most significant word first).
bool BitmapHas(std::string_view bitmap, unsigned bit, unsigned wordBits = 64);

}  // namespace tavrin::collectors
