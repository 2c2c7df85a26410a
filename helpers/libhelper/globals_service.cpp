#include "helpers/libhelper/globals_service.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "helpers/common/user_folders.h"

namespace tavrin::helpers {

std::string GlobalsService::GetCompanyName() {
  return "Tavrin";
}

std::string GlobalsService::GetProductName() {
  return "Tavrin System Information";
}

std::string GlobalsService::GetProgramVersion() {
  return TAVRIN_VERSION;
}

std::string GlobalsService::GetDataFolder() {
  return (XdgFolder("XDG_DATA_HOME", ".local/share") / "tavrin").string();
}

std::string GlobalsService::GetSettingsKeyRoot() {
  return "Software\\Tavrin\\";
}

std::string GlobalsService::GetProgramPageLink() {
  return "https://www.tavrin.example/products/system-information/";
}

std::string GlobalsService::GetCompanyPageLink() {
  return "https://www.tavrin.example/";
}

std::string GlobalsService::GetSupportPageLink() {
  return "https://support.tavrin.example/";
}

std::string GlobalsService::GetCurrentUserName() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_name && *found->pw_name)
    return found->pw_name;
  const char* user = std::getenv("USER");
  return user ? user : "";
}

}  // namespace tavrin::helpers
