#include "platform/linux/linux_os_facts.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/strings.h"
#include "platform/linux/linux_desktop_proxy.h"
#include "platform/linux/linux_os_environment.h"
#include "platform/linux/linux_os_text.h"
#include "platform/service_hooks.h"

namespace tavrin::platform {
namespace {

constexpr std::size_t kSmallFile = 1 << 20;
constexpr std::string_view kZoneInfo = "/usr/share/zoneinfo";

using base::FirstLine;
using base::Lower;

// A colon-separated search path; empty entries name nothing.
std::vector<std::string> SplitPath(std::string_view list) {
  return base::SplitNonEmpty(list, ':');
}

class LinuxOsFacts : public OsFacts {
 public:
  LinuxOsFacts(std::shared_ptr<const FileReader> files,
               std::shared_ptr<const EnvironmentSource> environment,
               std::shared_ptr<const SystemFacts> system, LinuxCalls calls)
      : files_(std::move(files)),
        env_(std::move(environment)),
        system_(std::move(system)),
        calls_(calls) {}

  Answer<std::string> OsRelease() const override {
    // /etc/os-release is the system's; /usr/lib/os-release the vendor's copy it may link to.
    auto text = files_->ReadFile("/etc/os-release", kSmallFile);
    if (!text) text = files_->ReadFile("/usr/lib/os-release", kSmallFile);
    return text;
  }

  Answer<KernelNames> Kernel() const override {
    if (calls_ == LinuxCalls::Live) {
      utsname names{};
      if (::uname(&names) != 0) {
        const int err = errno;
        return Answer<KernelNames>::Fail(StatusFromErrno(err), "uname", std::strerror(err));
      }
      return Answer<KernelNames>::Of({names.release, names.version, names.machine}, "uname");
    }
    // The kernel publishes the same names under /proc/sys/kernel.
    auto release = files_->ReadFile("/proc/sys/kernel/osrelease", 4096);
    if (!release) return {std::nullopt, release.source};
    KernelNames k;
    k.release = FirstLine(*release);
    if (auto v = files_->ReadFile("/proc/sys/kernel/version", 4096)) k.version = FirstLine(*v);
    if (auto m = files_->ReadFile("/proc/sys/kernel/arch", 4096)) k.machine = FirstLine(*m);
    return {std::move(k), release.source};
  }

  Answer<std::string> MachineId() const override {
    return files_->ReadFile("/etc/machine-id", 4096);
  }

  Answer<UserAccount> CurrentUser() const override {
    if (calls_ == LinuxCalls::Live) {
      std::vector<char> buffer(16384);
      passwd entry{};
      passwd* found = nullptr;
      const int err = ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found);
      if (err != 0 || found == nullptr)
        return Answer<UserAccount>::Fail(err != 0 ? StatusFromErrno(err) : Status::Missing,
                                         "user database",
                                         err != 0 ? std::strerror(err) : "no entry for this user");
      UserAccount a;
      a.name = found->pw_name != nullptr ? found->pw_name : "";
      const std::string gecos = found->pw_gecos != nullptr ? found->pw_gecos : "";
      a.fullName = gecos.substr(0, gecos.find(','));
      a.home = found->pw_dir != nullptr ? found->pw_dir : "";
      return Answer<UserAccount>::Of(std::move(a), "user database");
    }
    auto name = system_ ? system_->UserName()
                        : Answer<std::string>::Fail(Status::NotSupported, "user name");
    if (!name) return {std::nullopt, name.source};
    auto passwd = files_->ReadFile("/etc/passwd", 16u << 20);
    if (!passwd) return {std::nullopt, passwd.source};
    auto entry = FindPasswdEntry(*passwd, *name);
    if (!entry)
      return Answer<UserAccount>::Fail(Status::Missing, "/etc/passwd", "no entry for " + *name);
    return {std::move(entry), passwd.source};
  }

  Answer<int64_t> RootBirthTime() const override {
    auto birth = files_->BirthTime("/");
    if (birth) birth.source.source = "creation time of the root file system";
    return birth;
  }

  Answer<int64_t> OldestPackageRecord() const override {
    std::optional<int64_t> earliest;
    Provenance source = Provenance::Failure(Status::Missing, "/var/log/dpkg.log", "no package log");
    for (const char* log : {"/var/log/dpkg.log", "/var/log/dpkg.log.1"}) {
      auto text = files_->ReadFile(log, 64u << 20);
      if (!text) continue;
      auto stamp = EarliestLogStamp(*text);
      if (stamp && (!earliest || *stamp < *earliest)) {
        earliest = stamp;
        source = Provenance::Answered("oldest entry of " + text.source.source);
      }
    }
    return {earliest, source};
  }

