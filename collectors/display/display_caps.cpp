#include "collectors/display/display_caps.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <span>

namespace tavrin::collectors::display {
namespace {

// Bit of the raw capability value for each set element, in element order (Win32 wingdi.h
// CC_*, LC_*, PC_*, RC_*, TC_*, SB_*, CM_* values).
constexpr uint32_t kCurveBits[] = {0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100};
constexpr uint32_t kLineBits[] = {0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80};
constexpr uint32_t kPolygonBits[] = {0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80};
constexpr uint32_t kRasterBits[] = {0x2,  0x1,   0x8, 0x80,  0x200, 0x1000,
                                    0x10, 0x100, 0x4, 0x800, 0x2000};
constexpr uint32_t kTextBits[] = {0x1,   0x2,   0x4,   0x8,   0x10,   0x20,   0x40,   0x80,
                                  0x100, 0x200, 0x400, 0x800, 0x1000, 0x2000, 0x4000, 0x10000};
constexpr uint32_t kShadeBlendBits[] = {0x1, 0x10, 0x20, 0x2, 0x4};
constexpr uint32_t kColorMgmtBits[] = {0x4, 0x1, 0x2};

constexpr const char* kCurveTexts[] = {"Circles",
                                       "Pie Wedges",
                                       "Chords",
                                       "Ellipses",
                                       "Wide Borders",
                                       "Styled Borders",
                                       "Wide and Styled Borders",
                                       "Interiors",
                                       "Rounded Rectangles"};
constexpr const char* kLineTexts[] = {"Polylines",  "Markers",      "Multiple Markers",
                                      "Wide Lines", "Styled Lines", "Wide and Styled Lines",
                                      "Interiors"};
constexpr const char* kPolygonTexts[] = {
    "Alternate Fill Polygons", "Rectangles",   "Winding Fill Polygons",
    "Single Scanlines",        "Wide Borders", "Styled Borders",
    "Wide and Styled Borders", "Interiors"};
constexpr const char* kRasterTexts[] = {"Requires Banding",
                                        "Can Transfer Bitmaps",
                                        "Supports Bitmaps > 64K",
                                        "Supports SetDIBits and GetDIBits",
                                        "Supports SetDIBitsToDevice",
                                        "Can Perform Floodfills",
                                        "Supports Windows 2.0 Features",
                                        "Palette Based",
                                        "Scaling",
                                        "Supports StretchBlt",
                                        "Supports StretchDIBits"};
constexpr const char* kTextTexts[] = {"Capable of Character Output Precision",
                                      "Capable of Stroke Output Precision",
                                      "Capable of Stroke Clip Precision",
                                      "Supports 90 Degree Character Rotation",
                                      "Supports Character Rotation to Any Angle",
                                      "X And Y Scale Independent",
                                      "Supports Doubled Character Scaling",
                                      "Supports Integer Multiples Only When Scaling",
                                      "Supports Any Multiples For Exact Character Scaling",
                                      "Supports Double Weight Characters",
                                      "Supports Italics",
                                      "Supports Underlines",
                                      "Supports Strikeouts",
                                      "Supports Raster Fonts",
                                      "Supports Vector Fonts",
                                      "Cannot Scroll Using Blts"};

CapSet SetOf(const std::map<int, int32_t>& caps, int index, std::span<const uint32_t> bits) {
  auto it = caps.find(index);
  if (it == caps.end() || it->second == 0) return 0;
  CapSet set = 0;
  for (std::size_t i = 0; i < bits.size(); ++i)
    if (static_cast<uint32_t>(it->second) & bits[i]) set |= 1u << i;
  return set;
}

}  // namespace

CapSets DecodeCapabilities(const std::map<int, int32_t>& caps) {
  CapSets s;
  s.curve = SetOf(caps, 28, kCurveBits);
  s.line = SetOf(caps, 30, kLineBits);
  s.polygon = SetOf(caps, 32, kPolygonBits);
  s.raster = SetOf(caps, 38, kRasterBits);
  s.text = SetOf(caps, 34, kTextBits);
  s.shadeBlend = SetOf(caps, 120, kShadeBlendBits);
  s.colorMgmt = SetOf(caps, 121, kColorMgmtBits);
  return s;
}

std::string_view TechnologyName(int32_t value) {
  static constexpr std::string_view kNames[] = {
      "Vector Plotter",   "Raster Display", "Raster Printer", "Raster Camera",
      "Character Stream", "Metafile",       "Display File"};
  return value >= 0 && value < 7 ? kNames[value] : std::string_view();
}

void CapabilityTexts(CapKind kind, CapSet set, std::vector<std::string>& lines) {
  std::span<const char* const> texts;
  switch (kind) {
    case CapKind::kCurve:
      texts = kCurveTexts;
      break;
    case CapKind::kLine:
      texts = kLineTexts;
      break;
    case CapKind::kPolygon:
      texts = kPolygonTexts;
      break;
    case CapKind::kRaster:
      texts = kRasterTexts;
      break;
    case CapKind::kText:
      texts = kTextTexts;
      break;
  }
  for (std::size_t i = 0; i < texts.size(); ++i)
    lines.push_back(std::string(texts[i]) + "=" + ((set >> i) & 1 ? "1" : "0"));
}

std::string ModeText(int32_t width, int32_t height, int32_t bits) {
  char text[64];
  if (bits > 0)
    std::snprintf(text, sizeof text, "%d x %d - %d bit", width, height, bits);
  else
    std::snprintf(text, sizeof text, "%d x %d", width, height);
  return text;
}

void AddMode(std::vector<std::string>& modes, const std::string& mode) {
  auto same = [&](const std::string& m) {
    return std::equal(m.begin(), m.end(), mode.begin(), mode.end(), [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) ==
             std::tolower(static_cast<unsigned char>(b));
    });
  };
  if (std::none_of(modes.begin(), modes.end(), same)) modes.push_back(mode);
}

bool ParseModeName(std::string_view name, int32_t& width, int32_t& height) {
  int w = 0, h = 0;
  char rest = 0;
  const std::string text(name);
  const int n = std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &rest);
  if (n < 2 || w <= 0 || h <= 0) return false;
  width = w;
  height = h;
  return true;
}

}  // namespace tavrin::collectors::display
