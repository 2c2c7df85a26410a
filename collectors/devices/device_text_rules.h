// The text rules of the device list: how the database's values become the record's fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin::collectors {

/// A value "@oem.inf,%desc%;Plain Name" names its INF resource before the first ";": the text
/// after it (at most 1024 characters) is the plain name. Text without ";" stays as it is.
std::string StripInfReference(std::string_view text);

/// Bus, device and function numbers of a location text; -1 where not parsed.
struct PciLocation {
  int32_t bus = -1, device = -1, function = -1;
  bool operator==(const PciLocation&) const = default;
};
/// The older form "PCI bus 2, device 0, function 0" and the newer one that ends in the
/// parenthesised numbers "...;(0,28,5)" both give the three numbers. Each number is taken from
/// the two characters before its comma (the last two for the function), so a number of three
/// digits keeps its last two. Text without a comma leaves all three at -1.
PciLocation ParseLocation(std::string_view text);

/// PCI ids of a hardware id "PCI\VEN_8086&DEV_27C8&SUBSYS_30A2103C&REV_02"; all 0 for an id
/// that is not a PCI one, and 0 for a part that does not parse.
struct PciIds {
  uint32_t vendor = 0, device = 0, subsystem = 0, revision = 0;
  bool operator==(const PciIds&) const = default;
};
PciIds ParsePciHardwareId(std::string_view hardwareId);

/// Decimal text as an integer ("$" introduces hexadecimal); 0 for text that is not a number.
int32_t TextToInt(std::string_view text);

}  // namespace tavrin::collectors