  Answer<ZoneFacts> TimeZone() const override {
    const auto tz = Env("TZ");
    if (!tz) return SystemZone();
    const TzRequest request = ParseTzVariable(*tz);
    const std::string from = "TZ=" + *tz;
    if (request.kind == TzRequest::Kind::Utc)
      return Answer<ZoneFacts>::Of({"UTC", "", "UTC0"}, from);
    if (request.kind == TzRequest::Kind::File) {
      auto bytes = files_->ReadFile(request.text, kSmallFile);
      if (!bytes)
        return Answer<ZoneFacts>::Fail(bytes.source.status, from,
                                       request.text + ": " + bytes.source.detail);
      std::string name = ZoneOfLinkTarget(request.text);
      return Answer<ZoneFacts>::Of({name.empty() ? request.text : name, *bytes, ""}, from);
    }
    // A zone name is looked up in the zone tree; a name that climbs out of it is not one.
    if (request.text.find("..") == std::string::npos) {
      const std::string dir = Env("TZDIR").value_or(std::string(kZoneInfo));
      auto bytes = files_->ReadFile(dir + "/" + request.text, kSmallFile);
      if (bytes) return Answer<ZoneFacts>::Of({request.text, *bytes, ""}, from);
      if (request.colon)
        return Answer<ZoneFacts>::Fail(bytes.source.status, from, "no zone " + request.text);
    }
    // What is not a zone is a rule ("EST5EDT,M3.2.0,M11.1.0"); the collector judges it.
    return Answer<ZoneFacts>::Of({"", "", request.text}, from);
  }

  Answer<FolderList> SystemFolders() const override {
    return Answer<FolderList>::Of({{"ProgramFiles", "/usr"},
                                   {"CommonFiles", "/usr/share"},
                                   {"Config", "/etc"},
                                   {"Temp", Env("TMPDIR").value_or("/tmp")}},
                                  "file system hierarchy, TMPDIR");
  }

  Answer<FolderList> UserFolders() const override {
    const std::string home = Home();
    if (home.empty())
      return Answer<FolderList>::Fail(Status::Missing, "home folder", "the user has none");
    const std::string config = ConfigHome(home);
    auto text = files_->ReadFile(config + "/user-dirs.dirs", kSmallFile);
    const auto dirs = text ? ParseUserDirs(*text, home) : std::map<std::string, std::string>{};
    auto dir = [&dirs](const char* name) {
      auto it = dirs.find(name);
      return it == dirs.end() ? std::string() : it->second;
    };
    FolderList folders = {
        {"AppData", config},
        {"Desktop", dir("XDG_DESKTOP_DIR")},
        {"InternetCache", Env("XDG_CACHE_HOME").value_or(home + "/.cache")},
        {"LocalAppData", Env("XDG_DATA_HOME").value_or(home + "/.local/share")},
        {"Downloads", dir("XDG_DOWNLOAD_DIR")},
        {"MyDocuments", dir("XDG_DOCUMENTS_DIR")},
        {"MyMusic", dir("XDG_MUSIC_DIR")},
        {"MyPictures", dir("XDG_PICTURES_DIR")},
        {"MyVideo", dir("XDG_VIDEOS_DIR")},
        {"Personal", dir("XDG_DOCUMENTS_DIR")},
        {"Profile", home},
        {"Public", dir("XDG_PUBLICSHARE_DIR")},
        {"Templates", dir("XDG_TEMPLATES_DIR")},
    };
    return Answer<FolderList>::Of(std::move(folders),
                                  text ? "XDG user directories (" + text.source.source + ")"
                                       : std::string("XDG base directories"));
  }

