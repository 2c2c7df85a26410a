// Texts of addresses: IP addresses as people write them, hardware addresses in the forms the
// pages use, masks from prefix lengths, and the adapter type code of a link.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin::collectors {

/// "192.0.2.2", "fe80::1" (RFC 5952 form) for 4 or 16 raw bytes; empty for any other length.
std::string IpText(std::string_view raw);
/// The raw bytes of an IPv4 or IPv6 address text; nullopt when it is neither.
std::optional<std::string> IpBytes(std::string_view text);
/// "192.0.2.2/24".
std::string IpWithPrefix(std::string_view raw, int prefixLength);
/// The dotted IPv4 mask of a prefix length ("255.255.255.0" for 24).
std::string Ipv4MaskText(int prefixLength);
/// True for 127.0.0.0/8, ::1 and IPv4-mapped loopback addresses.
bool IsLoopbackAddress(std::string_view raw);

/// Hardware address as the adapter list writes it: upper-case hex bytes joined by ":"
/// ("00:1A:2B:3C:4D:5E"); empty for no bytes.
std::string HardwareAddressText(std::string_view raw);
/// The same address as the name service's adapter status gives it: "00-1a-2b-3c-4d-5e".
std::string NetBiosAddressText(std::string_view raw);
/// True when every byte is zero (a loopback's or a tunnel's placeholder).
bool IsZeroAddress(std::string_view raw);

/// The adapter type code of the adapter record (0 other, 1 Ethernet, 2 token ring, 3 FDDI,
/// 4 PPP, 5 loopback, 6 SLIP) from the interface type of the IP helper (IANA ifType).
uint8_t AdapterTypeFromIfType(uint32_t ifType);
/// The same code from an ARP hardware type of a Linux link. A wireless link (also ARP type
/// Ethernet) is "other", as the IP helper's interface type for it is not in the table.
uint8_t AdapterTypeFromHardwareType(uint16_t hardwareType, bool wireless);

}  // namespace tavrin::collectors
