// The Linux source: the distribution from os-release, the kernel from procfs and the version
// record, the owner from the user database, the product identifier from the machine id, the
// folders from the XDG user directories, and the environment and locale of this process.
#include <algorithm>

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

constexpr std::size_t kSmallFile = 1 << 20;

std::string FirstLine(const Answer<std::string>& text) {
  if (!text) return {};
  std::string line = text->substr(0, text->find('\n'));
  while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ') line.pop_back();
  return line;
}

class LinuxOsSource : public OsSource {
 public:
  LinuxOsSource(std::shared_ptr<const platform::Services> services,
                std::shared_ptr<const platform::EnvironmentSource> environment,
                std::shared_ptr<const platform::LocaleDatabase> locales,
                std::shared_ptr<const platform::DesktopProxySource> desktopProxy)
      : services_(std::move(services)),
        env_(std::move(environment)),
        locales_(std::move(locales)),
        desktopProxy_(std::move(desktopProxy)) {}

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
    out.kernelRelease = FirstLine(files().ReadFile("/proc/sys/kernel/osrelease", 4096));
    if (out.kernelRelease.empty() && record)
      out.kernelRelease = std::to_string(r.major) + "." + std::to_string(r.minor) + "." +
                          std::to_string(r.build) + record->csd;
    out.machine = FirstLine(files().ReadFile("/proc/sys/kernel/arch", 4096));
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
      auto kernel = files().ReadFile("/proc/sys/kernel/version", 4096);
      if (kernel) out.BuildLab = {FirstLine(kernel), kernel.source};
    }
    const auto user = User();
    out.RegisteredUser.source = user.source;
    if (user.entry) out.RegisteredUser.value = user.entry->fullName;
    out.RegisteredOrg.source =
        Provenance::Failure(Status::NotSupported, "/etc/passwd", "Linux records no organization");
    auto id = files().ReadFile("/etc/machine-id", 4096);
    out.ProductID = {FirstLine(id), id.source};
    out.DVDRegion.source =
        Provenance::Failure(Status::NotSupported, "DVD region", "kept by each drive on Linux");
    out.InstallDate = InstallDate();
    out.folders = {"ProgramFiles=/usr", "CommonFiles=/usr/share", "Config=/etc",
                   "Temp=" + linuxparts::Env(env_.get(), "TMPDIR").value_or("/tmp")};
    return out;
  }

  std::vector<std::string> SpecialFolders(const OsIdentification&,
                                          const std::string&) const override {
    const std::string home = Home();
    std::vector<std::string> lines;
    if (home.empty()) return lines;
    const std::string config =
        linuxparts::Env(env_.get(), "XDG_CONFIG_HOME").value_or(home + "/.config");
    std::map<std::string, std::string> dirs;
    if (auto text = files().ReadFile(config + "/user-dirs.dirs", kSmallFile))
      dirs = ParseUserDirs(*text, home);
    auto dir = [&dirs](const char* name) {
      auto it = dirs.find(name);
      return it == dirs.end() ? std::string() : it->second;
    };
    lines.push_back("AppData=" + config);
    lines.push_back("Desktop=" + dir("XDG_DESKTOP_DIR"));
    lines.push_back("InternetCache=" +
                    linuxparts::Env(env_.get(), "XDG_CACHE_HOME").value_or(home + "/.cache"));
    lines.push_back("LocalAppData=" +
                    linuxparts::Env(env_.get(), "XDG_DATA_HOME").value_or(home + "/.local/share"));
    lines.push_back("Downloads=" + dir("XDG_DOWNLOAD_DIR"));
    lines.push_back("MyDocuments=" + dir("XDG_DOCUMENTS_DIR"));
    lines.push_back("MyMusic=" + dir("XDG_MUSIC_DIR"));
    lines.push_back("MyPictures=" + dir("XDG_PICTURES_DIR"));
    lines.push_back("MyVideo=" + dir("XDG_VIDEOS_DIR"));
    lines.push_back("Personal=" + dir("XDG_DOCUMENTS_DIR"));
    lines.push_back("Profile=" + home);
    lines.push_back("Public=" + dir("XDG_PUBLICSHARE_DIR"));
    lines.push_back("Templates=" + dir("XDG_TEMPLATES_DIR"));
    return lines;
  }

  TimeZoneReading TimeZone(const OsIdentification&, int year) const override {
    return linuxparts::ReadTimeZone(files(), year);
  }
  NtSpecificData NtSpecific(const OsIdentification&) const override { return {}; }
  VistaSpecificData VistaSpecific() const override { return {}; }
  InternetData Internet() const override {
    // The desktop's settings library answers about this machine only, never for replayed data.
    const bool live = platform::IsLiveMachine(*services_);
    return linuxparts::ReadInternet(files(), env_.get(), Home(),
                                    live ? desktopProxy_.get() : nullptr);
  }
  LocaleData Locale(uint32_t localeId) const override {
    LocaleData l = linuxparts::ReadLocale(locales_.get(), env_.get());
    l.LocaleID = localeId;
    return l;
  }

  Sourced<std::string> LanguageID() const override {
    if (env_ == nullptr)
      return {
          {},
          Provenance::Failure(Status::NotSupported, "environment LANG", "no environment to ask")};
    if (auto variables = env_->Variables(); !variables) return {{}, variables.source};
    return {linuxparts::LanguageLocaleName(env_.get()),
            Provenance::Answered("environment LC_ALL/LC_MESSAGES/LANG")};
  }

  Answer<std::string> EnvironmentBlock() const override {
    if (env_ == nullptr)
      return Answer<std::string>::Fail(Status::NotSupported, "process environment",
                                       "no environment to ask");
    auto variables = env_->Variables();
    if (!variables) return Answer<std::string>{std::nullopt, variables.source};
    return Answer<std::string>::Of(EnvironmentBlockOf(*variables), variables.source.source);
  }

 private:
  struct Release {
    std::map<std::string, std::string> values;
    Provenance source;
  };
  struct UserRecord {
    std::optional<PasswdEntry> entry;
    Provenance source;
  };

  const platform::FileReader& files() const { return *services_->files; }

  static std::string Value(const std::map<std::string, std::string>& values, std::string_view key) {
    auto it = values.find(std::string(key));
    return it == values.end() ? std::string() : it->second;
  }

  Release OsRelease() const {
    // /etc/os-release is the system's; /usr/lib/os-release the vendor's copy it may link to.
    auto text = files().ReadFile("/etc/os-release", kSmallFile);
    if (!text) text = files().ReadFile("/usr/lib/os-release", kSmallFile);
    if (!text) return {{}, text.source};
    return {ParseOsRelease(*text), text.source};
  }

  UserRecord User() const {
    auto name = services_->system->UserName();
    if (!name) return {std::nullopt, name.source};
    auto passwd = files().ReadFile("/etc/passwd", 16u << 20);
    if (!passwd) return {std::nullopt, passwd.source};
    auto entry = FindPasswdEntry(*passwd, *name);
    if (!entry)
      return {std::nullopt,
              Provenance::Failure(Status::Missing, "/etc/passwd", "no entry for " + *name)};
    return {entry, passwd.source};
  }

  std::string Home() const {
    if (auto user = User(); user.entry && !user.entry->home.empty()) return user.entry->home;
    return linuxparts::Env(env_.get(), "HOME").value_or("");
  }

  // The oldest entry of the package manager's log: when the system got its first packages.
  Sourced<TDateTime> InstallDate() const {
    std::optional<int64_t> earliest;
    Provenance source = Provenance::Failure(Status::Missing, "/var/log/dpkg.log");
    for (const char* log : {"/var/log/dpkg.log", "/var/log/dpkg.log.1"}) {
      auto text = files().ReadFile(log, 64u << 20);
      if (!text) continue;
      auto stamp = EarliestLogStamp(*text);
      if (stamp && (!earliest || *stamp < *earliest)) {
        earliest = stamp;
        source = text.source;
      }
    }
    if (!earliest) return {0, source};
    return {DateTimeFromUnix(*earliest), source};
  }

  std::shared_ptr<const platform::Services> services_;
  std::shared_ptr<const platform::EnvironmentSource> env_;
  std::shared_ptr<const platform::LocaleDatabase> locales_;
  std::shared_ptr<const platform::DesktopProxySource> desktopProxy_;
};

}  // namespace

std::shared_ptr<const OsSource> MakeLinuxOsSource(
    std::shared_ptr<const platform::Services> services,
    std::shared_ptr<const platform::EnvironmentSource> environment,
    std::shared_ptr<const platform::LocaleDatabase> locales,
    std::shared_ptr<const platform::DesktopProxySource> desktopProxy) {
  return std::make_shared<LinuxOsSource>(std::move(services), std::move(environment),
                                         std::move(locales), std::move(desktopProxy));
}

}  // namespace tavrin::collectors
