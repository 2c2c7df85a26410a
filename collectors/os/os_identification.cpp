#include "collectors/os/os_identification.h"

#include <array>
#include <string_view>

#include "base/strings.h"
#include "platform/registry_path.h"

namespace tavrin::collectors {
namespace {

using platform::EqualsNoCase;

constexpr uint16_t kSuiteEnterprise = 0x2;
constexpr uint16_t kSuiteDataCenter = 0x80;
constexpr uint16_t kSuitePersonal = 0x200;
constexpr uint16_t kSuiteBlade = 0x400;

// Names and editions are padded with spaces only; other characters stay.
std::string Trim(std::string_view text) {
  return std::string(base::Trim(text, " "));
}

char SecondChar(const std::string& csd) {
  return csd.size() >= 2 ? csd[1] : '\0';
}

void NameWindows9x(const OsVersionInfo& r, OsIdentification& id) {
  if (r.major != 4) return;
  const char sp = SecondChar(r.csd);
  if (r.minor == 0) {
    id.name = "Windows 95";
    id.version = TOSVersion::os95;
    if (sp == 'A') id.edition = "OSR 1";
    if (sp == 'B') id.edition = "OSR 2";
    if (sp == 'C') id.edition = "OSR 2.5";
  } else if (r.minor == 10) {
    id.name = "Windows 98";
    id.version = TOSVersion::os98;
    if (sp == 'A' || sp == 'B') id.edition = "SE";
  } else if (r.minor == 90) {
    id.name = "Windows Millennium Edition";
    id.version = TOSVersion::osME;
  }
}

void NameWindowsNT(const OsVersionInfo& r, OsIdentification& id) {
  const bool workstation = r.productType == kProductWorkstation;
  if (r.major == 6 && r.minor == 0) {
    id.name = workstation ? "Windows Vista" : "Windows Server 2008";
    id.version = workstation ? TOSVersion::osVista : TOSVersion::os2K8;
  } else if (r.major == 6 && r.minor == 1) {
    if (workstation) {
      id.name = "Windows Seven";
      id.version = TOSVersion::osSeven;
    }
  } else if (r.major == 5 && r.minor == 2) {
    if (r.serverR2 >= 1) {
      id.name = "Windows Server 2003 \"R2\"";
      id.version = TOSVersion::os2K3;
    } else if (workstation && r.architecture == kArchitectureAmd64) {
      id.name = "Windows XP Professional x64 Edition";
      id.version = TOSVersion::osXP64;
    } else {
      id.name = "Windows Server 2003";
      id.version = TOSVersion::os2K3;
    }
  } else if (r.major == 5 && r.minor == 1) {
    id.name = "Windows XP";
    id.version = TOSVersion::osXP;
  } else if (r.major == 5 && r.minor == 0) {
    id.name = "Windows 2000";
    id.version = TOSVersion::os2K;
  } else if (r.major == 4) {
    id.name = "Windows NT 4";
    id.version = TOSVersion::osNT4;
  }
}

std::string ServerEdition(const OsVersionInfo& r, const IdentificationRegistry& reg) {
  const bool dataCenter = (r.suiteMask & kSuiteDataCenter) != 0;
  const bool enterprise = (r.suiteMask & kSuiteEnterprise) != 0;
  if (r.major == 6 && r.minor == 0) return EditionFromId(reg.editionId.value_or(""));
  if (!(r.major == 5 && r.minor == 2)) {
    if (r.major == 5 && r.minor == 0)
      return dataCenter ? "Datacenter Server" : enterprise ? "Advanced Server" : "Server";
    return enterprise ? "Server 4.0, Enterprise Edition" : "Server 4.0";
  }
  if (r.architecture == kArchitectureIa64) {
    if (dataCenter) return "Datacenter Edition for Itanium-based Systems";
    if (enterprise) return "Enterprise Edition for Itanium-based Systems";
    return {};
  }
  if (r.architecture == kArchitectureAmd64) {
    if (dataCenter) return "Datacenter x64 Edition";
    if (enterprise) return "Enterprise x64 Edition";
    return "Standard x64 Edition";
  }
  if (dataCenter) return "Datacenter Edition";
  if (enterprise) return "Enterprise Edition";
  if (r.suiteMask == kSuiteBlade) return "Web Edition";
  return "Standard Edition";
}

void EditionWindowsNT(OsIdentification& id, const IdentificationRegistry& reg) {
  OsVersionInfo& r = id.record;
  if (r.major < 5) {
    const std::string type = reg.productOptionsType.value_or("");
    if (EqualsNoCase(type, "WINNT")) id.edition = "Workstation";
    if (EqualsNoCase(type, "LANMANNT")) id.edition = "Server";
    if (EqualsNoCase(type, "SERVERNT")) id.edition = "Advanced Server";
    // The hotfix that made SP6 into SP6a leaves the service-pack text alone.
    if (reg.q246009Installed && EqualsNoCase(r.csd, "Service Pack 6")) r.csd = "Service Pack 6a";
    return;
  }
  if (r.productType != kProductWorkstation || r.architecture == kArchitectureAmd64) {
    if (r.productType == kProductServer || r.productType == kProductDomainController)
      id.edition = ServerEdition(r, reg);
    return;  // a 64-bit workstation gets no edition
  }
  if (r.major == 6) {
    id.edition = EditionFromId(reg.editionId.value_or(""));
  } else if (r.major == 5) {
    id.edition = (r.suiteMask & kSuitePersonal) ? "Home" : "Professional";
    if (r.starter >= 1) {
      id.edition += " Starter Edition";
    } else if (r.tabletPc >= 1) {
      id.edition += " Tablet PC Edition";
    } else if (r.mediaCenter > 0) {
      id.edition += " Media Center Edition";
    }
  }
}

}  // namespace

std::string EditionFromId(std::string_view editionId) {
  struct Entry {
    std::string_view id, edition;
  };
  static constexpr std::array<Entry, 9> kEditions = {{
      {"STARTER", "Starter"},
      {"HOMEBASIC", "Home Basic"},
      {"HOMEPREMIUM", "Home Premium"},
      {"ULTIMATE", "Ultimate"},
      {"BUSINESS", "Business"},
      {"HOMEPREMIUMN", "Home Premium (European)"},
      {"HOMEBASICN", "Home Basic (European)"},
      {"BUSINESSN", "Business (European)"},
      {"ENTERPRISE", "Enterprise"},
  }};
  for (const Entry& e : kEditions)
    if (EqualsNoCase(editionId, e.id)) return std::string(e.edition);
  return {};
}

TNtProductType ProductTypeOf(uint8_t productType, uint32_t major, uint16_t suiteMask) {
  TNtProductType type = TNtProductType::ptUnknown;
  if (productType == kProductWorkstation) type = TNtProductType::ptWorkStation;
  if (productType == kProductDomainController) type = TNtProductType::ptAdvancedServer;
  if (productType == kProductServer) type = TNtProductType::ptServer;
  if (major >= 5 && productType == kProductDomainController) type = TNtProductType::ptServer;
  if (suiteMask & kSuiteEnterprise) type = TNtProductType::ptAdvancedServer;
  if (suiteMask & kSuiteDataCenter) type = TNtProductType::ptDataCenter;
  if (suiteMask & kSuiteBlade) type = TNtProductType::ptWeb;
  return type;
}

TNTSuites SuitesOf(uint16_t suiteMask) {
  TNTSuites suites;
  for (int bit = 0; bit <= static_cast<int>(TNTSuite::suEmbeddedRestricted); ++bit)
    if (suiteMask & (1u << bit)) suites.Add(static_cast<TNTSuite>(bit));
  return suites;
}

OsIdentification IdentifyOs(const OsVersionInfo& record, const IdentificationRegistry& registry) {
  OsIdentification id;
  id.record = record;
  if (record.platformId == 1) {
    NameWindows9x(record, id);
  } else if (record.platformId == 2) {
    NameWindowsNT(record, id);
    EditionWindowsNT(id, registry);
  }
  id.productType = ProductTypeOf(record.productType, record.major, record.suiteMask);
  id.suites = SuitesOf(record.suiteMask);

  id.edition = Trim(id.edition);
  id.fullName = Trim(id.name + " " + id.edition);

  const TOSVersion v = id.version;
  id.isNT = record.platformId == 2;
  id.isNT4 = v == TOSVersion::osNT4;
  id.laterThanNT4 = v > TOSVersion::osNT4;
  id.is95 = v == TOSVersion::os95;
  id.is98 = v == TOSVersion::os98;
  id.is2000 = v == TOSVersion::os2K;
  id.is95OSR2 = id.is95 && id.edition == "OSR 2";
  id.is98SE = id.is98 && id.edition == "SE";
  id.isME = v == TOSVersion::osME;
  id.isXP = v == TOSVersion::osXP;
  id.isXP64 = v == TOSVersion::osXP64;
  id.is2003 = v == TOSVersion::os2K3;
  id.isVista = v == TOSVersion::osVista;
  id.isSeven = v == TOSVersion::osSeven;
  return id;
}

}  // namespace tavrin::collectors
