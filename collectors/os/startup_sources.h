// Where the start-up lists come from: a replayed Windows registry, or the Linux software
// service's autostart, unit and cron answers. Decoding only; the collector asks the services.
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/software.h"

namespace tavrin::collectors {

class TVexa_Startup;

/// Fills the registry lists of `startup`. `userRoot`/`userPrefix` address the user's hive
/// (HKEY_CURRENT_USER, or HKEY_USERS with the user's SID and a backslash).
void ReadRegistryStartup(const platform::Registry& reg, platform::RegRoot userRoot,
                         const std::string& userPrefix, TVexa_Startup& startup);

/// Autostart lines "Name=command" of the system folder's entries that no user entry of the
/// same file name overrides, and of the user's entries; only entries that start with the
/// session on `desktops`.
struct AutostartLines {
  std::vector<std::string> system, user;
};
AutostartLines AutostartEntries(const std::vector<platform::SoftwareFile>& system,
                                const std::vector<platform::SoftwareFile>& user,
                                const std::vector<std::string>& desktops,
                                const std::string& locale);

/// "unit=command" lines of the units `links` enable (the command, else the unit's
/// description, else the file it points at).
std::vector<std::string> EnabledUnitLines(const std::vector<platform::UnitLink>& links);

/// "crontab=command" lines of the "@reboot" entries.
std::vector<std::string> CronRebootLines(const std::vector<platform::CronTable>& tables);

}  // namespace tavrin::collectors
