// Decoding tables for ATA identification data, plain data beside the standards they come from.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tavrin::collectors {

/// The version older tools derived from the high byte of IDENTIFY word 80, indexed by that
/// byte (0 to 34). Kept as they printed it so their reports can be compared.
inline constexpr std::array<uint8_t, 35> kLegacyAtaVersionTable = {
    0, 1, 1, 1, 2, 2, 3, 2, 3, 2, 3, 3, 3, 4, 4, 4, 4, 4,
    4, 5, 4, 5, 5, 4, 6, 6, 7, 6, 6, 0, 7, 0, 0, 7, 6};

struct AtaStandard {
  uint8_t majorBit;  ///< bit of IDENTIFY word 80 (major version number)
  std::string_view name;
};

/// Major version bits of IDENTIFY word 80 (ATA/ACS-3 7.12.7.36; ATA/ACS-4 7.13.6.35 adds
/// bit 11, ACS-5 bit 12). Bits 1-3 are the retired ATA-1 to ATA-3.
inline constexpr AtaStandard kAtaStandards[] = {
    {1, "ATA-1"},       {2, "ATA-2"},       {3, "ATA-3"},       {4, "ATA/ATAPI-4"},
    {5, "ATA/ATAPI-5"}, {6, "ATA/ATAPI-6"}, {7, "ATA/ATAPI-7"}, {8, "ATA8-ACS"},
    {9, "ACS-2"},       {10, "ACS-3"},      {11, "ACS-4"},      {12, "ACS-5"},
};

}  // namespace tavrin::collectors
