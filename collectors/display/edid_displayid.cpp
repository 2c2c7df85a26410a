// A DisplayID section carried in an extension block (VESA DisplayID 1.3 section 2 and 2.0
// section 3): tag 70h, then the section header, data blocks and the section checksum.
#include "collectors/display/edid_decode.h"

namespace tavrin::collectors::edid {
namespace {

uint16_t Word(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// A type I (1.x, tag 03h) or type VII (2.0, tag 22h) detailed timing: 20 bytes, every count
// stored minus one; the clock in 10 kHz (type I) or 1 kHz (type VII) units.
Timing DetailedTiming(const uint8_t* p, bool kiloHertzClock) {
  Timing t;
  t.origin = TimingOrigin::kDisplayId;
  const uint32_t clock = (p[0] | (p[1] << 8) | (p[2] << 16)) + 1u;
  t.pixelClockKHz = kiloHertzClock ? clock : clock * 10;
  t.preferred = p[3] & 0x80;
  t.interlaced = p[3] & 0x10;
  const unsigned hActive = Word(p + 4) + 1u, hBlank = Word(p + 6) + 1u;
  const unsigned vActive = Word(p + 12) + 1u, vBlank = Word(p + 14) + 1u;
  t.width = static_cast<uint16_t>(hActive);
  t.height = static_cast<uint16_t>(vActive);
  t.refreshHz =
      t.pixelClockKHz * 1000.0 / (static_cast<double>(hActive + hBlank) * (vActive + vBlank));
  return t;
}

}  // namespace

DisplayIdBlock DecodeDisplayIdBlock(std::span<const uint8_t, 128> block) {
  DisplayIdBlock id;
  id.version = block[1];
  const std::size_t sectionBytes = block[2];
  // Section: header at 1..4, data blocks from 5, checksum after them; all inside the block.
  const std::size_t end = 5 + sectionBytes;
  if (end > 127) {
    id.malformed = true;
    return id;
  }
  std::size_t at = 5;
  while (at + 3 <= end) {
    const uint8_t tag = block[at];
    const std::size_t len = block[at + 2];
    if (tag == 0 && len == 0) break;  // padding
    const uint8_t* payload = block.data() + at + 3;
    if (at + 3 + len > end) {
      id.malformed = true;
      break;
    }
    if (tag == 0x03 || tag == 0x22) {
      for (std::size_t i = 0; i + 20 <= len; i += 20)
        id.detailed.push_back(DetailedTiming(payload + i, tag == 0x22));
    } else if (tag == 0x01 && len >= 4) {
      // Display parameters: image size in 0.1 mm.
      id.imageWidthMm = Word(payload) / 10.0;
      id.imageHeightMm = Word(payload + 2) / 10.0;
    }
    at += 3 + len;
  }
  return id;
}

}  // namespace tavrin::collectors::edid
