// The office applications of the machine.
//
// On a replayed Windows registry: the Microsoft Office applications registered as automation
// servers ("Word.Application" ...), with the install root and last product of Word's version.
// On Linux: the office suites the package databases and bundle folders list (LibreOffice and
// others), each with the component applications installed.
#pragma once

#include <string>
#include <vector>

#include "collectors/os/vsi_software.h"
#include "platform/registry.h"

namespace tavrin::collectors {

struct TOfficeApplication {
  bool Installed = false;
  std::string Description;     ///< "Microsoft Word 97 - 2003 Document"
  std::string Name;            ///< "Word", fixed
  std::string VersionNumber;   ///< "12", from CurVer
  std::string ProductVersion;  ///< from the program file's version resource
  std::string ProgramPath;
};

/// An office suite of a Linux system.
struct TOfficeSuite {
  std::string Id;                       ///< "libreoffice"
  std::string Name;                     ///< "LibreOffice"
  std::string Version;                  ///< as the package database has it
  std::string Origin;                   ///< "dpkg", "rpm", "flatpak", "snap"
  std::vector<std::string> Components;  ///< "Writer", "Calc", ...
};

class TOfficeHelper {
 public:
  /// The Office applications in their fixed order, none installed.
  TOfficeHelper();

  /// Reads the registrations of `reg` (a Windows registry).
  void DetectRegistry(const platform::Registry& reg);
  /// Finds the suites among the installed packages and bundles.
  void DetectPackages(const std::vector<TSoftwareRecord>& packages);

  int ApplicationCount() const { return static_cast<int>(apps_.size()); }
  /// Application `index`, null outside the list.
  const TOfficeApplication* Application(int index) const;
  /// Any Office application, or any office suite.
  bool AnyInstalled() const;
  /// What the General page names: the first installed application's description, or the first
  /// suite with its version ("LibreOffice 7.4.7").
  std::string InstalledDescription() const;

  std::string InstallRoot;
  std::string LastProduct;
  std::vector<TOfficeSuite> Suites;

 private:
  std::vector<TOfficeApplication> apps_;
};

/// "Word.Application.11" with the prefix "Word.Application." (any case) removed everywhere.
std::string OfficeVersionNumber(std::string_view curVer, std::string_view name);
/// A LocalServer32 command ("C:\...\WINWORD.EXE /automation") cut after the first ".exe".
std::string OfficeProgramPath(std::string_view localServer);

}  // namespace tavrin::collectors
