#include "collectors/devices/usb_classes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tavrin::collectors::usb {
namespace {

// Base class codes, as the USB-IF lists them in "Defined Class Codes" (usb.org); sorted.
constexpr std::array<std::pair<uint8_t, std::string_view>, 25> kClasses = {{
    {0x00, "Defined at Interface level"},
    {0x01, "Audio"},
    {0x02, "Communications and CDC Control"},
    {0x03, "Human Interface Device"},
    {0x05, "Physical"},
    {0x06, "Image"},
    {0x07, "Printer"},
    {0x08, "Mass Storage"},
    {0x09, "Hub"},
    {0x0A, "CDC Data"},
    {0x0B, "Smart Card"},
    {0x0D, "Content Security"},
    {0x0E, "Video"},
    {0x0F, "Personal Healthcare"},
    {0x10, "Audio/Video Devices"},
    {0x11, "Billboard Device"},
    {0x12, "USB Type-C Bridge"},
    {0x13, "USB Bulk Display Protocol"},
    {0x14, "MCTP over USB"},
    {0x3C, "I3C"},
    {0xDC, "Diagnostic Device"},
    {0xE0, "Wireless Controller"},
    {0xEF, "Miscellaneous"},
    {0xFE, "Application Specific"},
    {0xFF, "Vendor Specific"},
}};

}  // namespace

std::span<const std::pair<uint8_t, std::string_view>> ClassTable() {
  return kClasses;
}

std::string_view ClassName(uint8_t classCode) {
  auto it = std::lower_bound(kClasses.begin(), kClasses.end(), classCode,
                             [](const auto& entry, uint8_t code) { return entry.first < code; });
  return it != kClasses.end() && it->first == classCode ? it->second : std::string_view();
}

std::string_view HubKindName(uint8_t protocol) {
  // bDeviceProtocol of class 09: 0 a full-speed hub (or a low/full-speed root hub), 1 and 2
  // high-speed hubs with one translator or one per port, 3 a SuperSpeed hub (USB 2.0
  // section 11.23.1, USB 3.2 section 10.15.1).
  switch (protocol) {
    case 0:
      return "Full-speed hub";
    case 1:
      return "High-speed hub, single transaction translator";
    case 2:
      return "High-speed hub, a transaction translator per port";
    case 3:
      return "SuperSpeed hub";
    default:
      return {};
  }
}

TUSBClass NodeKindOfClass(uint8_t classCode) {
  switch (classCode) {
    case 0x00:
      return usbReserved;
    case 0x01:
      return usbAudio;
    case 0x02:
      return usbCommunication;
    case 0x03:
      return usbHID;
    case 0x05:
      return usbPhysical;
    case 0x06:
      return usbImage;
    case 0x07:
      return usbPrinter;
    case 0x08:
      return usbStorage;
    case 0x09:
      return usbHub;
    default:
      return usbOther;
  }
}

}  // namespace tavrin::collectors::usb
