// The CTA-861 extension block (CTA-861-G section 7.5): a header, data blocks of tagged
// collections, then detailed timing descriptors from the offset in byte 2.
#include <algorithm>

#include "collectors/display/edid_decode.h"
#include "collectors/display/edid_tables.h"

namespace tavrin::collectors::edid {
namespace {

constexpr uint32_t kHdmiOui = 0x000C03;  // HDMI Licensing, LLC

// Short video descriptors (CTA-861-G 7.5.1): codes 129..192 are codes 1..64 marked native.
void DecodeVideoBlock(const uint8_t* p, std::size_t len, CtaBlock& cta) {
  for (std::size_t i = 0; i < len; ++i) {
    const uint8_t svd = p[i];
    const bool native = svd >= 129 && svd <= 192;
    const uint8_t vic = native ? static_cast<uint8_t>(svd & 0x7F) : svd;
    Timing t;
    t.origin = TimingOrigin::kCtaVic;
    t.vic = vic;
    t.native = native;
    t.preferred = cta.videoCodes.empty();  // the first code is the preferred format
    if (const ModeEntry* m = FindVideoCode(vic)) {
      t.width = m->width;
      t.height = m->height;
      t.refreshHz = m->milliHz / 1000.0;
      t.interlaced = m->interlaced;
    }
    cta.videoCodes.push_back(t);
  }
}

// Short audio descriptors (CTA-861-G 7.5.2), three bytes each.
void DecodeAudioBlock(const uint8_t* p, std::size_t len, CtaBlock& cta) {
  static constexpr uint32_t kRates[7] = {32000, 44100, 48000, 88200, 96000, 176400, 192000};
  for (std::size_t i = 0; i + 3 <= len; i += 3) {
    AudioFormat a;
    a.code = (p[i] >> 3) & 0x0F;
    a.maxChannels = static_cast<uint8_t>((p[i] & 7) + 1);
    for (int r = 0; r < 7; ++r)
      if (p[i + 1] & (1 << r)) a.sampleRatesHz.push_back(kRates[r]);
    if (a.code == 1) {
      static constexpr uint8_t kSizes[3] = {16, 20, 24};
      for (int s = 0; s < 3; ++s)
        if (p[i + 2] & (1 << s)) a.sampleSizesBits.push_back(kSizes[s]);
    } else if (a.code >= 2 && a.code <= 8) {
      a.maxBitrateKbps = static_cast<uint16_t>(p[i + 2] * 8);
    }
    cta.audio.push_back(std::move(a));
  }
}

}  // namespace

CtaBlock DecodeCtaBlock(std::span<const uint8_t, 128> block) {
  CtaBlock cta;
  cta.revision = block[1];
  const uint8_t dtdOffset = block[2];
  if (cta.revision >= 2) {
    cta.underscan = block[3] & 0x80;
    cta.basicAudio = block[3] & 0x40;
    cta.ycbcr444 = block[3] & 0x20;
    cta.ycbcr422 = block[3] & 0x10;
    cta.nativeDetailedCount = block[3] & 0x0F;
  }
  // Data blocks exist from revision 3 on, between byte 4 and the detailed timings.
  const std::size_t dataEnd = dtdOffset == 0 ? 4 : std::min<std::size_t>(dtdOffset, 127);
  std::size_t at = 4;
  while (cta.revision >= 3 && at < dataEnd) {
    const uint8_t tag = block[at] >> 5;
    const std::size_t len = block[at] & 0x1F;
    const uint8_t* payload = block.data() + at + 1;
    if (at + 1 + len > dataEnd) {
      cta.malformed = true;
      break;
    }
    switch (tag) {
      case 1:
        DecodeAudioBlock(payload, len, cta);
        break;
      case 2:
        DecodeVideoBlock(payload, len, cta);
        break;
      case 3:
        if (len >= 3) {
          const uint32_t oui = payload[0] | (payload[1] << 8) | (payload[2] << 16);
          cta.vendorOuis.push_back(oui);
          cta.hdmi = cta.hdmi || oui == kHdmiOui;
        }
        break;
      case 4:
        if (len >= 1)
          cta.speakerAllocation =
              payload[0] | (len > 1 ? payload[1] << 8 : 0) | (len > 2 ? payload[2] << 16 : 0);
        break;
      default:
        break;
    }
    at += 1 + len;
  }
  if (dtdOffset >= 4) {
    for (std::size_t d = dtdOffset; d + 18 <= 127; d += 18) {
      auto t = DecodeDetailedTiming(std::span<const uint8_t, 18>(block.data() + d, 18));
      if (!t) break;  // the padding after the last descriptor
      t->native = cta.detailed.size() < cta.nativeDetailedCount;
      cta.detailed.push_back(*t);
    }
  }
  return cta;
}

}  // namespace tavrin::collectors::edid
