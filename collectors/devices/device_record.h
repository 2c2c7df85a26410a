// One device instance of the device list, with everything the device database says of it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/devices.h"

namespace tavrin::collectors {

struct TDevice {
  std::string Name;          ///< FriendlyName when not blank, else Description
  std::string ClassName;     ///< setup class name ("Net", "DiskDrive")
  std::string ClassDesc;     ///< class description ("Network adapters")
  std::string ClassIcon;     ///< the class key's icon reference, as text
  std::string FriendlyName;  ///< after the semicolon rule
  std::string Description;   ///< DeviceDesc, after the semicolon rule
  std::string GUID;          ///< setup class GUID, upper case
  std::string Manufacturer;  ///< after the semicolon rule
  std::string Location;      ///< location text, or the enumerator's service display name
  int32_t PCINumber = -1;    ///< -1: not parsed from the location
  int32_t DeviceNumber = -1;
  int32_t FunctionNumber = -1;
  std::string HardwareID;    ///< the first hardware id
  std::string SymbolicLink;  ///< first device interface (a /dev node on Linux)
  std::string InstanceKey;   ///< the instance level of the device database
  std::string DeviceParam;
  std::string Driver;  ///< driver key ("{class}\0003"); the bound kernel driver on Linux
  std::string DriverDate, DriverVersion, DriverProvider, InfPath;
  std::string Service;  ///< service name; the driver's kernel module on Linux
  std::string ServiceName, ServiceGroup;
  int32_t ServiceType = 0;
  std::string RegKey;  ///< full path of the instance (registry key, or sysfs folder on Linux)
  std::string ResourceListKey, ResourceListValue;
  uint8_t DeviceClass = 24;  ///< index in the class-name table; 24 "Unknown"
  uint32_t VendorID = 0, DeviceID = 0, SubSysID = 0, Revision = 0;
  /// Last write of the instance's "Control" key; unknown for a source without write times.
  std::optional<std::chrono::system_clock::time_point> TimeStamp;

  // Beyond the registry's record: what the Linux device model adds.
  std::vector<platform::DeviceResource> Resources;
  platform::DeviceProblem Problem = platform::DeviceProblem::None;
  std::string ProbeDriver;       ///< the driver whose probe failed (Problem ProbeFailed)
  int32_t ProbeError = 0;        ///< and its error, a negative errno as the kernel logs it
  bool FromDeviceModel = false;  ///< read from the Linux device model, not a registry
};

}  // namespace tavrin::collectors
