// Where the operating-system collector's values come from.
//
// Windows keeps these facts in the registry; Linux answers them through the operating-system
// services (identity, time zone, folders, environment, locales, desktop proxy). Rather than
// branch on the platform at every value, the collector asks one OsSource, chosen once per
// gathering (ChooseOsSource): a replayed Windows machine answers through the registry service,
// and this Linux machine (or a snapshot recorded on Linux) through the OS services. Each source
// reads only through the platform services, so a snapshot replays either kind.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "collectors/os/os_identification.h"
#include "collectors/os/os_types.h"
#include "platform/provenance.h"
#include "platform/services.h"

namespace tavrin::collectors {

/// The identification with the facts that only Linux has.
struct OsIdentity {
  OsIdentification id;
  platform::Provenance source;
  /// Where the release text (the service-pack text on Windows, the kernel's on Linux) came from.
  platform::Provenance releaseSource;
  std::string kernelRelease;  ///< "6.1.0-18-amd64"; empty on Windows
  std::string machine;        ///< "x86_64"; empty on Windows
  bool isLinux = false;       ///< the values describe a Linux system
};

struct OsRegistration {
  platform::Sourced<std::string> RegisteredUser;
  platform::Sourced<std::string> RegisteredOrg;
  platform::Sourced<std::string> ProductID;
  platform::Sourced<std::string> Version;
  platform::Sourced<std::string> BuildLab;
  platform::Sourced<std::string> DVDRegion;
  platform::Sourced<TDateTime> InstallDate;  ///< value 0 and a failed source when unknown
  /// Folder lines known from the same source ("ProgramFiles=C:\Program Files").
  std::vector<std::string> folders;
  platform::Provenance foldersSource;
};

/// The special folders of the user, each line "Name=path", and where they came from.
struct SpecialFolderLines {
  std::vector<std::string> lines;
  platform::Provenance source;
};

struct TimeZoneData {
  std::string DisplayName;
  std::string StandardName;
  std::string DaylightName;
  TDateTime DaylightStart = 0;
  TDateTime StandardStart = 0;
  int32_t Bias = 0;
  int32_t DaylightBias = 0;
  int32_t StandardBias = 0;
  platform::Provenance source;
};

/// A time-zone reading; the transition values are present only when the zone has this
/// year's transitions (a zone without daylight saving leaves them as they were).
struct TimeZoneReading {
  std::string DisplayName, StandardName, DaylightName;
  int32_t Bias = 0;
  struct Transitions {
    TDateTime DaylightStart = 0, StandardStart = 0;
    int32_t DaylightBias = 0, StandardBias = 0;
  };
  std::optional<Transitions> transitions;
  platform::Provenance source;
};

struct NtSpecificData {
  TNtProductType ProductType = TNtProductType::ptUnknown;
  TNTSuites InstalledSuites;
  uint16_t ServicePackMajorVersion = 0;
  uint16_t ServicePackMinorVersion = 0;
  uint32_t NumberOfLicensedUsers = 0;
  uint32_t NumberOfUsers = 0;
  std::vector<UpdateRecord> Updates;
};

struct VistaSpecificData {
  bool UserAccountControl = false;
  bool Virtualization = false;
};

struct InternetData {
  std::string DefaultBrowserName;
  std::string DefaultBrowser;
  std::string DefaultMailClientName;
  std::string DefaultMailClient;
  TConnectionType ConnectionType = TConnectionType::ctNone;
  std::vector<std::string> ProxyServer;
  platform::Provenance source;
  /// Where the proxy lines came from, or why there are none.
  platform::Provenance proxySource;
};

struct LocaleData {
  uint32_t LocaleID = 0x400;
  std::string FullLocalizeLanguage;
  std::string FullLanguageEnglishName;
  std::string AbbreviateLanguageName;
  std::string CountryCode;
  std::string FullCountryCode;
  std::string AbbreviateCountryCode;
  std::string ListSeparator;
  TMeasureSystem MeasurementSystem = TMeasureSystem::Metric;
  std::string DecimalSeparator;
  std::string NumberOfDecimalDigits;
  std::string LocalMonetarySymbol;
  std::string InternationalMonetarySymbol;
  std::string CurrencyDecimalSeparator;
  std::string CurrencyThousandSeparator;
  std::string DecimalThousandSeparator;
  std::string CurrencyDecimalDigits;
  TPositiveCurrencyMode PositiveCurrencyMode = TPositiveCurrencyMode::Prefix_No_Separation;
  std::string NegativeCurrencyMode;
  std::string DateSeparator;
  std::string TimeSeparator;
  std::string TimeFormat;
  std::string ShortDateFormat;
  std::string LongDateFormat;
  TDateOrder ShortDateOrder = TDateOrder::MDY;
  TDateOrder LongDateOrder = TDateOrder::MDY;
  TTimeFormat TimeFormatSpecifier = TTimeFormat::H12;
  TYearFormat YearFormat = TYearFormat::TwoDigit;
  /// The character set of the locale ("UTF-8"); Linux only (Windows names a code page).
  std::string CodeSet;
  platform::Provenance source;
};

class OsSource {
 public:
  virtual ~OsSource() = default;

  virtual OsIdentity Identity() const = 0;
  virtual OsRegistration Registration(const OsIdentification& id) const = 0;
  /// The special folders of the user, each line "Name=path" (a line with an empty path when the
  /// folder is unknown). `constructionUser` is the account the collector was built for.
  virtual SpecialFolderLines SpecialFolders(const OsIdentification& id,
                                            const std::string& constructionUser) const = 0;
  virtual TimeZoneReading TimeZone(const OsIdentification& id, int year) const = 0;
  virtual NtSpecificData NtSpecific(const OsIdentification& id) const = 0;
  virtual VistaSpecificData VistaSpecific() const = 0;
  virtual InternetData Internet() const = 0;
  virtual LocaleData Locale(uint32_t localeId) const = 0;
  /// The default language as the page shows it after "ID: " ("$0409", or a locale name).
  virtual platform::Sourced<std::string> LanguageID() const = 0;
  /// The environment as a block of NUL-terminated "NAME=value" strings ending in an empty one.
  virtual platform::Answer<std::string> EnvironmentBlock() const = 0;
};

/// Registry-backed source: a Windows machine replayed from its ".reg" files.
std::shared_ptr<const OsSource> MakeWindowsOsSource(
    std::shared_ptr<const platform::Services> services);

/// Linux source: the operating-system services of the bundle (its OS facts, environment,
/// locales and desktop proxy settings).
std::shared_ptr<const OsSource> MakeLinuxOsSource(
    std::shared_ptr<const platform::Services> services);

/// The one decision: the version record's platform says which kind of machine the services
/// describe.
std::shared_ptr<const OsSource> ChooseOsSource(std::shared_ptr<const platform::Services> services);

}  // namespace tavrin::collectors
