#include "collectors/devices/usb_descriptors.h"

#include <algorithm>

namespace tavrin::collectors::usb {
namespace {

uint16_t Word(std::string_view b, std::size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}
uint8_t Byte(std::string_view b, std::size_t at) {
  return static_cast<uint8_t>(b[at]);
}

std::string At(std::size_t offset) {
  return " at offset " + std::to_string(offset);
}

// One configuration from its first byte; `bytes` ends where the data ends. Returns the number
// of bytes the configuration occupies (at least its header), 0 when it cannot be decoded.
std::size_t DecodeConfiguration(std::string_view bytes, std::size_t base, Descriptors& out) {
  const std::string_view rest = bytes.substr(base);
  if (rest.size() < 9 || Byte(rest, 0) < 9) {
    out.problems.push_back("short configuration descriptor" + At(base));
    return 0;
  }
  ConfigurationDescriptor config;
  config.totalLength = Word(rest, 2);
  config.numInterfaces = Byte(rest, 4);
  config.value = Byte(rest, 5);
  config.iConfiguration = Byte(rest, 6);
  config.attributes = Byte(rest, 7);
  config.maxPower = Byte(rest, 8);
  std::size_t end = config.totalLength;
  if (end < Byte(rest, 0)) end = Byte(rest, 0);
  if (end > rest.size()) {
    config.truncated = true;
    out.problems.push_back("configuration " + std::to_string(config.value) + " ends after " +
                           std::to_string(rest.size()) + " of its " +
                           std::to_string(config.totalLength) + " bytes");
    end = rest.size();
  }
  std::size_t at = Byte(rest, 0);
  while (at + 2 <= end) {
    const uint8_t length = Byte(rest, at), type = Byte(rest, at + 1);
    if (length < 2) {
      out.problems.push_back("descriptor with length " + std::to_string(length) + At(base + at));
      break;
    }
    if (at + length > end) {
      out.problems.push_back("descriptor of " + std::to_string(length) + " bytes cut off" +
                             At(base + at));
      config.truncated = true;
      break;
    }
    const std::string_view d = rest.substr(at, length);
    if (type == kInterfaceDescriptor && length >= 9) {
      InterfaceDescriptor intf;
      intf.number = Byte(d, 2);
      intf.alternateSetting = Byte(d, 3);
      intf.numEndpoints = Byte(d, 4);
      intf.interfaceClass = Byte(d, 5);
      intf.interfaceSubClass = Byte(d, 6);
      intf.interfaceProtocol = Byte(d, 7);
      intf.iInterface = Byte(d, 8);
      config.interfaces.push_back(std::move(intf));
    } else if (type == kEndpointDescriptor && length >= 7) {
      if (config.interfaces.empty()) {
        out.problems.push_back("endpoint outside an interface" + At(base + at));
      } else {
        EndpointDescriptor ep;
        ep.address = Byte(d, 2);
        ep.attributes = Byte(d, 3);
        ep.maxPacketSize = Word(d, 4);
        ep.interval = Byte(d, 6);
        config.interfaces.back().endpoints.push_back(ep);
      }
    }
    // Class-specific and other descriptors (HID, audio, interface associations, SuperSpeed
    // companions) are skipped by their length.
    at += length;
  }
  out.configurations.push_back(std::move(config));
  return std::max<std::size_t>(end, 9);
}

}  // namespace

Descriptors DecodeDescriptors(std::string_view bytes) {
  Descriptors out;
  if (bytes.size() < 18 || Byte(bytes, 0) < 18 || Byte(bytes, 1) != kDeviceDescriptor) {
    out.problems.push_back(bytes.size() < 18 ? "no complete device descriptor"
                                             : "first descriptor is not a device descriptor");
    return out;
  }
  DeviceDescriptor d;
  d.bcdUSB = Word(bytes, 2);
  d.deviceClass = Byte(bytes, 4);
  d.deviceSubClass = Byte(bytes, 5);
  d.deviceProtocol = Byte(bytes, 6);
  d.maxPacketSize0 = Byte(bytes, 7);
  d.idVendor = Word(bytes, 8);
  d.idProduct = Word(bytes, 10);
  d.bcdDevice = Word(bytes, 12);
  d.iManufacturer = Byte(bytes, 14);
  d.iProduct = Byte(bytes, 15);
  d.iSerialNumber = Byte(bytes, 16);
  d.numConfigurations = Byte(bytes, 17);
  out.device = d;

  std::size_t at = Byte(bytes, 0);
  while (at + 2 <= bytes.size()) {
    if (Byte(bytes, at + 1) != kConfigurationDescriptor) {
      out.problems.push_back("expected a configuration descriptor" + At(at));
      break;
    }
    const std::size_t used = DecodeConfiguration(bytes, at, out);
    if (used == 0) break;
    at += used;
  }
  if (at < bytes.size() && out.problems.empty())
    out.problems.push_back(std::to_string(bytes.size() - at) + " stray bytes" + At(at));
  return out;
}

uint32_t MaxPowerMilliamps(const ConfigurationDescriptor& config, bool superSpeed) {
  return static_cast<uint32_t>(config.maxPower) * (superSpeed ? 8u : 2u);
}

std::string BcdVersionText(uint16_t bcd) {
  auto digit = [](unsigned v) { return static_cast<char>(v <= 9 ? '0' + v : 'A' + v - 10); };
  std::string text;
  if (bcd >> 12) text += digit(bcd >> 12);
  text += digit((bcd >> 8) & 0xF);
  text += '.';
  text += digit((bcd >> 4) & 0xF);
  text += digit(bcd & 0xF);
  return text;
}

std::vector<const InterfaceDescriptor*> PrimaryInterfaces(const ConfigurationDescriptor& config) {
  std::vector<const InterfaceDescriptor*> primary;
  for (const auto& intf : config.interfaces) {
    auto same = std::find_if(primary.begin(), primary.end(), [&](const InterfaceDescriptor* p) {
      return p->number == intf.number;
    });
    if (same == primary.end()) {
      primary.push_back(&intf);
    } else if (intf.alternateSetting == 0 && (*same)->alternateSetting != 0) {
      *same = &intf;
    }
  }
  return primary;
}

}  // namespace tavrin::collectors::usb
