// The operating system's enumerations and the plain records the operating-system collector and
// its sub-collectors publish. Kept apart from the collectors so the pure decoders and the
// sources can fill them without pulling in the gathering framework.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavrin::collectors {

enum class TOSPlatform { opWin31, opWin9x, opWinNT };

enum class TOSVersion {
  osUnknown,
  os95,
  os98,
  osME,
  osNT4,
  os2K,
  osXP,
  osXP64,
  os2K3,
  osVista,
  os2K8,
  osSeven
};

enum class TNtProductType {
  ptUnknown,
  ptWorkStation,
  ptServer,
  ptAdvancedServer,
  ptDataCenter,
  ptWeb
};

/// Suites in the order of the bits of the platform's suite mask: element n is bit n.
enum class TNTSuite {
  suSmallBusiness,
  suEnterprise,
  suBackOffice,
  suCommunications,
  suTerminal,
  suSmallBusinessRestricted,
  suEmbeddedNT,
  suDataCenter,
  suSingleUserTS,
  suPersonal,
  suBlade,
  suEmbeddedRestricted
};

/// A set of TNTSuite, one bit per element (the same bits as the platform's suite mask).
struct TNTSuites {
  uint16_t bits = 0;
  bool Has(TNTSuite s) const { return (bits >> static_cast<int>(s)) & 1u; }
  void Add(TNTSuite s) { bits = static_cast<uint16_t>(bits | (1u << static_cast<int>(s))); }
  bool empty() const { return bits == 0; }
  bool operator==(const TNTSuites&) const = default;
};

/// Product types of the extended version record.
inline constexpr uint8_t kProductWorkstation = 1;
inline constexpr uint8_t kProductDomainController = 2;
inline constexpr uint8_t kProductServer = 3;

/// Processor architectures of the system information record that the naming looks at.
inline constexpr uint16_t kArchitectureIa64 = 6;
inline constexpr uint16_t kArchitectureAmd64 = 9;

/// The extended version record with the facts the naming asks the system for besides it.
struct OsVersionInfo {
  uint32_t platformId = 0;  ///< 0 Win32s, 1 the 95 family, 2 the NT family, 0x100 Linux
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  std::string csd;  ///< service-pack text
  uint16_t servicePackMajor = 0;
  uint16_t servicePackMinor = 0;
  uint16_t suiteMask = 0;
  uint8_t productType = 0;  ///< 1 workstation, 2 domain controller, 3 server; 0 unknown
  uint16_t architecture = 0;
  // System metrics 86 to 89.
  int tabletPc = 0;
  int mediaCenter = 0;
  int starter = 0;
  int serverR2 = 0;
};

/// A date and time as days since 1899-12-30 00:00, the fraction being the time of day.
using TDateTime = double;

enum class TConnectionType { ctNone, ctLAN, ctDialup };

enum class TMeasureSystem { Metric, US };
enum class TPositiveCurrencyMode {
  Prefix_No_Separation,
  Suffix_No_Separation,
  Prefix_One_Char_Separation,
  Suffix_One_Char_Separation
};
enum class TDateOrder { MDY, DMY, YMD };
enum class TTimeFormat { H12, H24 };
enum class TYearFormat { TwoDigit, FourDigit };

/// One installed update of the NT specifics.
struct UpdateRecord {
  std::string ID;
  std::string InstallDate;
  std::string InstalledBy;
  std::string Description;
  std::string SPInEffect;
  std::string Comment;
};

}  // namespace tavrin::collectors