  Answer<std::vector<NamedText>> DefaultApplicationLists() const override {
    const std::string home = Home();
    std::vector<std::string> configDirs = SplitPath(Env("XDG_CONFIG_DIRS").value_or("/etc/xdg"));
    if (!home.empty()) configDirs.insert(configDirs.begin(), ConfigHome(home));
    const std::vector<std::string> desktops = SplitPath(Env("XDG_CURRENT_DESKTOP").value_or(""));
    // Per directory, the desktop's own list before the common one; configuration before data
    // directories.
    std::vector<std::string> paths;
    auto add = [&](const std::string& dir) {
      for (const std::string& d : desktops)
        paths.push_back(dir + "/" + Lower(d) + "-mimeapps.list");
      paths.push_back(dir + "/mimeapps.list");
    };
    for (const std::string& dir : configDirs) add(dir);
    for (const std::string& dir : DataDirs(home)) add(dir + "/applications");
    std::vector<NamedText> lists;
    for (const std::string& path : paths)
      if (auto text = files_->ReadFile(path, kSmallFile)) lists.push_back({path, *text});
    if (lists.empty())
      return Answer<std::vector<NamedText>>::Fail(Status::Missing, "mimeapps.list",
                                                  "no default applications set");
    return Answer<std::vector<NamedText>>::Of(std::move(lists), "mimeapps.list");
  }

  Answer<NamedText> DesktopEntry(const std::string& id) const override {
    if (id.empty() || id.find("..") != std::string::npos || id.front() == '/')
      return Answer<NamedText>::Fail(Status::Malformed, id, "not a desktop entry name");
    for (const std::string& dir : DataDirs(Home())) {
      const std::string path = dir + "/applications/" + id;
      if (auto text = files_->ReadFile(path, kSmallFile))
        return Answer<NamedText>::Of({path, *text}, text.source.source);
    }
    return Answer<NamedText>::Fail(Status::Missing, id, "not installed");
  }

  Answer<NamedText> KdeProxyConfig() const override {
    const std::string home = Home();
    if (home.empty())
      return Answer<NamedText>::Fail(Status::Missing, "kioslaverc", "no home folder");
    const std::string path = ConfigHome(home) + "/kioslaverc";
    auto text = files_->ReadFile(path, kSmallFile);
    if (!text) return {std::nullopt, text.source};
    return Answer<NamedText>::Of({path, *text}, path);
  }

 private:
  std::optional<std::string> Env(std::string_view name) const {
    if (!env_) return std::nullopt;
    return env_->Get(name);
  }

  std::string Home() const {
    if (auto user = CurrentUser(); user && !user->home.empty()) return user->home;
    return Env("HOME").value_or("");
  }

  // The XDG base directories, with their documented defaults.
  std::string ConfigHome(const std::string& home) const {
    return Env("XDG_CONFIG_HOME").value_or(home + "/.config");
  }
  std::vector<std::string> DataDirs(const std::string& home) const {
    std::vector<std::string> dirs =
        SplitPath(Env("XDG_DATA_DIRS").value_or("/usr/local/share:/usr/share"));
    const std::string dataHome =
        Env("XDG_DATA_HOME").value_or(home.empty() ? "" : home + "/.local/share");
    if (!dataHome.empty()) dirs.insert(dirs.begin(), dataHome);
    return dirs;
  }

  // The system's zone: named by /etc/timezone or the target of the /etc/localtime link.
  Answer<ZoneFacts> SystemZone() const {
    ZoneFacts zone;
    if (auto text = files_->ReadFile("/etc/timezone", 4096)) zone.name = FirstLine(*text);
    if (zone.name.empty())
      if (auto target = files_->ReadLink("/etc/localtime")) zone.name = ZoneOfLinkTarget(*target);
    auto bytes = files_->ReadFile("/etc/localtime", kSmallFile);
    if (!bytes && !zone.name.empty() && zone.name.find("..") == std::string::npos)
      bytes = files_->ReadFile(std::string(kZoneInfo) + "/" + zone.name, kSmallFile);
    if (!bytes) return {std::nullopt, bytes.source};
    zone.tzif = std::move(*bytes);
    return {std::move(zone), bytes.source};
  }

  std::shared_ptr<const FileReader> files_;
  std::shared_ptr<const EnvironmentSource> env_;
  std::shared_ptr<const SystemFacts> system_;
  LinuxCalls calls_;
};

}  // namespace

std::shared_ptr<const OsFacts> MakeLinuxOsFacts(
    std::shared_ptr<const FileReader> files, std::shared_ptr<const EnvironmentSource> environment,
    std::shared_ptr<const SystemFacts> system, LinuxCalls calls) {
  return std::make_shared<LinuxOsFacts>(std::move(files), std::move(environment), std::move(system),
                                        calls);
}

void AddLinuxOsServices(Services& services) {
  services.environment = ProcessEnvironment();
  services.os =
      MakeLinuxOsFacts(services.files, services.environment, services.system, LinuxCalls::Live);
  services.locales = SystemLocaleDatabase();
  services.desktopProxy = LinuxDesktopProxy(services.environment);
}

}  // namespace tavrin::platform
