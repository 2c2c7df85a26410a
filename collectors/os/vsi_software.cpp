#include "collectors/os/vsi_software.h"

#include "collectors/os/software_sources.h"
#include "platform/software.h"

namespace tavrin::collectors {

void TVexa_Software::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  records_.clear();
  applications_.clear();
  sources_ = {};
  const platform::Services& services = Platform();

  if (SoftwareFromRegistry(services)) {
    if (!services.registry) {
      sources_.records = platform::Provenance::Failure(platform::Status::Missing, "registry");
      sources_.applications = sources_.records;
      return;
    }
    records_ = RegistrySoftware(*services.registry);
    applications_ = RegistryAppPaths(*services.registry);
    sources_.records = platform::Provenance::Answered("uninstall registrations");
    sources_.applications = platform::Provenance::Answered("App Paths registrations");
    return;
  }

  if (!services.software) {
    sources_.records = platform::Provenance::Failure(
        platform::Status::NotSupported, "software service", "this source has no package data");
    sources_.applications = sources_.records;
    return;
  }
  records_ = LinuxPackages(*services.software, sources_.databases);
  // The records are answered when any database answered; else the first database's reason.
  sources_.records = sources_.databases.empty() ? platform::Provenance{} : sources_.databases[0];
  for (const platform::Provenance& p : sources_.databases)
    if (p.ok()) {
      sources_.records = p;
      break;
    }
  auto entries = services.software->ApplicationEntries();
  sources_.applications = entries.source;
  if (entries) applications_ = DesktopApplications(*entries, MessagesLocale(services));
}

std::vector<std::string> TVexa_Software::AppPaths() const {
  std::vector<std::string> lines;
  lines.reserve(applications_.size());
  for (const TApplicationPath& app : applications_) lines.push_back(app.Name + "=" + app.Path);
  return lines;
}

}  // namespace tavrin::collectors
