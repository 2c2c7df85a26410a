// Naming the running Windows version: product name, edition, the known-version enumeration,
// product type and suites, and the yes/no facts every collector may consult.
//
// Pure functions of the version record, the architecture, the system metrics and three
// registry values, so any Windows version can be named on any machine.
#pragma once

#include <optional>
#include <string>

#include "collectors/os/os_types.h"

namespace tavrin::collectors {

/// The registry values the naming reads.
struct IdentificationRegistry {
  /// "ProductType" of ...\Control\ProductOptions ("WinNT", "LanmanNT", "ServerNT").
  std::optional<std::string> productOptionsType;
  /// Whether hotfix Q246009 is recorded as installed (an "Installed" of 1).
  bool q246009Installed = false;
  /// "EditionID" of ...\Windows NT\CurrentVersion ("HomePremium", "Ultimate" ...).
  std::optional<std::string> editionId;
};

struct OsIdentification {
  OsVersionInfo record;  ///< as given, except a service-pack text upgraded to "Service Pack 6a"
  std::string name;
  std::string edition;
  std::string fullName;  ///< name and edition joined by a blank, trimmed
  TOSVersion version = TOSVersion::osUnknown;
  TNtProductType productType = TNtProductType::ptUnknown;
  TNTSuites suites;

  // Yes/no facts.
  bool isNT = false;
  bool isNT4 = false;
  bool laterThanNT4 = false;
  bool is95 = false;
  bool is98 = false;
  bool is2000 = false;
  bool is95OSR2 = false;
  bool is98SE = false;
  bool isME = false;
  bool isXP = false;
  bool isXP64 = false;
  bool is2003 = false;
  bool isVista = false;
  bool isSeven = false;
};

OsIdentification IdentifyOs(const OsVersionInfo& record, const IdentificationRegistry& registry);

/// Edition of an "EditionID" (compared without case); empty for an unknown identifier.
std::string EditionFromId(std::string_view editionId);

/// Product type of a record: its type, a domain controller of version 5 and later counted as
/// a server, then upgraded by the suite bits 0x2, 0x80 and 0x400 (the last that applies wins).
TNtProductType ProductTypeOf(uint8_t productType, uint32_t major, uint16_t suiteMask);
TNTSuites SuitesOf(uint16_t suiteMask);

}  // namespace tavrin::collectors
