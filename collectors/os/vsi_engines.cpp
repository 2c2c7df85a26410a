#include "collectors/os/vsi_engines.h"

#include <algorithm>

#include "collectors/os/runtime_tables.h"
#include "collectors/os/runtime_versions.h"
#include "collectors/os/software_sources.h"
#include "collectors/os/windows_registry_reads.h"
#include "platform/software.h"

namespace tavrin::collectors {
namespace {

using platform::RegRoot;

const TSoftwareRecord* FindPackage(const std::vector<TSoftwareRecord>& packages,
                                   const std::vector<std::string_view>& patterns) {
  for (std::string_view pattern : patterns)
    for (const TSoftwareRecord& r : packages)
      if (!r.ConfigOnly && (r.Origin == "dpkg" || r.Origin == "rpm") &&
          PackageNameMatches(pattern, r.Id))
        return &r;
  return nullptr;
}

const TSoftwareRecord* FindBundle(const std::vector<TSoftwareRecord>& packages,
                                  const std::vector<std::string_view>& ids) {
  for (std::string_view id : ids)
    for (const TSoftwareRecord& r : packages)
      if ((r.Origin == "flatpak" || r.Origin == "snap") && r.Id == id) return &r;
  return nullptr;
}

}  // namespace

void TVexa_Engines::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  BDE = ODBC = DAO = ADO = NET = OpenGL = IE = MSI = QT = {};
  Runtimes.clear();
  Browsers.clear();
  Office = TOfficeHelper();
  Source = {};
  FromRegistry = SoftwareFromRegistry(Platform());
  if (FromRegistry)
    ReadRegistry();
  else
    ReadLinux();
}

void TVexa_Engines::ReadRegistry() {
  const platform::Services& services = Platform();
  if (!services.registry) return;
  const platform::Registry& reg = *services.registry;
  Source = platform::Provenance::Answered("registry");

  // Internet Explorer: "Version", with the minor version list in parentheses when there is one.
  IE = winreg::String(reg, RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer",
                      "Version")
           .value_or("");
  std::string minor =
      winreg::String(reg, RegRoot::LocalMachine,
                     std::string(winreg::kCurrentVersion) + "\\Internet Settings", "MinorVersion")
          .value_or("");
  std::replace(minor.begin(), minor.end(), ';', ',');
  if (!IE.empty() && !minor.empty()) IE = IE + " (" + minor + ")";
  if (IE.empty())
    if (auto v = reg.ReadValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer",
                               "Version"))
      IE = platform::RegistryText(*v, {});
  // BDE, ODBC, .NET, DAO, ADO, MSI, QuickTime and OpenGL are the versions of program files,
  // which a registry snapshot does not hold: they stay empty.
  Office.DetectRegistry(reg);
}

void TVexa_Engines::ReadLinux() {
  const platform::Services& services = Platform();
  if (!services.software) {
    Source = platform::Provenance::Failure(platform::Status::NotSupported, "software service",
                                           "this source has no package data");
    return;
  }
  const platform::SoftwareService& sw = *services.software;
  std::vector<platform::Provenance> databases;
  const std::vector<TSoftwareRecord> packages = LinuxPackages(sw, databases);
  auto programs = sw.RuntimePrograms();
  Source = programs.source;
  for (const platform::Provenance& p : databases)
    if (p.ok()) Source = p;

  for (const RuntimeRow& row : RuntimeRows()) {
    TRuntimeRecord r{std::string(row.id), {}, {}, {}, {}, {}};
    const platform::RuntimeProgram* program = nullptr;
    if (programs)
      for (const auto& p : *programs)
        if (p.id == row.id) program = &p;
    if (program) r.Path = program->resolvedPath.empty() ? program->path : program->resolvedPath;

    // A version file first: it names the runtime the program runs, where a package may be one
    // of several installed side by side.
    if (program && !program->versionFile.empty())
      r.Version = JavaReleaseVersion(program->versionFile);
    if (!r.Version.empty()) r.Source = platform::Provenance::Answered(program->resolvedPath);

    if (const TSoftwareRecord* pkg = FindPackage(packages, row.packages)) {
      r.Origin = pkg->Origin;
      if (r.Version.empty()) {
        r.Version = UpstreamVersion(pkg->Version);
        r.Source = platform::Provenance::Answered(pkg->Origin + " package " + pkg->Id);
      }
    }
    if (r.Version.empty() && program) {
      auto output = sw.RuntimeVersionOutput(std::string(row.id));
      r.Source = output.source;
      if (output) r.Version = VersionInOutput(*output);
    }
    if (!program && r.Origin.empty()) continue;  // not installed
    Runtimes.push_back(std::move(r));
  }

  for (const ProductRow& row : BrowserRows()) {
    const TSoftwareRecord* found = FindPackage(packages, row.packages);
    if (!found) found = FindBundle(packages, row.bundles);
    if (!found) continue;
    Browsers.push_back({std::string(row.id),
                        std::string(row.name),
                        UpstreamVersion(found->Version),
                        {},
                        found->Origin,
                        platform::Provenance::Answered(found->Origin + " package " + found->Id)});
  }
  Office.DetectPackages(packages);
}

}  // namespace tavrin::collectors
