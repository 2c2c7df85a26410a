// Where the software collectors' records come from: a replayed Windows registry, or the
// Linux software service. Both answer the same records.
#pragma once

#include <string>
#include <vector>

#include "collectors/os/vsi_software.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/software.h"

namespace tavrin::collectors {

/// Whether the services describe a Windows machine (its version record says so).
bool SoftwareFromRegistry(const platform::Services& services);

/// Installed programs of a Windows registry: the uninstall registrations, then the installer's
/// product data of every user (a name listed already is skipped).
std::vector<TSoftwareRecord> RegistrySoftware(const platform::Registry& reg);
/// The "App Paths" registrations, as "name" and its "Path" value.
std::vector<TApplicationPath> RegistryAppPaths(const platform::Registry& reg);

/// The packages a Linux system's databases know, dpkg first, then RPM, Flatpak and Snap.
/// `sources` receives one provenance per database asked.
std::vector<TSoftwareRecord> LinuxPackages(const platform::SoftwareService& software,
                                           std::vector<platform::Provenance>& sources);

/// Records of a dpkg database (status file, journal and file-list times).
std::vector<TSoftwareRecord> DpkgRecords(const platform::DpkgDatabase& db);
std::vector<TSoftwareRecord> RpmRecords(const std::vector<platform::RpmPackage>& packages);
std::vector<TSoftwareRecord> BundleRecords(const std::vector<platform::BundledApp>& apps);

/// The applications of desktop entries, each file name once (the first file wins), without
/// hidden or non-application entries. `locale` picks the names' language.
std::vector<TApplicationPath> DesktopApplications(const std::vector<platform::SoftwareFile>& files,
                                                  const std::string& locale);

/// "Debian Python Team <team@example.org>" -> "Debian Python Team".
std::string WithoutMailAddress(std::string_view person);

/// The text of environment variable `name` in "NAME=value" lines; empty when not set.
std::string EnvironmentValue(const std::vector<std::string>& variables, std::string_view name);
/// The language the user reads: LC_ALL, LC_MESSAGES or LANG, the first one set.
std::string MessagesLocale(const platform::Services& services);

}  // namespace tavrin::collectors
