// Texts made of SMBIOS values: the UUID in the kernel's form, the machine's name as a user
// knows it, and the placeholders firmware leaves in strings it never filled.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin::collectors::smbios {

/// A string firmware writers leave unfilled ("To Be Filled By O.E.M.", "Not Specified",
/// "Empty", "FFFFFFFF", "Default string" ...), or nothing but blanks.
bool IsPlaceholder(std::string_view text);
/// `text`, or empty when it is a placeholder.
std::string Shown(std::string_view text);

/// The system UUID as the kernel's product_uuid shows it: lower-case, dashed, and from SMBIOS
/// 2.6 on the first three fields little-endian (before 2.6 the bytes are in network order).
/// Empty for all-zero ("not settable") and all-FF ("not present") UUIDs.
std::string UuidText(const uint8_t (&bytes)[16], uint8_t major, uint8_t minor);

/// The machine's name: manufacturer and product, or family and version where the product is
/// a part number ("20L8S07A14") or missing; the manufacturer is not repeated when the name
/// already starts with it. Placeholders count as missing.
std::string MachineModelText(std::string_view manufacturer, std::string_view product,
                             std::string_view version, std::string_view family);

/// Whether a product name reads as a part number rather than a name: one word of letters and
/// digits, starting with a digit, at least eight characters ("20L8S07A14", "81EK000DGE").
bool LooksLikePartNumber(std::string_view product);

}  // namespace tavrin::collectors::smbios
