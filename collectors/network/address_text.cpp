#include "collectors/network/address_text.h"

#include <arpa/inet.h>

#include <cstdio>

#include "collectors/network/netlink_wire.h"

namespace tavrin::collectors {

std::string IpText(std::string_view raw) {
  char text[INET6_ADDRSTRLEN] = {};
  if (raw.size() == 4) return inet_ntop(AF_INET, raw.data(), text, sizeof text) ? text : "";
  if (raw.size() == 16) return inet_ntop(AF_INET6, raw.data(), text, sizeof text) ? text : "";
  return {};
}

std::optional<std::string> IpBytes(std::string_view text) {
  const std::string s(text);
  unsigned char buf[16];
  if (inet_pton(AF_INET, s.c_str(), buf) == 1) return std::string(reinterpret_cast<char*>(buf), 4);
  if (inet_pton(AF_INET6, s.c_str(), buf) == 1)
    return std::string(reinterpret_cast<char*>(buf), 16);
  return std::nullopt;
}

std::string IpWithPrefix(std::string_view raw, int prefixLength) {
  const std::string text = IpText(raw);
  return text.empty() ? text : text + "/" + std::to_string(prefixLength);
}

std::string Ipv4MaskText(int prefixLength) {
  if (prefixLength < 0 || prefixLength > 32) return {};
  const uint32_t mask = prefixLength == 0 ? 0 : 0xFFFFFFFFu << (32 - prefixLength);
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", mask >> 24, (mask >> 16) & 0xFF,
                (mask >> 8) & 0xFF, mask & 0xFF);
  return text;
}

bool IsLoopbackAddress(std::string_view raw) {
  if (raw.size() == 4) return static_cast<unsigned char>(raw[0]) == 127;
  if (raw.size() != 16) return false;
  if (raw == std::string_view("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\1", 16)) return true;
  return raw.substr(0, 12) == std::string_view("\0\0\0\0\0\0\0\0\0\0\xff\xff", 12) &&
         static_cast<unsigned char>(raw[12]) == 127;
}

namespace {
std::string JoinedHex(std::string_view raw, const char* format, char separator) {
  std::string out;
  char byte[3];
  for (unsigned char c : raw) {
    if (!out.empty()) out += separator;
    std::snprintf(byte, sizeof byte, format, c);
    out += byte;
  }
  return out;
}
}  // namespace

std::string HardwareAddressText(std::string_view raw) {
  return JoinedHex(raw, "%02X", ':');
}

std::string NetBiosAddressText(std::string_view raw) {
  return JoinedHex(raw, "%2.2x", '-');
}

bool IsZeroAddress(std::string_view raw) {
  for (char c : raw)
    if (c != 0) return false;
  return true;
}

uint8_t AdapterTypeFromIfType(uint32_t ifType) {
  // IANA ifType numbers (RFC 1213 / IANAifType-MIB) the adapter list distinguishes.
  switch (ifType) {
    case 6:
      return 1;  // ethernetCsmacd
    case 9:
      return 2;  // iso88025TokenRing
    case 15:
      return 3;  // fddi
    case 23:
      return 4;  // ppp
    case 24:
      return 5;  // softwareLoopback
    case 28:
      return 6;  // slip
    default:
      return 0;  // other, and every type the list does not name
  }
}

uint8_t AdapterTypeFromHardwareType(uint16_t hardwareType, bool wireless) {
  using namespace netlink;
  switch (hardwareType) {
    case kArpEther:
      return wireless ? 0 : 1;
    case kArpIeee802:
      return 2;
    case kArpFddi:
      return 3;
    case kArpPpp:
      return 4;
    case kArpLoopback:
      return 5;
    case kArpSlip:
      return 6;
    default:
      return 0;
  }
}

}  // namespace tavrin::collectors
