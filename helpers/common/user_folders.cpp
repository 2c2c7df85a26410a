#include "helpers/common/user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace tavrin::helpers {

std::filesystem::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home == '/') return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && *found->pw_dir == '/')
    return found->pw_dir;
  return "/";
}

std::filesystem::path XdgFolder(const char* variable, std::string_view fallbackUnderHome) {
  // The XDG rule: a relative value is invalid and ignored.
  if (const char* value = std::getenv(variable); value && *value == '/') return value;
  return HomeFolder() / fallbackUnderHome;
}

}  // namespace tavrin::helpers
