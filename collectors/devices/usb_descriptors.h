// Decoding of the standard USB descriptors (Universal Serial Bus Specification 2.0, chapter
// 9.6; USB 3.2, chapter 9.6) from the bytes a device returned: the device descriptor, then each
// configuration with its interfaces and their endpoints. Pure functions over bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::collectors::usb {

// Descriptor types (USB 2.0 table 9-5, USB 3.2 table 9-6).
inline constexpr uint8_t kDeviceDescriptor = 0x01;
inline constexpr uint8_t kConfigurationDescriptor = 0x02;
inline constexpr uint8_t kInterfaceDescriptor = 0x04;
inline constexpr uint8_t kEndpointDescriptor = 0x05;
inline constexpr uint8_t kInterfaceAssociationDescriptor = 0x0B;

struct DeviceDescriptor {
  uint16_t bcdUSB = 0;
  uint8_t deviceClass = 0, deviceSubClass = 0, deviceProtocol = 0, maxPacketSize0 = 0;
  uint16_t idVendor = 0, idProduct = 0, bcdDevice = 0;
  uint8_t iManufacturer = 0, iProduct = 0, iSerialNumber = 0, numConfigurations = 0;
};

struct EndpointDescriptor {
  uint8_t address = 0;     ///< bit 7 set: IN (device to host)
  uint8_t attributes = 0;  ///< bits 1..0: control, isochronous, bulk, interrupt
  uint16_t maxPacketSize = 0;
  uint8_t interval = 0;
};

struct InterfaceDescriptor {
  uint8_t number = 0, alternateSetting = 0, numEndpoints = 0;
  uint8_t interfaceClass = 0, interfaceSubClass = 0, interfaceProtocol = 0, iInterface = 0;
  std::vector<EndpointDescriptor> endpoints;
};

struct ConfigurationDescriptor {
  uint16_t totalLength = 0;
  uint8_t numInterfaces = 0, value = 0, iConfiguration = 0, attributes = 0;
  uint8_t maxPower = 0;  ///< as stored: units of 2 mA, or of 8 mA at SuperSpeed and above
  std::vector<InterfaceDescriptor> interfaces;  ///< every alternate setting, in stored order
  bool truncated = false;                       ///< the bytes ended before wTotalLength
};

struct Descriptors {
  std::optional<DeviceDescriptor> device;
  std::vector<ConfigurationDescriptor> configurations;
  /// What could not be decoded, in words ("descriptor with length 0 at offset 27").
  std::vector<std::string> problems;
};

/// Decodes a device descriptor followed by whole configuration descriptors (the layout the
/// kernel keeps for every device). Never reads past `bytes`; stops at a descriptor whose
/// length cannot be right.
Descriptors DecodeDescriptors(std::string_view bytes);

/// The configuration's current draw in milliamperes. `superSpeed`: the device runs at
/// 5 Gbit/s or more, where bMaxPower counts 8 mA (USB 3.2, 9.6.3).
uint32_t MaxPowerMilliamps(const ConfigurationDescriptor& config, bool superSpeed);

/// "2.00" for bcdUSB 0x0200, "1.10" for 0x0110 (binary-coded decimal).
std::string BcdVersionText(uint16_t bcd);

/// The interfaces of a configuration, one per interface number (alternate setting 0 where
/// present, else the first listed).
std::vector<const InterfaceDescriptor*> PrimaryInterfaces(const ConfigurationDescriptor& config);

}  // namespace tavrin::collectors::usb
