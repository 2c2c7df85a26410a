// Small text helpers every layer uses: trimming, ASCII case, first lines, prefixes, splitting.
//
// All ASCII only: the texts they serve (file contents, key names, class names, dump lines) are
// ASCII where it matters, and UTF-8 bytes above 0x7F pass through untouched. Header-only, so
// the platform library and the helper libraries, which link below the core, share the same
// definitions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin::base {

/// Blanks and control characters: every byte up to and including the space.
constexpr bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

/// `text` without leading and trailing blanks and control characters.
constexpr std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

/// `text` without leading and trailing characters out of `chars`.
constexpr std::string_view Trim(std::string_view text, std::string_view chars) {
  const auto first = text.find_first_not_of(chars);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(chars) - first + 1);
}

/// `text` without trailing blanks and control characters.
constexpr std::string_view TrimEnd(std::string_view text) {
  while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

/// `text` without trailing characters out of `chars`.
constexpr std::string_view TrimEnd(std::string_view text, std::string_view chars) {
  const auto last = text.find_last_not_of(chars);
  return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

constexpr char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

/// `text` with ASCII letters in lower case.
inline std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

/// The text before the first line feed, without trailing blanks and control characters (so a
/// CR LF line end goes too). Kernel attribute files hold one value and a line feed.
inline std::string FirstLine(std::string_view text) {
  return std::string(TrimEnd(text.substr(0, text.find('\n'))));
}

constexpr bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.starts_with(prefix);
}

constexpr bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

constexpr bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

constexpr bool ContainsNoCase(std::string_view text, std::string_view part) {
  if (part.size() > text.size()) return false;
  for (std::size_t at = 0; at + part.size() <= text.size(); ++at)
    if (EqualsNoCase(text.substr(at, part.size()), part)) return true;
  return false;
}

/// The parts of `text` between `separator`s, empty parts left out ("a::b:" gives a, b), as in
/// search paths where an empty entry means nothing.
inline std::vector<std::string> SplitNonEmpty(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    auto end = text.find(separator, start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

/// The lines of `text`, without their LF or CR LF ends. A final line end starts no empty line.
inline std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace tavrin::base
