// Installed programs and application paths of a replayed Windows registry.
#include <algorithm>

#include "base/strings.h"
#include "collectors/os/software_sources.h"
#include "collectors/os/windows_registry_reads.h"

namespace tavrin::collectors {
namespace {

using platform::RegRoot;

constexpr std::string_view kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr std::string_view kInstallerUserData =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";
constexpr std::string_view kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr std::size_t kFieldLimit = 255;

std::string Field(const platform::Registry& reg, const std::string& key, std::string_view name) {
  std::string value = winreg::String(reg, RegRoot::LocalMachine, key, name).value_or("");
  if (value.size() > kFieldLimit) value.resize(kFieldLimit);
  return value;
}

// The six values of a registration; nullopt when it has no string "DisplayName".
std::optional<TSoftwareRecord> Registration(const platform::Registry& reg, const std::string& key) {
  if (!winreg::String(reg, RegRoot::LocalMachine, key, "DisplayName")) return std::nullopt;
  TSoftwareRecord r;
  r.Name = Field(reg, key, "DisplayName");
  r.Version = Field(reg, key, "DisplayVersion");
  r.Uninstall = Field(reg, key, "UninstallString");
  r.Company = Field(reg, key, "Publisher");
  r.InstallSource = Field(reg, key, "InstallSource");
  r.InstallDate = Field(reg, key, "InstallDate");
  return r;
}

}  // namespace

bool SoftwareFromRegistry(const platform::Services& services) {
  if (!services.system) return false;
  auto record = services.system->OsVersionRecord();
  return record && record->platform != platform::OsPlatform::Linux;
}

std::vector<TSoftwareRecord> RegistrySoftware(const platform::Registry& reg) {
  std::vector<TSoftwareRecord> records;
  for (const std::string& sub : reg.SubKeys(RegRoot::LocalMachine, kUninstall))
    if (auto r = Registration(reg, std::string(kUninstall) + "\\" + sub))
      records.push_back(std::move(*r));

  for (const std::string& user : reg.SubKeys(RegRoot::LocalMachine, kInstallerUserData)) {
    const std::string products = std::string(kInstallerUserData) + "\\" + user + "\\Products";
    for (const std::string& product : reg.SubKeys(RegRoot::LocalMachine, products)) {
      auto r = Registration(reg, products + "\\" + product + "\\InstallProperties");
      if (!r) continue;
      const bool listed = std::any_of(records.begin(), records.end(), [&](const auto& known) {
        return base::EqualsNoCase(known.Name, r->Name);
      });
      if (!listed) records.push_back(std::move(*r));
    }
  }
  return records;
}

std::vector<TApplicationPath> RegistryAppPaths(const platform::Registry& reg) {
  std::vector<TApplicationPath> paths;
  for (const std::string& sub : reg.SubKeys(RegRoot::LocalMachine, kAppPaths))
    paths.push_back({sub, winreg::String(reg, RegRoot::LocalMachine,
                                         std::string(kAppPaths) + "\\" + sub, "Path")
                              .value_or("")});
  return paths;
}

}  // namespace tavrin::collectors
