#include "helpers/program_path.h"

#include <system_error>

namespace tavrin::helpers {

const std::filesystem::path& ProgramPath() {
  static const std::filesystem::path path = [] {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
    // Without /proc (a stripped-down container) the working folder is the best guess left.
    if (ec || p.empty()) p = std::filesystem::current_path(ec) / "tavrin";
    return p;
  }();
  return path;
}

std::filesystem::path ProgramFolder() {
  return ProgramPath().parent_path();
}

std::string ProgramFileName() {
  return ProgramPath().filename().string();
}

}  // namespace tavrin::helpers
