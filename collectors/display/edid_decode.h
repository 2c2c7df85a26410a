// Decoding of a monitor's identification block (VESA E-EDID 1.x base block and the CTA-861 and
// DisplayID extensions) from its bytes. Pure functions: no files, no platform, no allocation
// beyond the result, so the fuzz target and the dump replay use them as they are.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "collectors/display/edid_types.h"

namespace tavrin::collectors::edid {

/// Decodes the base block and every announced extension block present. Never fails: a short
/// block decodes the bytes it has, a bad checksum is recorded, not corrected.
Edid DecodeEdid(std::span<const uint8_t> bytes);
Edid DecodeEdid(std::string_view bytes);

/// True when `bytes` starts like an identification block (the fixed header) and is a whole
/// number of 128-byte blocks: how a dump file is recognised.
bool LooksLikeEdid(std::string_view bytes);

/// An 18-byte detailed timing descriptor; nullopt when it is a display descriptor (pixel clock 0).
std::optional<Timing> DecodeDetailedTiming(std::span<const uint8_t, 18> d);

/// The 13-byte text of a display descriptor, up to its line feed, blanks trimmed; bytes outside
/// printable ASCII become '?'.
std::string DescriptorText(std::span<const uint8_t, 13> text);

/// The three letters of a manufacturer id word (bytes 8..9, big-endian); '?' for a letter
/// outside A..Z.
std::string ManufacturerLetters(uint8_t high, uint8_t low);

// Extension decoders (edid_cta.cpp, edid_displayid.cpp): `block` is one 128-byte block.
CtaBlock DecodeCtaBlock(std::span<const uint8_t, 128> block);
DisplayIdBlock DecodeDisplayIdBlock(std::span<const uint8_t, 128> block);

}  // namespace tavrin::collectors::edid
