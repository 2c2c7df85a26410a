#include "collectors/devices/windows_usb_structs.h"

#include <algorithm>

#include "base/byte_order.h"
#include "platform/utf16.h"

namespace tavrin::collectors::usb::win {
namespace {

using base::ByteAt;
using base::LeU16;
using base::LeU32;
using base::PutLeU16;
using base::PutLeU32;

// UTF-16 text from `at`: up to the NUL, to the end the length field allows (ActualLength
// counts the whole structure) or to the end of the reply, whichever comes first.
std::string TextFrom(std::string_view reply, std::size_t at, uint32_t actualLength) {
  std::size_t end = reply.size();
  if (actualLength >= at && actualLength < end) end = actualLength;
  std::u16string units;
  for (std::size_t i = at; i + 1 < end; i += 2) {
    const char16_t unit = LeU16(reply, i);
    if (unit == 0) break;
    units.push_back(unit);
  }
  return platform::Utf16ToUtf8(units);
}

}  // namespace

std::string NameRequest() {
  return std::string(kNameSize, '\0');
}

std::string NodeInformationRequest() {
  return std::string(kNodeInformationSize, '\0');
}

std::string ConnectionInformationRequest(uint32_t port) {
  std::string b(kConnectionInformationSize, '\0');
  PutLeU32(b, 0, port);
  return b;
}

std::string ConnectionNameRequest(uint32_t port) {
  std::string b(kConnectionNameSize, '\0');
  PutLeU32(b, 0, port);
  return b;
}

std::string DescriptorRequest(uint32_t port, uint16_t wValue, uint16_t wIndex) {
  std::string b(kDescriptorRequestSize, '\0');
  PutLeU32(b, 0, port);
  b[4] = static_cast<char>(0x80);  // device to host, standard, device
  b[5] = 6;                        // GET_DESCRIPTOR
  PutLeU16(b, 6, wValue);
  PutLeU16(b, 8, wIndex);
  PutLeU16(b, 10, static_cast<uint16_t>(kDescriptorRequestSize - 12));
  return b;
}

std::optional<std::string> DecodeName(std::string_view reply) {
  if (reply.size() < 4) return std::nullopt;
  return TextFrom(reply, 4, LeU32(reply, 0));
}

std::optional<std::string> DecodeConnectionName(std::string_view reply) {
  if (reply.size() < 8) return std::nullopt;
  // ActualLength here counts from the structure's start too, ConnectionIndex included.
  return TextFrom(reply, 8, LeU32(reply, 4));
}

std::optional<NodeInformation> DecodeNodeInformation(std::string_view reply) {
  // NodeType (4), then the hub descriptor: bDescriptorLength, bDescriptorType,
  // bNumberOfPorts, wHubCharacteristics, bPowerOnToPowerGood, bHubControlCurrent, 64 mask
  // bytes; then HubIsBusPowered at 75.
  if (reply.size() < 7 || reply.size() >= kNodeInformationLimit) return std::nullopt;
  NodeInformation n;
  n.nodeType = LeU32(reply, 0);
  n.numberOfPorts = ByteAt(reply, 6);
  if (reply.size() >= 9) n.hubCharacteristics = LeU16(reply, 7);
  if (reply.size() >= kNodeInformationSize) n.busPowered = ByteAt(reply, 75) != 0;
  return n;
}

std::optional<ConnectionInformation> DecodeConnectionInformation(std::string_view reply) {
  // ConnectionIndex (4), USB_DEVICE_DESCRIPTOR (18), CurrentConfigurationValue, LowSpeed,
  // DeviceIsHub, DeviceAddress (2), NumberOfOpenPipes (4), ConnectionStatus (4): 35 bytes.
  if (reply.size() < 35) return std::nullopt;
  ConnectionInformation c;
  c.connectionIndex = LeU32(reply, 0);
  c.deviceDescriptorBytes = std::string(reply.substr(4, 18));
  // The driver leaves the descriptor zero for an empty port; its own length byte is not
  // checked, so a copy with a wrong bLength still gives its fields.
  std::string descriptor = c.deviceDescriptorBytes;
  descriptor[0] = 18;
  descriptor[1] = static_cast<char>(kDeviceDescriptor);
  if (auto d = DecodeDescriptors(descriptor).device) c.device = *d;
  c.currentConfigurationValue = ByteAt(reply, 22);
  c.lowSpeed = ByteAt(reply, 23) != 0;
  c.deviceIsHub = ByteAt(reply, 24) != 0;
  c.deviceAddress = LeU16(reply, 25);
  c.numberOfOpenPipes = LeU32(reply, 27);
  c.connectionStatus = LeU32(reply, 31);
  return c;
}

std::optional<std::string> DescriptorData(std::string_view reply) {
  if (reply.size() <= 12) return std::nullopt;
  return std::string(reply.substr(12));
}

std::vector<uint16_t> DecodeLanguageTable(std::string_view descriptor) {
  std::vector<uint16_t> languages;
  if (descriptor.size() < 2 || ByteAt(descriptor, 1) != 0x03) return languages;
  const std::size_t end = std::min<std::size_t>(ByteAt(descriptor, 0), descriptor.size());
  for (std::size_t at = 2; at + 1 < end; at += 2) languages.push_back(LeU16(descriptor, at));
  return languages;
}

std::optional<std::string> DecodeStringDescriptor(std::string_view descriptor) {
  if (descriptor.size() < 2 || ByteAt(descriptor, 0) < 2 || ByteAt(descriptor, 1) != 0x03)
    return std::nullopt;
  const std::size_t end = std::min<std::size_t>(ByteAt(descriptor, 0), descriptor.size());
  std::u16string units;
  for (std::size_t at = 2; at + 1 < end; at += 2) units.push_back(LeU16(descriptor, at));
  // Some devices pad their strings with NULs; the text ends at the first.
  if (const auto nul = units.find(u'\0'); nul != std::u16string::npos) units.resize(nul);
  return platform::Utf16ToUtf8(units);
}

}  // namespace tavrin::collectors::usb::win
