// GUID texts as they cross the GetInstance entry point: "{...}" in UTF-16, compared without
// regard to case. Used by the program and by the libraries alike.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::helpers {

inline char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

/// ASCII comparison without regard to case: GUIDs, library, option and language names.
inline bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

inline bool SameGuid(std::string_view a, std::string_view b) {
  return EqualNoCase(a, b);
}

/// GUID texts are plain ASCII, so widening each character is the whole conversion.
inline std::u16string GuidToUtf16(std::string_view guid) {
  return std::u16string(guid.begin(), guid.end());
}

/// Back from the entry point's zero-terminated text; anything outside ASCII cannot match a
/// GUID and becomes '?'. Stops after 64 characters, far beyond any GUID.
inline std::string GuidFromUtf16(const char16_t* text) {
  std::string out;
  if (!text) return out;
  for (std::size_t i = 0; text[i] != 0 && i < 64; ++i)
    out += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
  return out;
}

}  // namespace tavrin::helpers
