#include "app/window/rich_text.h"

#include <cctype>

#include "base/strings.h"

namespace tavrin::window {
namespace {

using base::StartsWithNoCase;

bool IsHex(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// One tag, from "<" to ">": colours turned around, blanks around "=" dropped.
std::string ConvertTag(std::string_view tag) {
  std::string out;
  for (std::size_t i = 0; i < tag.size(); ++i) {
    const char c = tag[i];
    if (c == ' ') {
      std::size_t j = i;
      while (j < tag.size() && tag[j] == ' ') ++j;
      const bool before_equals = j < tag.size() && tag[j] == '=';
      const bool after_equals = !out.empty() && out.back() == '=';
      if (before_equals || after_equals) {
        i = j - 1;
        continue;
      }
    }
    if (c == '$' && i + 7 <= tag.size()) {
      bool hex = true;
      for (std::size_t k = 1; hex && k <= 6; ++k) hex = IsHex(tag[i + k]);
      if (hex) {
        const std::string_view bgr = tag.substr(i + 1, 6);
        out += '#';
        out += bgr.substr(4, 2);
        out += bgr.substr(2, 2);
        out += bgr.substr(0, 2);
        i += 6;
        continue;
      }
    }
    out += c;
  }
  return out;
}

}  // namespace

bool HasLabelMarkup(std::string_view text) {
  for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    const std::string_view rest = text.substr(at);
    if (StartsWithNoCase(rest, "<b>") || StartsWithNoCase(rest, "</b>") ||
        StartsWithNoCase(rest, "<font") || StartsWithNoCase(rest, "</font>") ||
        StartsWithNoCase(rest, "<br"))
      return true;
  }
  return false;
}

std::string ToQtRichText(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t open = text.find('<', i);
    if (open == std::string_view::npos) break;
    const std::size_t close = text.find('>', open);
    if (close == std::string_view::npos) break;
    out.append(text.substr(i, open - i));
    out += ConvertTag(text.substr(open, close - open + 1));
    i = close + 1;
  }
  out.append(text.substr(i));
  return out;
}

}  // namespace tavrin::window
