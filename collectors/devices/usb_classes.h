// USB class codes and the node kinds of the USB tree.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

namespace tavrin::collectors::usb {

/// The base class codes with their names, sorted by code.
std::span<const std::pair<uint8_t, std::string_view>> ClassTable();

/// The class's name when the id file has none; empty for a code the table does not know.
std::string_view ClassName(uint8_t classCode);

/// What a hub is by its device protocol: how fast it talks upstream and how it carries
/// slower devices' traffic (transaction translators). Empty for a code no hub uses.
std::string_view HubKindName(uint8_t protocol);

/// Kind of a node of the USB tree. Device kinds come first so that counting attached devices
/// is "below kHub or kOther"; kEmpty marks the record handed out for an index outside the tree.
enum TUSBClass : int {
  usbReserved = 0,  ///< class given per interface, none of them known
  usbAudio = 1,
  usbCommunication = 2,
  usbHID = 3,
  usbMonitor = 4,
  usbPhysical = 5,
  usbImage = 6,
  usbPrinter = 7,
  usbStorage = 8,
  usbHub = 9,
  usbOther = 10,  ///< video, wireless, vendor specific and every other class
  usbHostController = 11,
  usbRootHub = 12,
  usbEmpty = 13,
};

/// The node kind of a device whose (device or first interface) class is `classCode`.
TUSBClass NodeKindOfClass(uint8_t classCode);

}  // namespace tavrin::collectors::usb
