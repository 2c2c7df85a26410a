// Readers of the Linux configuration texts the operating-system collector uses: os-release,
// the user database, XDG user directories, default applications and desktop entries. Each
// takes the file's text, never a path.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::collectors {

/// Assignments of an os-release file (shell-style: double quotes with \" \\ \$ \` escapes,
/// single quotes literal, unquoted text up to the end of the line). Comments and lines that
/// are not assignments are skipped.
std::map<std::string, std::string> ParseOsRelease(std::string_view text);

/// The user database line of `user` (/etc/passwd format).
struct PasswdEntry {
  std::string fullName;  ///< first comma-separated field of the comment (GECOS) field
  std::string home;
};
std::optional<PasswdEntry> FindPasswdEntry(std::string_view passwd, std::string_view user);

/// XDG user directories (user-dirs.dirs): "XDG_DESKTOP_DIR" -> path with $HOME expanded.
/// Relative paths are not allowed there and are skipped.
std::map<std::string, std::string> ParseUserDirs(std::string_view text, std::string_view home);

/// The desktop entry id that a mimeapps.list names as the default for `mimeType`.
std::optional<std::string> DefaultApplication(std::string_view mimeapps, std::string_view mimeType);

/// The "Name" and the program of the "Exec" line of a desktop entry's [Desktop Entry] group.
struct DesktopEntry {
  std::string name;
  std::string program;  ///< first word of Exec, quotes removed
};
DesktopEntry ParseDesktopEntry(std::string_view text);

/// The earliest "YYYY-MM-DD HH:MM:SS" stamp at the start of a line of a package log, as
/// seconds since 1970 (UTC as written).
std::optional<int64_t> EarliestLogStamp(std::string_view log);

/// Lines of a text with the trailing carriage return removed.
std::vector<std::string_view> TextLines(std::string_view text);

}  // namespace tavrin::collectors
