// The Linux source: the distribution from os-release, the kernel from its own names, the owner
// from the user database, the product identifier from the machine id, the folders, time zone,
// environment and locale from the operating-system services.
#include "base/strings.h"
#include "collectors/os/linux_config_text.h"
#include "collectors/os/linux_os_parts.h"
#include "collectors/os/os_dates.h"
#include "collectors/os/os_source.h"
#include "collectors/os/os_text_rules.h"

namespace tavrin::collectors {
namespace {

using platform::Answer;
using platform::Provenance;
using platform::Sourced;
using platform::Status;

using base::FirstLine;

std::vector<std::string> FolderLines(const platform::FolderList& folders) {
  std::vector<std::string> lines;
  for (const auto& [name, path] : folders) lines.push_back(name + "=" + path);
  return lines;
}

class LinuxOsSource : public OsSource {
 public:
  explicit LinuxOsSource(std::shared_ptr<const platform::Services> services)
      : services_(std::move(services)), os_(platform::OsServicesOf(*services_)) {}

  OsIdentity Identity() const override {
    OsIdentity out;
    out.isLinux = true;
    OsVersionInfo r;
    r.platformId = static_cast<uint32_t>(platform::OsPlatform::Linux);
    auto record = services_->system->OsVersionRecord();
    if (record) {
      r.major = record->major;
      r.minor = record->minor;
      r.build = record->build;
    }
    const auto kernel = os_.facts->Kernel();
    out.releaseSource = kernel.source;
    if (kernel) {
      out.kernelRelease = kernel->release;
      out.machine = kernel->machine;
    } else if (record) {
      out.kernelRelease = std::to_string(r.major) + "." + std::to_string(r.minor) + "." +
                          std::to_string(r.build) + record->csd;
      out.releaseSource = record.source;
    }
    // The service-pack text stands for the kernel release: what changes between updates.
    r.csd = out.kernelRelease;

    const auto release = OsRelease();
    OsIdentification& id = out.id;
    id.record = r;
    if (auto pretty = Value(release.values, "PRETTY_NAME"); !pretty.empty()) {
      id.name = pretty;
    } else if (auto name = Value(release.values, "NAME"); !name.empty()) {
      const std::string version = Value(release.values, "VERSION");
      id.name = version.empty() ? name : name + " " + version;
    } else {
      id.name = "Linux";  // the name os-release tells readers to assume
    }
    id.edition = Value(release.values, "VARIANT");
    id.fullName = id.edition.empty() ? id.name : id.name + " " + id.edition;
    out.source = release.source.ok() ? release.source : record.source;
    return out;
  }

  OsRegistration Registration(const OsIdentification&) const override {
    OsRegistration out;
    const auto release = OsRelease();
    auto fromRelease = [&](std::string_view key) -> Sourced<std::string> {
      const std::string v = Value(release.values, key);
      if (v.empty())
        return {{},
                release.source.ok() ? Provenance::Failure(Status::Missing, release.source.source,
                                                          "no " + std::string(key))
                                    : release.source};
      return {v, release.source};
    };
    out.Version = fromRelease("VERSION");
    out.BuildLab = fromRelease("BUILD_ID");
    if (out.BuildLab.value.empty()) {
      // Without a build of the distribution, the kernel's build stands for it.
      if (auto kernel = os_.facts->Kernel(); kernel && !kernel->version.empty())
        out.BuildLab = {kernel->version, kernel.source};
    }
    const auto user = os_.facts->CurrentUser();
    out.RegisteredUser.source = user.source;
    if (user) out.RegisteredUser.value = user->fullName;
    out.RegisteredOrg.source =
        Provenance::Failure(Status::NotSupported, "user database", "Linux records no organization");
    auto id = os_.facts->MachineId();
    out.ProductID = {id ? FirstLine(*id) : std::string(), id.source};
    out.DVDRegion.source =
        Provenance::Failure(Status::NotSupported, "DVD region", "kept by each drive on Linux");
    out.InstallDate = InstallDate();
    if (auto folders = os_.facts->SystemFolders()) out.folders = FolderLines(*folders);
    out.foldersSource = os_.facts->SystemFolders().source;
    return out;
  }

  SpecialFolderLines SpecialFolders(const OsIdentification&, const std::string&) const override {
    auto folders = os_.facts->UserFolders();
    return {folders ? FolderLines(*folders) : std::vector<std::string>{}, folders.source};
  }

  TimeZoneReading TimeZone(const OsIdentification&, int year) const override {
    return linuxparts::ReadTimeZone(*os_.facts, year);
  }
  NtSpecificData NtSpecific(const OsIdentification&) const override { return {}; }
  VistaSpecificData VistaSpecific() const override { return {}; }
  InternetData Internet() const override { return linuxparts::ReadInternet(os_); }
  LocaleData Locale(uint32_t localeId) const override {
    LocaleData l = linuxparts::ReadLocale(os_.locales.get(), os_.environment.get());
    l.LocaleID = localeId;
    return l;
  }

  Sourced<std::string> LanguageID() const override {
    if (auto variables = os_.environment->Variables(); !variables) return {{}, variables.source};
    return {linuxparts::LanguageLocaleName(os_.environment.get()),
            Provenance::Answered("environment LC_ALL/LC_MESSAGES/LANG")};
  }

  Answer<std::string> EnvironmentBlock() const override {
    auto variables = os_.environment->Variables();
    if (!variables) return Answer<std::string>{std::nullopt, variables.source};
    return Answer<std::string>::Of(EnvironmentBlockOf(*variables), variables.source.source);
  }

 private:
  struct Release {
    std::map<std::string, std::string> values;
    Provenance source;
  };

  static std::string Value(const std::map<std::string, std::string>& values, std::string_view key) {
    auto it = values.find(std::string(key));
    return it == values.end() ? std::string() : it->second;
  }

  Release OsRelease() const {
    auto text = os_.facts->OsRelease();
    if (!text) return {{}, text.source};
    return {ParseOsRelease(*text), text.source};
  }

  // The root file system's creation is when the system was installed; where the file system
  // keeps no such time, the package database's oldest entry comes closest.
  Sourced<TDateTime> InstallDate() const {
    auto birth = os_.facts->RootBirthTime();
    if (birth) return {DateTimeFromUnix(*birth), birth.source};
    auto packages = os_.facts->OldestPackageRecord();
    if (packages) return {DateTimeFromUnix(*packages), packages.source};
    return {0, packages.source};
  }

  std::shared_ptr<const platform::Services> services_;
  platform::OsServices os_;
};

}  // namespace

std::shared_ptr<const OsSource> MakeLinuxOsSource(
    std::shared_ptr<const platform::Services> services) {
  return std::make_shared<LinuxOsSource>(std::move(services));
}

}  // namespace tavrin::collectors
