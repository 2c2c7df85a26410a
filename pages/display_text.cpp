#include "pages/display_text.h"

#include <cstdio>

#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages::display_text {
namespace {

using namespace collectors::edid;

std::string Fixed(double v, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

std::string Hex2(unsigned v) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", v & 0xFF);
  return text;
}

void Join(std::string& to, const std::string& part, std::string_view sep = ", ") {
  if (part.empty()) return;
  if (!to.empty()) to += sep;
  to += part;
}

}  // namespace

std::string TimingText(const Timing& t) {
  return FormatText(t.interlaced ? lbl::S_VIDEO_MODE_AT_I : lbl::S_VIDEO_MODE_AT,
                    {std::to_string(t.width), std::to_string(t.height), Fixed(t.refreshHz, 2)});
}

std::string TimingsText(const std::vector<Timing>& list) {
  std::string text;
  for (const auto& t : list) {
    std::string one = t.width ? TimingText(t) : "VIC " + std::to_string(t.vic);
    if (t.native) one = FormatText(lbl::S_MON_CTA_NATIVE, {one});
    Join(text, one);
  }
  return text;
}

std::string MadeText(const Edid& e) {
  if (e.length < 18) return {};
  if (e.modelYear) return FormatText(lbl::S_MON_MODEL_YEAR, {std::to_string(e.year)});
  if (e.week == 0) return std::to_string(e.year);
  return FormatText(lbl::S_MON_WEEK_OF, {std::to_string(e.week), std::to_string(e.year)});
}

std::string InputText(const Edid& e) {
  if (e.truncated()) return {};
  if (!e.digital) return lbl::S_MON_ANALOG;
  static constexpr const char* kInterfaces[] = {"",     "DVI",         "HDMI-a", "HDMI-b",
                                                "MDDI", "DisplayPort", ""};
  std::string text = lbl::S_MON_DIGITAL;
  Join(text, kInterfaces[static_cast<int>(e.interface)]);
  if (e.bitsPerColor)
    Join(text, FormatText(lbl::S_MON_BITS_PER_COLOR, {std::to_string(e.bitsPerColor)}));
  return text;
}

std::string SizeText(const Edid& e) {
  if (e.truncated()) return {};
  if (e.widthCm && e.heightCm)
    return FormatText(lbl::S_MON_SIZE_CM, {std::to_string(e.widthCm), std::to_string(e.heightCm)});
  if (e.aspectRatio) return FormatText(lbl::S_MON_ASPECT, {Fixed(*e.aspectRatio, 2)});
  return lbl::S_MON_SIZE_VARIABLE;
}

std::string BlockText(const Edid& e) {
  if (e.truncated()) return FormatText(lbl::S_MON_BLOCK_SHORT, {std::to_string(e.length)});
  if (!e.headerOk) return lbl::S_MON_BLOCK_HEADER;
  if (!e.baseChecksumOk)
    return FormatText(lbl::S_MON_BLOCK_BAD,
                      {std::to_string(e.length), Hex2(e.checksum), Hex2(e.expectedChecksum)});
  return FormatText(lbl::S_MON_BLOCK_OK, {std::to_string(e.length)});
}

std::string ExtensionsText(const Edid& e) {
  if (e.truncated()) return {};
  std::string text = std::to_string(e.extensionCount);
  if (e.extensions.size() < e.extensionCount)
    text = FormatText(lbl::S_MON_EXT_MISSING,
                      {std::to_string(e.extensionCount), std::to_string(e.extensions.size())});
  std::string kinds;
  for (const auto& x : e.extensions) {
    std::string kind;
    switch (x.tag) {
      case 0x02:
        kind = "CTA-861 revision " + std::to_string(x.cta ? x.cta->revision : 0);
        break;
      case 0x10:
        kind = "VTB";
        break;
      case 0x40:
        kind = "DI";
        break;
      case 0x70:
        kind = "DisplayID " + std::to_string((x.displayId ? x.displayId->version : 0) >> 4) + "." +
               std::to_string((x.displayId ? x.displayId->version : 0) & 0x0F);
        break;
      case 0xF0:
        kind = "block map";
        break;
      default:
        kind = FormatText(lbl::S_MON_EXT_UNKNOWN, {Hex2(x.tag)});
        break;
    }
    if (!x.checksumOk) kind += ", " + std::string(lbl::S_MON_EXT_BAD);
    Join(kinds, kind, "; ");
  }
  if (!kinds.empty()) text += " (" + kinds + ")";
  if (e.extraBlocks)
    text += "; " + FormatText(lbl::S_MON_EXT_EXTRA, {std::to_string(e.extraBlocks)});
  return text;
}

