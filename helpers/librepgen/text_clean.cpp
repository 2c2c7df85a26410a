#include "helpers/librepgen/text_clean.h"

#include <cstdint>

namespace tavrin::helpers {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Reads one character at the start of `s` (Unicode 15, table 3-7: no overlong forms, no
// surrogates, nothing above U+10FFFF). Returns the bytes consumed; when they are not a
// character, `valid` is false and they are one maximal ill-formed subpart, so a truncated
// sequence costs one U+FFFD, not one per byte.
std::size_t Next(std::string_view s, char32_t& cp, bool& valid) {
  const auto b0 = static_cast<uint8_t>(s[0]);
  valid = false;
  std::size_t len = 0;
  uint8_t lo = 0x80, hi = 0xBF;
  if (b0 < 0x80) {
    len = 1;
  } else if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return 1;
  }
  cp = len == 1 ? b0 : b0 & (0xFF >> (len + 1));
  for (std::size_t i = 1; i < len; ++i) {
    if (i >= s.size()) return i;
    const auto b = static_cast<uint8_t>(s[i]);
    if (b < (i == 1 ? lo : 0x80) || b > (i == 1 ? hi : 0xBF)) return i;
    cp = (cp << 6) | (b & 0x3F);
  }
  valid = true;
  return len;
}

bool Dropped(char32_t cp) {
  if (cp == '\t') return false;
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0xFFFE || cp == 0xFFFF;
}

}  // namespace

std::string CleanReportText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    char32_t cp = 0;
    bool valid = false;
    const std::size_t len = Next(text, cp, valid);
    if (!valid)
      out += kReplacement;
    else if (!Dropped(cp))
      out.append(text.substr(0, len));
    text.remove_prefix(len);
  }
  return out;
}

std::size_t Utf8Length(std::string_view text) {
  std::size_t n = 0;
  for (char c : text) n += (static_cast<uint8_t>(c) & 0xC0) != 0x80;
  return n;
}

}  // namespace tavrin::helpers
