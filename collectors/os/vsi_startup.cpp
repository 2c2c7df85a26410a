#include "collectors/os/vsi_startup.h"

#include "base/strings.h"
#include "collectors/os/boot_entries.h"
#include "collectors/os/software_sources.h"
#include "collectors/os/startup_sources.h"
#include "platform/os_environment.h"
#include "platform/software.h"

namespace tavrin::collectors {
namespace {

// The desktops the session runs ("ubuntu:GNOME" -> ubuntu, GNOME).
std::vector<std::string> CurrentDesktops(const platform::Services& services) {
  std::vector<std::string> desktops;
  if (!services.environment) return desktops;
  auto vars = services.environment->Variables();
  if (!vars) return desktops;
  std::string_view value = EnvironmentValue(*vars, "XDG_CURRENT_DESKTOP");
  std::string copy(value);
  std::string_view rest = copy;
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    if (colon != 0) desktops.emplace_back(rest.substr(0, colon));
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return desktops;
}

}  // namespace

template <class Self>
auto TVexa_Startup::ListsOf(Self& s)
    -> std::vector<std::pair<const char*, decltype(&s.HKCU_Runs)>> {
  return {
      {"HKCU_Runs", &s.HKCU_Runs},
      {"HKLM_Runs", &s.HKLM_Runs},
      {"HKCUOnce_Runs", &s.HKCUOnce_Runs},
      {"HKLMOnce_Runs", &s.HKLMOnce_Runs},
      {"HKCUOnceEx_Runs", &s.HKCUOnceEx_Runs},
      {"HKLMOnceEx_Runs", &s.HKLMOnceEx_Runs},
      {"HKCUServices_Runs", &s.HKCUServices_Runs},
      {"HKLMServices_Runs", &s.HKLMServices_Runs},
      {"HKCUServicesOnce_Runs", &s.HKCUServicesOnce_Runs},
      {"HKLMServicesOnce_Runs", &s.HKLMServicesOnce_Runs},
      {"HKLMSessionManager_Runs", &s.HKLMSessionManager_Runs},
      {"HKLMWinLogon_Runs", &s.HKLMWinLogon_Runs},
      {"HKCULoad_Runs", &s.HKCULoad_Runs},
      {"User_Runs", &s.User_Runs},
      {"Common_Runs", &s.Common_Runs},
      {"WinINI_Runs", &s.WinINI_Runs},
      {"SystemINI_Runs", &s.SystemINI_Runs},
      {"BHO_Runs", &s.BHO_Runs},
      {"XdgSystem_Runs", &s.XdgSystem_Runs},
      {"XdgUser_Runs", &s.XdgUser_Runs},
      {"SystemdSystem_Runs", &s.SystemdSystem_Runs},
      {"SystemdUser_Runs", &s.SystemdUser_Runs},
      {"Cron_Runs", &s.Cron_Runs},
      {"RcLocal_Runs", &s.RcLocal_Runs},
  };
}

void TVexa_Startup::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  for (auto& [name, list] : ListsOf(*this)) list->clear();
  sources_.clear();
  if (SoftwareFromRegistry(Platform()))
    ReadRegistry();
  else
    ReadLinux();
}

void TVexa_Startup::ReadRegistry() {
  const platform::Services& services = Platform();
  if (!services.registry) return;
  const platform::Registry& reg = *services.registry;
  // The recorded user's hive: HKEY_CURRENT_USER when the snapshot has one, else that user's
  // key under HKEY_USERS.
  platform::RegRoot root = platform::RegRoot::CurrentUser;
  std::string prefix;
  if (!reg.KeyExists(root, "Software") && !UserSid().empty() &&
      reg.KeyExists(platform::RegRoot::Users, UserSid())) {
    root = platform::RegRoot::Users;
    prefix = UserSid() + "\\";
  }
  ReadRegistryStartup(reg, root, prefix, *this);
  const auto registry = platform::Provenance::Answered("registry");
  const auto noFiles = platform::Provenance::Failure(platform::Status::NotSupported,
                                                     "start-up folders and INI files",
                                                     "a registry snapshot holds no files");
  for (const Location& l : Locations()) {
    const std::string_view name = l.name;
    if (name == "User_Runs" || name == "Common_Runs" || name == "WinINI_Runs" ||
        name == "SystemINI_Runs")
      sources_[l.list] = noFiles;
    else if (!name.starts_with("Xdg") && !name.starts_with("Systemd") && name != "Cron_Runs" &&
             name != "RcLocal_Runs")
      sources_[l.list] = registry;
  }
}

void TVexa_Startup::ReadLinux() {
  const platform::Services& services = Platform();
  if (!services.software) {
    const auto none = platform::Provenance::Failure(
        platform::Status::NotSupported, "software service", "this source has no start-up data");
    for (auto* list : {&XdgSystem_Runs, &XdgUser_Runs, &SystemdSystem_Runs, &SystemdUser_Runs,
                       &Cron_Runs, &RcLocal_Runs})
      sources_[list] = none;
    return;
  }
  const platform::SoftwareService& sw = *services.software;

  auto system = sw.AutostartEntries(platform::StartScope::System);
  auto user = sw.AutostartEntries(platform::StartScope::User);
  const AutostartLines autostart = AutostartEntries(
      system.value_or({}), user.value_or({}), CurrentDesktops(services), MessagesLocale(services));
  XdgSystem_Runs = autostart.system;
  XdgUser_Runs = autostart.user;
  sources_[&XdgSystem_Runs] = system.source;
  sources_[&XdgUser_Runs] = user.source;

  auto systemUnits = sw.UnitLinks(platform::StartScope::System);
  if (systemUnits) SystemdSystem_Runs = EnabledUnitLines(*systemUnits);
  sources_[&SystemdSystem_Runs] = systemUnits.source;
  auto userUnits = sw.UnitLinks(platform::StartScope::User);
  if (userUnits) SystemdUser_Runs = EnabledUnitLines(*userUnits);
  sources_[&SystemdUser_Runs] = userUnits.source;

  auto cron = sw.CronTables();
  if (cron) Cron_Runs = CronRebootLines(*cron);
  sources_[&Cron_Runs] = cron.source;

  auto rc = sw.RcLocal();
  if (rc && RcLocalDoesSomething(rc->text)) RcLocal_Runs.push_back("rc.local=" + rc->path);
  sources_[&RcLocal_Runs] = rc.source;
}

int TVexa_Startup::RunsCount() const {
  int count = 0;
  for (const Location& l : Locations()) count += static_cast<int>(l.list->size());
  return count;
}

std::vector<TVexa_Startup::Location> TVexa_Startup::Locations() const {
  std::vector<Location> out;
  for (const auto& [name, list] : ListsOf(*this)) {
    auto it = sources_.find(list);
    out.push_back({name, list, it == sources_.end() ? platform::Provenance{} : it->second});
  }
  return out;
}

}  // namespace tavrin::collectors