std::string RangeText(const RangeLimits& r) {
  std::string text =
      FormatText(lbl::S_MON_RANGE_TEXT,
                 {std::to_string(r.minVerticalHz), std::to_string(r.maxVerticalHz),
                  std::to_string(r.minHorizontalKHz), std::to_string(r.maxHorizontalKHz)});
  if (r.maxPixelClockMHz)
    Join(text, FormatText(lbl::S_MON_RANGE_CLOCK, {std::to_string(r.maxPixelClockMHz)}));
  return text;
}

std::string ChromaticityText(const Chromaticity& c) {
  auto xy = [](double x, double y) { return Fixed(x, 3) + ", " + Fixed(y, 3); };
  return FormatText(lbl::S_MON_CHROMA_TEXT, {xy(c.redX, c.redY), xy(c.greenX, c.greenY),
                                             xy(c.blueX, c.blueY), xy(c.whiteX, c.whiteY)});
}

std::string PowerStatesText(const Edid& e) {
  std::string text;
  if (e.dpmsStandby) Join(text, lbl::S_MON_STANDBY);
  if (e.dpmsSuspend) Join(text, lbl::S_MON_SUSPEND);
  if (e.dpmsOff) Join(text, lbl::S_MON_OFF);
  return text;
}

std::string ScreenText(const collectors::display::Screen& s) {
  std::string text = FormatText(lbl::S_VIDEO_SCREEN_TEXT,
                                {s.Name, std::to_string(s.Width), std::to_string(s.Height)});
  if (s.Depth) Join(text, std::to_string(s.Depth) + lbl::S_COUNT_BITS_PER_PIXEL);
  if (s.RefreshHz > 0) Join(text, Fixed(s.RefreshHz, 2) + lbl::S_COUNT_HZ);
  Join(text, FormatText(lbl::S_VIDEO_SCREEN_AT, {std::to_string(s.X), std::to_string(s.Y)}));
  return s.Primary ? FormatText(lbl::S_VIDEO_PRIMARY, {text}) : text;
}

std::string ConnectorText(const collectors::display::Connector& c) {
  std::string text;
  if (c.Status == "connected")
    Join(text, lbl::S_VIDEO_CONNECTED);
  else if (c.Status == "disconnected")
    Join(text, lbl::S_VIDEO_DISCONNECTED);
  else
    Join(text, c.Status);
  if (c.Enabled == "enabled")
    Join(text, lbl::S_VIDEO_ENABLED);
  else if (c.Enabled == "disabled")
    Join(text, lbl::S_VIDEO_DISABLED);
  if (!c.Dpms.empty() && c.Status == "connected")
    Join(text, FormatText(lbl::S_VIDEO_POWER, {c.Dpms}));
  return text;
}

std::string IdText(const Edid& e) {
  if (e.length < 12) return {};
  char code[8];
  std::snprintf(code, sizeof code, "%04X", e.productCode);
  return e.manufacturerId + " " + code;
}

std::string AudioText(const std::vector<AudioFormat>& formats) {
  static constexpr const char* kFormats[] = {
      "?",     "Linear PCM",    "AC-3",          "MPEG-1", "MP3",       "MPEG-2", "AAC LC",  "DTS",
      "ATRAC", "One Bit Audio", "Enhanced AC-3", "DTS-HD", "MAT (MLP)", "DST",    "WMA Pro", "?"};
  std::string text;
  for (const auto& a : formats) {
    std::string one = kFormats[a.code & 0x0F];
    Join(one, FormatText(lbl::S_MON_CHANNELS, {std::to_string(a.maxChannels)}));
    std::string rates;
    for (uint32_t r : a.sampleRatesHz) {
      if (!rates.empty()) rates += '/';
      rates += Fixed(r / 1000.0, r % 1000 ? 1 : 0);
    }
    if (!rates.empty()) Join(one, rates + " kHz");
    std::string sizes;
    for (uint8_t s : a.sampleSizesBits) {
      if (!sizes.empty()) sizes += '/';
      sizes += std::to_string(s);
    }
    if (!sizes.empty()) Join(one, sizes + lbl::S_COUNT_BITS);
    Join(text, one, "; ");
  }
  return text;
}

std::string SpeakersText(uint32_t bits) {
  // CTA-861-G table 64, speaker allocation data block byte 1 and 2.
  static constexpr const char* kSpeakers[] = {"front left/right",
                                              "LFE",
                                              "front centre",
                                              "back left/right",
                                              "back centre",
                                              "front left/right centre",
                                              "rear left/right centre",
                                              "front left/right wide",
                                              "top front left/right",
                                              "top centre",
                                              "top front centre",
                                              "left/right surround",
                                              "LFE 2",
                                              "top back centre",
                                              "side left/right",
                                              "top side left/right"};
  std::string text;
  for (int i = 0; i < 16; ++i)
    if (bits & (1u << i)) Join(text, kSpeakers[i]);
  return text;
}

}  // namespace tavrin::pages::display_text
