#include "collectors/os/office_helper.h"

#include "base/strings.h"
#include "collectors/os/runtime_tables.h"
#include "collectors/os/runtime_versions.h"
#include "collectors/os/windows_registry_reads.h"

namespace tavrin::collectors {
namespace {

using platform::RegRoot;

constexpr std::string_view kApplications[] = {
    "Word",    "Excel",     "PowerPoint", "Outlook",   "Access",        "Visio",   "MSProject",
    "OneNote", "FrontPage", "InfoPath",   "Publisher", "MSClipGallery", "MSGraph", "SchedulePlus"};

std::string Default(const platform::Registry& reg, RegRoot root, const std::string& key) {
  return winreg::String(reg, root, key, "").value_or("");
}

// The installed record of one of `ids`: a package name pattern or a bundle id.
const TSoftwareRecord* Installed(const std::vector<TSoftwareRecord>& packages,
                                 const std::vector<std::string_view>& ids, bool bundles) {
  for (std::string_view id : ids)
    for (const TSoftwareRecord& r : packages) {
      if (r.ConfigOnly) continue;
      const bool bundle = r.Origin == "flatpak" || r.Origin == "snap";
      if (bundle != bundles) continue;
      if (bundles ? r.Id == id : PackageNameMatches(id, r.Id)) return &r;
    }
  return nullptr;
}

}  // namespace

std::string OfficeVersionNumber(std::string_view curVer, std::string_view name) {
  const std::string prefix = base::Lower(std::string(name) + ".Application.");
  std::string out(curVer);
  for (;;) {
    const auto at = base::Lower(out).find(prefix);
    if (at == std::string::npos) break;
    out.erase(at, prefix.size());
  }
  return out;
}

std::string OfficeProgramPath(std::string_view localServer) {
  const auto at = base::Lower(localServer).find(".exe");
  return std::string(at == std::string::npos ? localServer : localServer.substr(0, at + 4));
}

TOfficeHelper::TOfficeHelper() {
  for (std::string_view name : kApplications) {
    TOfficeApplication app;
    app.Name = std::string(name);
    apps_.push_back(std::move(app));
  }
}

void TOfficeHelper::DetectRegistry(const platform::Registry& reg) {
  for (TOfficeApplication& app : apps_) {
    const std::string key = app.Name + ".Application";
    app.Description = Default(reg, RegRoot::ClassesRoot, key);
    app.VersionNumber =
        OfficeVersionNumber(Default(reg, RegRoot::ClassesRoot, key + "\\CurVer"), app.Name);
    app.Installed = !app.VersionNumber.empty();
    if (!app.Installed) continue;
    const std::string clsid = Default(reg, RegRoot::ClassesRoot, key + "\\CLSID");
    if (!clsid.empty())
      app.ProgramPath = OfficeProgramPath(
          Default(reg, RegRoot::ClassesRoot, "CLSID\\" + clsid + "\\LocalServer32"));
    // The product version is in the program file's version resource, which a registry does
    // not hold; it stays empty.
  }
  const TOfficeApplication& word = apps_.front();
  if (!word.VersionNumber.empty()) {
    const std::string common = "SOFTWARE\\Microsoft\\Office\\" + word.VersionNumber + ".0\\Common";
    LastProduct =
        winreg::String(reg, RegRoot::LocalMachine, common + "\\ProductVersion", "LastProduct")
            .value_or("");
    InstallRoot =
        winreg::String(reg, RegRoot::LocalMachine, common + "\\InstallRoot", "Path").value_or("");
  }
}

void TOfficeHelper::DetectPackages(const std::vector<TSoftwareRecord>& packages) {
  for (const OfficeSuiteRow& row : OfficeSuiteRows()) {
    const TSoftwareRecord* core = Installed(packages, row.product.packages, false);
    const TSoftwareRecord* bundle = core ? nullptr : Installed(packages, row.product.bundles, true);
    const TSoftwareRecord* found = core ? core : bundle;
    if (!found) continue;
    TOfficeSuite suite{std::string(row.product.id),
                       std::string(row.product.name),
                       UpstreamVersion(found->Version),
                       found->Origin,
                       {}};
    for (const auto& component : row.components)
      if (bundle || component.packages.empty() || Installed(packages, component.packages, false))
        suite.Components.emplace_back(component.name);
    Suites.push_back(std::move(suite));
  }
}

const TOfficeApplication* TOfficeHelper::Application(int index) const {
  if (index < 0 || index >= ApplicationCount()) return nullptr;
  return &apps_[index];
}

bool TOfficeHelper::AnyInstalled() const {
  for (const TOfficeApplication& app : apps_)
    if (app.Installed) return true;
  return !Suites.empty();
}

std::string TOfficeHelper::InstalledDescription() const {
  for (const TOfficeApplication& app : apps_)
    if (app.Installed) return app.Description;
  if (Suites.empty()) return {};
  const TOfficeSuite& s = Suites.front();
  return s.Version.empty() ? s.Name : s.Name + " " + s.Version;
}

}  // namespace tavrin::collectors
