// Configuration texts written as shell assignments (os-release, user-dirs.dirs): NAME=value
// lines whose values follow the shell's quoting rules.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::platform {

/// Lines of a text with the trailing carriage return removed.
std::vector<std::string_view> TextLines(std::string_view text);

/// The assignments of a shell-style text: double quotes with \" \\ \$ \` escapes, single quotes
/// literal, unquoted text up to the first blank. Comments and lines that are not assignments
/// of a valid name are skipped; a later assignment of a name wins.
std::map<std::string, std::string> ParseShellAssignments(std::string_view text);

}  // namespace tavrin::platform
