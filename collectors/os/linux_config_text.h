// Readers of the Linux configuration texts the operating-system collector uses: os-release,
// default applications and desktop entries. Each takes the file's text, never a path.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shell_text.h"

namespace tavrin::collectors {

/// Assignments of an os-release file (shell-style quoting; comments and lines that are not
/// assignments are skipped).
inline std::map<std::string, std::string> ParseOsRelease(std::string_view text) {
  return platform::ParseShellAssignments(text);
}

/// The desktop entry id that a mimeapps.list names as the default for `mimeType`.
std::optional<std::string> DefaultApplication(std::string_view mimeapps, std::string_view mimeType);

/// The "Name" and the program of the "Exec" line of a desktop entry's [Desktop Entry] group.
struct DesktopEntry {
  std::string name;
  std::string program;  ///< first word of Exec, quotes removed
};
DesktopEntry ParseDesktopEntry(std::string_view text);

/// Lines of a text with the trailing carriage return removed.
using platform::TextLines;

}  // namespace tavrin::collectors
