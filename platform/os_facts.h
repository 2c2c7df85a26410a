// The operating system's own description of itself: identity files, kernel names, the current
// account, install evidence, the time zone in effect, the folders and the desktop settings the
// operating-system collector reads.
//
// Every answer is raw (file texts, kernel strings, seconds since 1970) with its provenance; the
// collector decodes them. On Linux the answers come from files and system calls; a snapshot
// answers what the recording machine answered.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

/// The kernel's names of itself (uname).
struct KernelNames {
  std::string release;  ///< "6.1.0-18-amd64"
  std::string version;  ///< "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)"
  std::string machine;  ///< "x86_64"
  bool operator==(const KernelNames&) const = default;
};

/// The user database entry of the account the program runs as.
struct UserAccount {
  std::string name;
  std::string fullName;  ///< first field of the comment (GECOS) field
  std::string home;
  bool operator==(const UserAccount&) const = default;
};

/// The time zone in effect: a zone name and its compiled zone file, or a rule string.
struct ZoneFacts {
  std::string name;  ///< "Europe/Berlin"; empty when the zone has no name (a bare rule)
  std::string tzif;  ///< the zone file's bytes (RFC 8536); empty when `rule` stands alone
  std::string rule;  ///< a POSIX TZ rule given instead of a zone file ("EST5EDT,M3.2.0,M11.1.0")
  bool operator==(const ZoneFacts&) const = default;
};

/// Named folders ("ProgramFiles" -> "/usr"), in the order they are shown.
using FolderList = std::vector<std::pair<std::string, std::string>>;

/// A configuration text together with where it was found.
struct NamedText {
  std::string path;
  std::string text;
  bool operator==(const NamedText&) const = default;
};

class OsFacts {
 public:
  virtual ~OsFacts() = default;

  /// The distribution's identification file (os-release format).
  virtual Answer<std::string> OsRelease() const = 0;
  virtual Answer<KernelNames> Kernel() const = 0;
  /// The machine's unique identifier as stored (text, usually 32 hex digits and a newline).
  virtual Answer<std::string> MachineId() const = 0;
  virtual Answer<UserAccount> CurrentUser() const = 0;
  /// When the root file system was created, seconds since 1970 UTC.
  virtual Answer<int64_t> RootBirthTime() const = 0;
  /// The oldest entry of the package database, seconds since 1970 (as the database wrote it).
  virtual Answer<int64_t> OldestPackageRecord() const = 0;
  virtual Answer<ZoneFacts> TimeZone() const = 0;
  /// Folders of the system as a whole ("ProgramFiles", "Config", "Temp").
  virtual Answer<FolderList> SystemFolders() const = 0;
  /// Folders of the current user ("AppData", "Desktop", "MyDocuments"); a folder that is not
  /// set up has an empty path.
  virtual Answer<FolderList> UserFolders() const = 0;
  /// The default-application lists (mimeapps.list), most important first.
  virtual Answer<std::vector<NamedText>> DefaultApplicationLists() const = 0;
  /// The desktop entry file of application `id` ("firefox.desktop").
  virtual Answer<NamedText> DesktopEntry(const std::string& id) const = 0;
  /// KDE's proxy configuration text (kioslaverc).
  virtual Answer<NamedText> KdeProxyConfig() const = 0;
};

/// A platform without these facts: every answer is "not supported".
std::shared_ptr<const OsFacts> UnsupportedOsFacts(std::string why = "no such service here");

}  // namespace tavrin::platform
