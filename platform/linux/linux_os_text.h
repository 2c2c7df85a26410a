// Readers of the Linux texts behind the operating-system facts: the user database, the XDG
// user directories, the package manager's log and the names of time zones. Each takes text,
// never a path.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os_facts.h"

namespace tavrin::platform {

/// The entry of `user` in a text of the user database format (name:x:uid:gid:gecos:home:shell).
std::optional<UserAccount> FindPasswdEntry(std::string_view passwd, std::string_view user);

/// XDG user directories (user-dirs.dirs): "XDG_DESKTOP_DIR" -> path with $HOME expanded.
/// Relative paths are not allowed there and are skipped.
std::map<std::string, std::string> ParseUserDirs(std::string_view text, std::string_view home);

/// The earliest "YYYY-MM-DD HH:MM:SS" stamp at the start of a line of a package log, as
/// seconds since 1970 (taken as UTC, as written).
std::optional<int64_t> EarliestLogStamp(std::string_view log);

/// The zone a link into a zone-information tree names ("../usr/share/zoneinfo/Europe/Berlin"
/// -> "Europe/Berlin"); empty when the target is not in such a tree.
std::string ZoneOfLinkTarget(std::string_view target);

/// What the TZ variable asks for.
struct TzRequest {
  enum class Kind { Utc, File, NameOrRule } kind = Kind::Utc;
  std::string text;    ///< the absolute file, or the zone name / rule
  bool colon = false;  ///< written with a leading ':' (a file, never a rule)
};
/// "" is UTC; ":/path" and "/path" a file; ":Area/City" a zone name only; "Area/City" a zone
/// name, or a POSIX rule when no zone of that name exists.
TzRequest ParseTzVariable(std::string_view value);

}  // namespace tavrin::platform
