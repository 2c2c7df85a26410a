// The software of a Linux system as its package managers and desktop folders keep it: package
// databases, application entries, start-up entries and the runtimes a user asks about.
//
// Answers are raw: file texts and folder listings as they are, records of librpm as it hands
// them out. Decoding them is the collectors' work. A replayed Windows machine has none of
// these; its collectors read the registry instead.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

/// A file the service read: where it lies and what it holds.
struct SoftwareFile {
  std::string path;
  std::string text;
};

/// dpkg's database: the status file, the journal entries dpkg has not folded into it yet, and
/// when each package's file list was last written (the nearest thing dpkg keeps to an install
/// date).
struct DpkgDatabase {
  std::string status;
  std::vector<std::string> updates;  ///< journal entries, oldest first
  /// File name in the info folder ("bash.list", "libc6:amd64.list") -> seconds since 1970.
  std::map<std::string, int64_t> listTimes;
  Provenance listTimesSource;
};

/// One package of an RPM database as librpm reports it.
struct RpmPackage {
  std::string name, version, release, arch, vendor, packager;
  std::optional<uint64_t> sizeBytes;
  std::optional<int64_t> installTime;  ///< seconds since 1970
};

/// An application of a bundle format (Flatpak, Snap): its folder and the metadata it ships.
struct BundledApp {
  enum class Kind { Flatpak, Snap };
  Kind kind = Kind::Flatpak;
  bool userInstallation = false;  ///< Flatpak: installed for this user only
  std::string id;                 ///< "org.gnome.Calculator", "firefox"
  std::string branch;             ///< Flatpak branch ("stable"), Snap revision ("4173")
  std::string path;               ///< the deployed folder
  std::string metadata;           ///< Flatpak "metadata" file, Snap "meta/snap.yaml"
  std::string releaseInfo;        ///< Flatpak metainfo XML (its release list has the version)
};

enum class StartScope { System, User };

/// A link in a ".wants" or ".requires" folder of a systemd unit folder, with the unit file it
/// names (empty when it could not be read).
struct UnitLink {
  std::string folder;  ///< "multi-user.target.wants"
  std::string unit;    ///< "ssh.service"
  std::string target;  ///< where the link points
  std::string unitText;
  bool masked = false;  ///< the link points at the null device: the unit is masked, not enabled
};

/// A crontab and whether its lines name a user before the command (the system tables do).
struct CronTable {
  SoftwareFile file;
  bool withUser = false;
};

/// A runtime program found on the system's program folders.
struct RuntimeProgram {
  std::string id;            ///< "python", "java", "node" (see LinuxRuntimeIds)
  std::string path;          ///< "/usr/bin/python3"
  std::string resolvedPath;  ///< after following its links
  /// The version file that ships beside some runtimes (a JDK's "release"), empty without.
  std::string versionFile;
};

class SoftwareService {
 public:
  virtual ~SoftwareService() = default;

  virtual Answer<DpkgDatabase> Dpkg() const = 0;
  /// NotSupported where the system keeps no RPM database or librpm cannot be loaded.
  virtual Answer<std::vector<RpmPackage>> RpmPackages() const = 0;
  virtual Answer<std::vector<BundledApp>> BundledApps() const = 0;
  /// Desktop entries of the "applications" folders, the user's first: of two files with the
  /// same name the first one counts.
  virtual Answer<std::vector<SoftwareFile>> ApplicationEntries() const = 0;
  /// Entries of the autostart folders of `scope`.
  virtual Answer<std::vector<SoftwareFile>> AutostartEntries(StartScope scope) const = 0;
  /// The enabling links of the systemd unit folders of `scope` (the administrator's, then the
  /// user's own for StartScope::User).
  virtual Answer<std::vector<UnitLink>> UnitLinks(StartScope scope) const = 0;
  virtual Answer<std::vector<CronTable>> CronTables() const = 0;
  virtual Answer<SoftwareFile> RcLocal() const = 0;
  /// The runtime programs found, one per id at most.
  virtual Answer<std::vector<RuntimeProgram>> RuntimePrograms() const = 0;
  /// What the runtime `id` says when asked for its version (first lines of its output), run
  /// under a time limit. Only for runtimes no file tells the version of.
  virtual Answer<std::string> RuntimeVersionOutput(const std::string& id) const = 0;
};

}  // namespace tavrin::platform
