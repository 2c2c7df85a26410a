#include "collectors/devices/device_text_rules.h"

#include <charconv>

#include "base/strings.h"

namespace tavrin::collectors {
namespace {

using base::Trim;

// Hexadecimal digits at the start of `s`, at most `count` of them; 0 when they do not parse.
uint32_t HexPart(std::string_view s, std::size_t count) {
  s = s.substr(0, count);
  uint32_t v = 0;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
  if (ec != std::errc() || ptr != s.data() + s.size()) return 0;
  return v;
}

}  // namespace

std::string StripInfReference(std::string_view text) {
  const auto semi = text.find(';');
  if (semi == std::string_view::npos) return std::string(text);
  return std::string(text.substr(semi + 1, 1024));
}

int32_t TextToInt(std::string_view text) {
  text = Trim(text);
  int base = 10;
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  int64_t v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) return 0;
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return 0;
  return static_cast<int32_t>(v);
}

PciLocation ParseLocation(std::string_view text) {
  PciLocation loc;
  if (text.empty()) return loc;
  std::string l(text);
  if (l.find('(') != std::string::npos) {
    l.erase(0, l.find('(') + 1);
    if (const auto close = l.find(')'); close != std::string::npos) l.erase(close);
    std::string spaced = " ";
    for (char c : l) {
      spaced.push_back(c);
      if (c == ',') spaced.push_back(' ');
    }
    l = spaced;
  }
  // The two characters before position p (0-based index of the comma), trimmed.
  auto before = [&l](std::size_t p) {
    return TextToInt(std::string_view(l).substr(p >= 2 ? p - 2 : 0, p >= 2 ? 2 : p));
  };
  auto p = l.find(',');
  if (p == std::string::npos) return loc;
  loc.bus = before(p);
  l.erase(0, p + 1);
  p = l.find(',');
  if (p == std::string::npos) {
    // Without a second comma the number is read from the start of the rest.
    loc.device = TextToInt(std::string_view(l).substr(0, 2));
  } else {
    loc.device = before(p);
    l.erase(0, p + 1);
  }
  loc.function = TextToInt(l.size() >= 2 ? std::string_view(l).substr(l.size() - 2) : l);
  return loc;
}

PciIds ParsePciHardwareId(std::string_view h) {
  PciIds ids;
  if (h.find("PCI\\VEN") == std::string_view::npos) return ids;
  auto after = [h](std::string_view marker, std::size_t count) -> uint32_t {
    const auto at = h.find(marker);
    return at == std::string_view::npos ? 0 : HexPart(h.substr(at + marker.size()), count);
  };
  ids.vendor = after("VEN_", 4);
  ids.device = after("DEV_", 4);
  ids.subsystem = after("SUBSYS_", 8);
  ids.revision = after("REV_", 2);
  return ids;
}

}  // namespace tavrin::collectors
