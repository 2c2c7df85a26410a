// The setup classes devices are grouped by: the class-name table with its codes, and the
// texts of the system-defined setup classes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tavrin::collectors {

/// The class-name table; a class's code is its position. "Unknown" (24) is the code of a name
/// that no entry begins.
inline constexpr std::array<std::string_view, 39> kDeviceClassNames = {"Battery",
                                                                       "Computer",
                                                                       "DiskDrive",
                                                                       "Display",
                                                                       "CDROM",
                                                                       "fdc",
                                                                       "FloppyDisk",
                                                                       "GPS",
                                                                       "HID",
                                                                       "hdc",
                                                                       "1394",
                                                                       "Image",
                                                                       "Infrared",
                                                                       "Keyboard",
                                                                       "MediumChanger",
                                                                       "MTD",
                                                                       "Mouse",
                                                                       "Modem",
                                                                       "Monitor",
                                                                       "MultiFunction",
                                                                       "MultiPortSerial",
                                                                       "Net",
                                                                       "LegacyDriver",
                                                                       "NtApm",
                                                                       "Unknown",
                                                                       "PCMCIA",
                                                                       "Ports",
                                                                       "Printer",
                                                                       "SCSIAdapter",
                                                                       "SmartCardReader",
                                                                       "MEDIA",
                                                                       "Volume",
                                                                       "System",
                                                                       "TapeDrive",
                                                                       "TapeController",
                                                                       "Tape",
                                                                       "USB",
                                                                       "Processor",
                                                                       "Bluetooth"};
inline constexpr uint8_t kUnknownDeviceClass = 24;

/// The code of a class name: the first table entry (in table order, without regard to case)
/// that the name begins with, so "NetService" is Net and "TapeDrive" is found before "Tape".
uint8_t DeviceClassCode(std::string_view className);

/// A system-defined setup class: its name, GUID and the description device managers show.
struct SetupClass {
  std::string_view name;
  std::string_view guid;  ///< upper case, with braces
  std::string_view description;
};

/// By name (without regard to case) or GUID; nullptr when not one of the system's classes.
const SetupClass* FindSetupClass(std::string_view name);
const SetupClass* FindSetupClassByGuid(std::string_view guid);

}  // namespace tavrin::collectors
