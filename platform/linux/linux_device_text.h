// Small text and byte helpers of the Linux device walk: hexadecimal ids, path parts, uevent
// lines and little-endian fields of a configuration space.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tavrin::platform::device_text {

inline std::string Hex4(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X", v & 0xFFFF);
  return text;
}

inline std::string Hex2(uint32_t v) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", v & 0xFF);
  return text;
}

inline std::string BaseName(std::string_view path) {
  const auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

inline std::string Parent(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos || slash == 0 ? std::string()
                                                       : std::string(path.substr(0, slash));
}

// "KEY=value" lines of a uevent file.
inline std::string UeventValue(std::string_view text, std::string_view key) {
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=')
      return std::string(line.substr(key.size() + 1));
  }
  return {};
}

inline uint64_t ParseHex(std::string_view s) {
  if (s.substr(0, 2) == "0x" || s.substr(0, 2) == "0X") s.remove_prefix(2);
  uint64_t v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v, 16);
  return v;
}

inline int ParseInt(std::string_view s, int base = 10) {
  int v = -1;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  std::from_chars(s.data(), s.data() + s.size(), v, base);
  return v;
}

inline uint32_t Le(std::string_view b, std::size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
  return v;
}

}  // namespace tavrin::platform::device_text
