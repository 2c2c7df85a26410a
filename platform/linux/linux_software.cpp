// The software service of a Linux system: package databases, desktop folders, unit folders,
// crontabs, and the runtimes' programs. Files are read through the file reader (so a captured
// tree replays); times, librpm and program runs go through the probes.
#include <algorithm>
#include <filesystem>
#include <mutex>

#include "base/strings.h"
#include "platform/linux/linux_runtime_table.h"
#include "platform/software_probes.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kDpkgDir = "/var/lib/dpkg";
constexpr std::size_t kEntryLimit = 256 * 1024;  // a desktop entry, unit file or crontab

std::string Join(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

class LinuxSoftwareService : public SoftwareService {
 public:
  LinuxSoftwareService(std::shared_ptr<const FileReader> files,
                       std::shared_ptr<const SoftwareProbes> probes, std::string home)
      : files_(std::move(files)), probes_(std::move(probes)), home_(std::move(home)) {}

  Answer<DpkgDatabase> Dpkg() const override {
    const std::string statusPath = Join(kDpkgDir, "status");
    auto status = files_->ReadFile(statusPath);
    if (!status) return {std::nullopt, status.source};
    DpkgDatabase db;
    db.status = std::move(*status.value);
    // Journal entries are named by number; dpkg folds them in in numeric order.
    if (auto names = files_->ListDir(Join(kDpkgDir, "updates"))) {
      std::vector<std::pair<unsigned long, std::string>> entries;
      for (const std::string& name : *names)
        if (!name.empty() && name.size() < 10 &&
            std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
          entries.emplace_back(std::stoul(name), name);
      std::sort(entries.begin(), entries.end());
      for (const auto& [number, name] : entries)
        if (auto text = files_->ReadFile(Join(Join(kDpkgDir, "updates"), name)))
          db.updates.push_back(std::move(*text.value));
    }
    auto times = probes_->ModifiedTimes(Join(kDpkgDir, "info"), ".list");
    db.listTimesSource = times.source;
    if (times) db.listTimes = std::move(*times.value);
    return Answer<DpkgDatabase>::Of(std::move(db), statusPath);
  }

  Answer<std::vector<RpmPackage>> RpmPackages() const override { return probes_->RpmPackages(); }

  Answer<std::vector<BundledApp>> BundledApps() const override {
    std::vector<BundledApp> apps;
    std::vector<std::string> read;
    AddFlatpaks("/var/lib/flatpak", false, apps, read);
    if (!home_.empty()) AddFlatpaks(Join(home_, ".local/share/flatpak"), true, apps, read);
    AddSnaps(apps, read);
    if (read.empty())
      return Answer<std::vector<BundledApp>>::Fail(Status::Missing, "/var/lib/flatpak, /snap",
                                                   "no Flatpak or Snap installation");
    return Answer<std::vector<BundledApp>>::Of(std::move(apps), JoinNames(read));
  }

  Answer<std::vector<SoftwareFile>> ApplicationEntries() const override {
    std::vector<std::string> folders;
    if (!home_.empty()) folders.push_back(Join(home_, ".local/share/applications"));
    for (std::string_view f :
         {"/usr/local/share/applications", "/usr/share/applications",
          "/var/lib/flatpak/exports/share/applications", "/var/lib/snapd/desktop/applications"})
      folders.emplace_back(f);
    return EntriesOf(folders, ".desktop");
  }

  Answer<std::vector<SoftwareFile>> AutostartEntries(StartScope scope) const override {
    if (scope == StartScope::System) return EntriesOf({"/etc/xdg/autostart"}, ".desktop");
    if (home_.empty())
      return Answer<std::vector<SoftwareFile>>::Fail(Status::Missing, "~/.config/autostart",
                                                     "the user's home folder is not known");
    return EntriesOf({Join(home_, ".config/autostart")}, ".desktop");
  }

  Answer<std::vector<UnitLink>> UnitLinks(StartScope scope) const override {
    std::vector<std::string> folders;
    if (scope == StartScope::System) {
      folders.emplace_back("/etc/systemd/system");
    } else {
      folders.emplace_back("/etc/systemd/user");
      if (!home_.empty()) folders.push_back(Join(home_, ".config/systemd/user"));
    }
    std::vector<UnitLink> links;
    Provenance firstFailure;
    std::vector<std::string> read;
    for (const std::string& folder : folders) {
      auto names = files_->ListDir(folder);
      if (!names) {
        if (firstFailure.source.empty()) firstFailure = names.source;
        continue;
      }
      read.push_back(folder);
      for (const std::string& sub : *names) {
        if (!sub.ends_with(".wants") && !sub.ends_with(".requires")) continue;
        const std::string subPath = Join(folder, sub);
        auto units = files_->ListDir(subPath);
        if (!units) continue;
        for (const std::string& unit : *units) {
          const std::string linkPath = Join(subPath, unit);
          UnitLink link{sub, unit, files_->ReadLink(linkPath).value_or(linkPath), {}};
          link.masked = link.target == "/dev/null";
          if (!link.masked)
            link.unitText = files_->ReadFile(linkPath, kEntryLimit).value_or(std::string());
          links.push_back(std::move(link));
        }
      }
    }
    if (read.empty()) return {std::nullopt, firstFailure};
    return Answer<std::vector<UnitLink>>::Of(std::move(links), JoinNames(read));
  }

  Answer<std::vector<CronTable>> CronTables() const override {
    std::vector<CronTable> tables;
    std::vector<std::string> read;
    Provenance firstFailure;
    auto add = [&](const std::string& path, bool withUser) {
      auto text = files_->ReadFile(path, kEntryLimit);
      if (!text) {
        if (text.source.status != Status::Missing && firstFailure.source.empty())
          firstFailure = text.source;
        return;
      }
      read.push_back(path);
      tables.push_back({{path, std::move(*text.value)}, withUser});
    };
    add("/etc/crontab", true);
    auto addFolder = [&](std::string_view folder, bool withUser) {
      auto names = files_->ListDir(folder);
      if (!names) {
        if (names.source.status != Status::Missing && firstFailure.source.empty())
          firstFailure = names.source;
        return;
      }
      for (const std::string& name : *names)
        if (!name.starts_with('.')) add(Join(folder, name), withUser);
    };
    addFolder("/etc/cron.d", true);
    addFolder("/var/spool/cron/crontabs", false);
    if (read.empty()) {
      if (!firstFailure.source.empty()) return {std::nullopt, firstFailure};
      return Answer<std::vector<CronTable>>::Fail(Status::Missing, "/etc/crontab, /etc/cron.d",
                                                  "no crontab");
    }
    return Answer<std::vector<CronTable>>::Of(std::move(tables), JoinNames(read));
  }

  Answer<SoftwareFile> RcLocal() const override {
    const std::string path = "/etc/rc.local";
    auto text = files_->ReadFile(path, kEntryLimit);
    if (!text) return {std::nullopt, text.source};
    return Answer<SoftwareFile>::Of({path, std::move(*text.value)}, path);
  }

  Answer<std::vector<RuntimeProgram>> RuntimePrograms() const override {
    std::vector<RuntimeProgram> found;
    for (const RuntimeProgramRule& rule : RuntimeProgramRules()) {
      const std::string path = FindProgram(rule);
      if (path.empty()) continue;
      RuntimeProgram program{std::string(rule.id), path, Resolve(path), {}};
      if (!rule.versionFile.empty()) {
        const std::filesystem::path home =
            std::filesystem::path(program.resolvedPath).parent_path().parent_path();
        program.versionFile = files_->ReadFile((home / rule.versionFile).string(), kEntryLimit)
                                  .value_or(std::string());
      }
      found.push_back(std::move(program));
    }
    return Answer<std::vector<RuntimeProgram>>::Of(std::move(found), "program folders");
  }

  Answer<std::string> RuntimeVersionOutput(const std::string& id) const override {
    for (const RuntimeProgramRule& rule : RuntimeProgramRules()) {
      if (rule.id != id) continue;
      const std::string path = FindProgram(rule);
      if (path.empty()) break;
      return probes_->RunVersion(id, path, {rule.versionArgs.begin(), rule.versionArgs.end()});
    }
    return Answer<std::string>::Fail(Status::Missing, id, "no such program");
  }

 private:
  static std::string JoinNames(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
    return out;
  }

  Answer<std::vector<SoftwareFile>> EntriesOf(const std::vector<std::string>& folders,
                                              std::string_view suffix) const {
    std::vector<SoftwareFile> entries;
    std::vector<std::string> read;
    Provenance firstFailure;
    for (const std::string& folder : folders) {
      auto names = files_->ListDir(folder);
      if (!names) {
        if (firstFailure.source.empty() || firstFailure.status == Status::Missing)
          firstFailure = names.source;
        continue;
      }
      read.push_back(folder);
      for (const std::string& name : *names) {
        if (!name.ends_with(suffix)) continue;
        const std::string path = Join(folder, name);
        if (auto text = files_->ReadFile(path, kEntryLimit))
          entries.push_back({path, std::move(*text.value)});
      }
    }
    if (read.empty()) return {std::nullopt, firstFailure};
    return Answer<std::vector<SoftwareFile>>::Of(std::move(entries), JoinNames(read));
  }

  void AddFlatpaks(const std::string& installation, bool user, std::vector<BundledApp>& apps,
                   std::vector<std::string>& read) const {
    const std::string appFolder = Join(installation, "app");
    auto ids = files_->ListDir(appFolder);
    if (!ids) return;
    read.push_back(appFolder);
    for (const std::string& id : *ids) {
      // "current" points at "<arch>/<branch>"; "active" in there at the deployed commit.
      auto current = files_->ReadLink(Join(Join(appFolder, id), "current"));
      if (!current) continue;
      BundledApp app;
      app.kind = BundledApp::Kind::Flatpak;
      app.userInstallation = user;
      app.id = id;
      app.branch =
          current->substr(current->find('/') == std::string::npos ? 0 : current->find('/') + 1);
      app.path = Join(Join(Join(appFolder, id), *current), "active");
      app.metadata = files_->ReadFile(Join(app.path, "metadata"), kEntryLimit).value_or("");
      // Flatpak also exports the file under the application id, whatever its shipped name.
      for (std::string_view folder :
           {"files/share/metainfo/", "files/share/appdata/", "export/share/metainfo/"})
        for (std::string_view ext : {".metainfo.xml", ".appdata.xml"}) {
          if (!app.releaseInfo.empty()) break;
          app.releaseInfo =
              files_
                  ->ReadFile(Join(app.path, std::string(folder) + id + std::string(ext)),
                             kEntryLimit)
                  .value_or("");
        }
      apps.push_back(std::move(app));
    }
  }

  void AddSnaps(std::vector<BundledApp>& apps, std::vector<std::string>& read) const {
    auto names = files_->ListDir("/snap");
    if (!names) return;
    read.emplace_back("/snap");
    for (const std::string& name : *names) {
      auto revision = files_->ReadLink(Join(Join("/snap", name), "current"));
      if (!revision) continue;  // "bin", "README" and anything else that is no snap
      BundledApp app;
      app.kind = BundledApp::Kind::Snap;
      app.id = name;
      app.branch = *revision;
      app.path = Join(Join("/snap", name), *revision);
      app.metadata = files_->ReadFile(Join(app.path, "meta/snap.yaml"), kEntryLimit).value_or("");
      apps.push_back(std::move(app));
    }
  }

  // The first folder listing that names one of the rule's programs.
  std::string FindProgram(const RuntimeProgramRule& rule) const {
    for (std::string_view program : rule.programs)
      for (std::string_view folder : ProgramFolders()) {
        const std::vector<std::string> names = Listing(folder);
        if (std::binary_search(names.begin(), names.end(), std::string(program)))
          return Join(folder, program);
      }
    return {};
  }

  std::vector<std::string> Listing(std::string_view folder) const {
    std::lock_guard lock(mutex_);
    auto it = listings_.find(std::string(folder));
    if (it == listings_.end())
      it = listings_
               .emplace(std::string(folder),
                        files_->ListDir(folder).value_or(std::vector<std::string>{}))
               .first;
    return it->second;
  }

  // Follows symbolic links ("/usr/bin/java" -> "/etc/alternatives/java" -> the JDK's).
  std::string Resolve(std::string path) const {
    for (int hop = 0; hop < 16; ++hop) {
      auto target = files_->ReadLink(path);
      if (!target) break;
      std::filesystem::path next(*target);
      if (next.is_relative()) next = std::filesystem::path(path).parent_path() / next;
      path = next.lexically_normal().string();
    }
    return path;
  }

  std::shared_ptr<const FileReader> files_;
  std::shared_ptr<const SoftwareProbes> probes_;
  std::string home_;
  mutable std::mutex mutex_;  // guards the folder listings, read once per service
  mutable std::map<std::string, std::vector<std::string>> listings_;
};

}  // namespace

std::shared_ptr<const SoftwareService> MakeLinuxSoftwareService(
    std::shared_ptr<const FileReader> files, std::shared_ptr<const SoftwareProbes> probes,
    std::string home) {
  return std::make_shared<LinuxSoftwareService>(std::move(files), std::move(probes),
                                                std::move(home));
}

}  // namespace tavrin::platform
