// Collector of installed software: the installed programs and the registered applications.
//
// A Windows machine (a replayed registry) lists its uninstall registrations and the Windows
// Installer's product data; a Linux system its package databases (dpkg, RPM), Flatpak and Snap
// installations, and the desktop entries of its "applications" folders as the registered
// application paths.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collectors/collector.h"
#include "platform/provenance.h"

namespace tavrin::collectors {

struct TSoftwareRecord {
  // Each at most 255 characters, as the registrations hold them.
  std::string Name;
  std::string Version;
  std::string Company;  ///< publisher, vendor or maintainer
  std::string Uninstall;
  std::string InstallSource;
  std::string InstallDate;  ///< as a registration writes it ("20090713"); empty on Linux
  // What a Linux package database adds, in raw units.
  std::string Id;       ///< package name or bundle id ("libreoffice-core", "org.mozilla.firefox")
  std::string Origin;   ///< "dpkg", "rpm", "flatpak", "snap"; empty from a registry
  std::string Summary;  ///< one-line description
  std::optional<uint64_t> SizeBytes;   ///< installed size
  std::optional<int64_t> InstallTime;  ///< seconds since 1970 UTC
  bool ConfigOnly = false;             ///< removed; only its configuration files are kept
};

/// A registered application: a desktop entry on Linux, an "App Paths" key on Windows.
struct TApplicationPath {
  std::string Name;
  std::string Path;  ///< the program, or the command line without field codes
};

class TVexa_Software : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Software(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Software", "Software", std::move(services)) {}

  void RefreshData() override;

  int Count() const { return static_cast<int>(records_.size()); }
  /// Record `index`; throws std::out_of_range outside 0 .. Count() - 1.
  const TSoftwareRecord& Record(int index) const { return records_.at(index); }
  const std::vector<TSoftwareRecord>& Records() const { return records_; }
  /// Lines "name=path", one per registered application.
  std::vector<std::string> AppPaths() const;
  const std::vector<TApplicationPath>& Applications() const { return applications_; }

  /// Where the records and the applications came from, or why there are none. On Linux one
  /// entry per database or folder set that was asked.
  struct Sources {
    platform::Provenance records;
    std::vector<platform::Provenance> databases;
    platform::Provenance applications;
  };
  const Sources& ValueSources() const { return sources_; }

 private:
  std::vector<TSoftwareRecord> records_;
  std::vector<TApplicationPath> applications_;
  Sources sources_;
};

}  // namespace tavrin::collectors
