// The user's folders by the XDG base-directory rules, shared by the program and the helper
// libraries.
#pragma once

#include <filesystem>
#include <string_view>

namespace tavrin::helpers {

/// $HOME, else the password database's home folder, else "/".
std::filesystem::path HomeFolder();

/// The folder in environment variable `variable` when it is set to an absolute path, else
/// the home folder joined with `fallbackUnderHome` (".local/state").
std::filesystem::path XdgFolder(const char* variable, std::string_view fallbackUnderHome);

}  // namespace tavrin::helpers
