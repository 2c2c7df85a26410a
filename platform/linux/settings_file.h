// The current user's settings: what Windows keeps under HKEY_CURRENT_USER lives on Linux in
// one INI file, $XDG_CONFIG_HOME/tavrin/settings.ini (~/.config/tavrin/settings.ini).
//
// Each INI section is a key path under HKEY_CURRENT_USER ("[Software\Tavrin\Settings]"); each
// entry a value in ".reg" notation (Language="DEU", DebugMode=dword:00000001). An entry
// without quotes or a type prefix is read as a string, so "DebugMode=1" is the string "1".
// "@" names the default value. A ';' after a blank starts a comment anywhere on an entry line,
// even inside quotes (inih's inline comments), so the writer stores a string holding one as a
// hex(1): byte list; long byte lists go on over indented lines ending in "\", as in ".reg" files.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace tavrin::platform {

/// $XDG_CONFIG_HOME/tavrin/settings.ini, with ~/.config when XDG_CONFIG_HOME is unset or
/// relative (the XDG rule).
std::filesystem::path SettingsFilePath();

struct SettingsLoad {
  std::shared_ptr<RegistryTree> tree;  ///< never null; HKEY_CURRENT_USER keys only
  std::vector<std::string> problems;   ///< one line per malformed line, empty when clean
};

/// Parses settings INI text (inih). Malformed lines are skipped and listed; the rest is kept.
SettingsLoad ParseSettingsIni(std::string_view text);
/// Reads the file; a missing file is an empty tree without problems, an unreadable one an
/// empty tree with one problem line.
SettingsLoad LoadSettingsFile(const std::filesystem::path& file);

/// INI text of the HKEY_CURRENT_USER keys of `tree`, in the notation above.
std::string WriteSettingsIni(const RegistryTree& tree);
/// Writes atomically (temporary file, then rename), creating the folder. False on failure.
bool SaveSettingsFile(const std::filesystem::path& file, const RegistryTree& tree,
                      std::string* error = nullptr);

}  // namespace tavrin::platform
