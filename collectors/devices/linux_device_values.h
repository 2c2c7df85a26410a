// The values a registry's instance key would hold, made from the raw facts of a device of the
// Linux device model: names from the id files and the device itself, the setup class and its
// GUID. The device list's steps then run over them as over a registry's values.
#pragma once

#include "collectors/devices/id_database.h"
#include "platform/devices.h"

namespace tavrin::collectors {

struct IdNames {
  const IdDatabaseNames* pci = nullptr;
  const IdDatabaseNames* usb = nullptr;
};

/// Fills DeviceDesc, Mfg, FriendlyName, Class and ClassGUID of an instance that has facts.
void FillFromDeviceModel(platform::DeviceInstanceValues& v, const IdNames& names);

/// The driver values of a device-model device: the module's version, or the kernel release for
/// a driver that came with the kernel.
platform::DeviceDriverValues DriverValuesOf(const platform::DeviceModelFacts& facts);

/// The problem worth marking: a bridge of the PCI core has no driver of its own by design.
platform::DeviceProblem ProblemOf(const platform::DeviceModelFacts& facts);

}  // namespace tavrin::collectors
