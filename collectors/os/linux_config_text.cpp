#include "collectors/os/linux_config_text.h"

#include <cctype>

#include "base/strings.h"

namespace tavrin::collectors {
namespace {

using base::Trim;

}  // namespace

std::optional<std::string> DefaultApplication(std::string_view mimeapps,
                                              std::string_view mimeType) {
  bool inDefaults = false;
  for (std::string_view line : TextLines(mimeapps)) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inDefaults = line == "[Default Applications]";
      continue;
    }
    if (!inDefaults) continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || Trim(line.substr(0, eq)) != mimeType) continue;
    // A list of ids separated by ";": the first one is the default.
    std::string_view ids = Trim(line.substr(eq + 1));
    std::string_view first = Trim(ids.substr(0, ids.find(';')));
    if (!first.empty()) return std::string(first);
  }
  return std::nullopt;
}

DesktopEntry ParseDesktopEntry(std::string_view text) {
  DesktopEntry entry;
  bool inEntry = false;
  for (std::string_view line : TextLines(text)) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    const std::string_view value = Trim(line.substr(eq + 1));
    if (key == "Name" && entry.name.empty()) entry.name = std::string(value);
    if (key == "Exec" && entry.program.empty()) {
      if (!value.empty() && value.front() == '"') {
        const auto close = value.find('"', 1);
        entry.program = std::string(
            value.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      } else {
        entry.program = std::string(value.substr(0, value.find(' ')));
      }
    }
  }
  return entry;
}

}  // namespace tavrin::collectors
