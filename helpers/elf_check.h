// A look at a helper library file before the loader maps it. The loader trusts the file's
// headers: a library cut short (an interrupted copy, a full disk during an update) is mapped
// past its end, and the first touch of the missing pages kills the process with SIGBUS
// before any error can be shown. Checking the ELF headers against the file's size first
// turns that into an ordinary load error that names the file.
#pragma once

#include <filesystem>
#include <string>

namespace tavrin::helpers {

/// Empty when `file` is a regular file holding a complete shared object for this machine
/// (64- or 32-bit as the program, same byte order and processor); else the reason, such as
/// "cut short: 4096 of 23456 bytes".
std::string ElfLibraryProblem(const std::filesystem::path& file);

}  // namespace tavrin::helpers
