// Fixed mode tables of the identification block standards, as plain data.
#pragma once

#include <cstdint>
#include <span>

namespace tavrin::collectors::edid {

struct ModeEntry {
  uint16_t width, height;
  uint32_t milliHz;  ///< nominal vertical rate in thousandths of a hertz
  bool interlaced;
};

/// VESA E-EDID 1.4, section 3.8 (established timings I and II): one entry per bit, byte 23h bit
/// 7 first, through byte 25h bit 7 (the other bits of 25h are the manufacturer's).
std::span<const ModeEntry> EstablishedTimings();

struct VicEntry {
  uint8_t vic;
  ModeEntry mode;
};

/// CTA-861-G table 3 and CTA-861.6 (video identification codes 1..127 and 193..219), sorted
/// by code.
std::span<const VicEntry> VideoCodes();

/// The mode of a video identification code; nullptr for a reserved code.
const ModeEntry* FindVideoCode(uint8_t vic);

}  // namespace tavrin::collectors::edid
