#include "collectors/firmware/machine_facts.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tavrin::collectors::machine {

std::optional<double> ParseUptime(std::string_view text) {
  const auto end = text.find_first_of(" \t\n");
  const std::string first(text.substr(0, end));
  if (first.empty()) return std::nullopt;
  char* stop = nullptr;
  const double seconds = std::strtod(first.c_str(), &stop);
  if (stop != first.c_str() + first.size() || !std::isfinite(seconds) || seconds < 0)
    return std::nullopt;
  return seconds;
}

std::optional<int64_t> ParseBootTime(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    auto end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (line.substr(0, 6) != "btime ") continue;
    line.remove_prefix(6);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
    int64_t value = 0;
    auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (ec != std::errc() || ptr != line.data() + line.size() || line.empty()) return std::nullopt;
    return value;
  }
  return std::nullopt;
}

LockKey LockKeyOfLed(std::string_view name) {
  const auto colons = name.rfind("::");
  if (colons == std::string_view::npos) return LockKey::None;
  const auto function = name.substr(colons + 2);
  if (function == "capslock") return LockKey::Caps;
  if (function == "numlock") return LockKey::Num;
  if (function == "scrolllock") return LockKey::Scroll;
  return LockKey::None;
}

}  // namespace tavrin::collectors::machine
