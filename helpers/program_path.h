// Where the running program lives: its helper libraries, its "Lang" folder and its
// diagnostics log sit beside it.
#pragma once

#include <filesystem>
#include <string>

namespace tavrin::helpers {

/// Full path of the program file (/proc/self/exe), determined once.
const std::filesystem::path& ProgramPath();
/// Folder of the program file.
std::filesystem::path ProgramFolder();
/// File name of the program without folder ("tavrin-gui").
std::string ProgramFileName();

}  // namespace tavrin::helpers
