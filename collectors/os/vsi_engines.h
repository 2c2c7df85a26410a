// Collector of database and runtime engines, browsers and office suites.
//
// On a replayed Windows registry it reads the engine registrations (Internet Explorer's
// version; the other engines need their program files' version resources, which a registry
// snapshot does not hold). On Linux it finds the runtimes a user asks about (Python, Java,
// Perl, Node.js, .NET, Mono, Ruby, PHP, OpenGL and Vulkan, SQLite, PostgreSQL, MySQL/MariaDB),
// the installed web browsers and the office suites: from version files and package data
// first, and only when neither answers by asking the program, under a time limit.
#pragma once

#include <string>
#include <vector>

#include "collectors/collector.h"
#include "collectors/os/office_helper.h"
#include "platform/provenance.h"

namespace tavrin::collectors {

/// A runtime, browser or engine found on a Linux system.
struct TRuntimeRecord {
  std::string Id;       ///< "python", "java" ... (see runtime_tables.h); a browser's id
  std::string Name;     ///< a browser's product name; empty for runtimes (pages name them)
  std::string Version;  ///< "3.11.2"; empty when nothing told it
  std::string Path;     ///< the program, after its links; empty when only a package is known
  std::string Origin;   ///< "dpkg", "rpm", "flatpak", "snap", or empty for a program alone
  platform::Provenance Source;  ///< what told the version, or why nothing did
};

class TVexa_Engines : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Engines(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Engines", "Engines", std::move(services)) {}

  void RefreshData() override;

  // Windows engines; empty when not found.
  std::string BDE, ODBC, DAO, ADO, NET, OpenGL, IE, MSI, QT;

  /// Linux runtimes, in the order of RuntimeRows().
  std::vector<TRuntimeRecord> Runtimes;
  std::vector<TRuntimeRecord> Browsers;
  /// Office applications (Windows) and suites (Linux).
  TOfficeHelper Office;

  /// True when the values come from a Windows registry (the Windows engine properties and
  /// Office applications), false for a Linux system (runtimes, browsers, office suites).
  bool FromRegistry = false;
  /// Where the Linux findings came from (the package databases and the program folders).
  platform::Provenance Source;

 private:
  void ReadRegistry();
  void ReadLinux();
};

}  // namespace tavrin::collectors
