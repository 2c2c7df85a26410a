// Collector of operating system version, registration, folders, locale, time zone.
//
// The values come from one OsSource chosen at the first refresh (os_source.h): the registry of
// a replayed Windows machine, or the operating-system services of a Linux one. Building the
// collector reads nothing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "collectors/collector.h"
#include "collectors/os/os_source.h"
#include "collectors/os/os_types.h"

namespace tavrin::collectors {

/// The sub-collectors share their owner's source.
class TVexa_OsPart : public collectors::TVexa_VSIC_Component {
 public:
  TVexa_OsPart(std::string className, std::string name,
               std::shared_ptr<const platform::Services> services,
               std::shared_ptr<const OsSource> source)
      : TVexa_VSIC_Component(std::move(className), std::move(name), std::move(services)),
        source_(std::move(source)) {}
  /// The source and identification the owner refreshed with (the parts ask their source).
  void Prepare(std::shared_ptr<const OsSource> source, const OsIdentification& id) {
    source_ = std::move(source);
    id_ = id;
  }

 protected:
  /// False until the owner's first refresh chose the source; a part refreshed on its own
  /// before that keeps its empty values.
  bool HasSource() const { return source_ != nullptr; }
  const OsSource& Source() const { return *source_; }
  const OsIdentification& Identification() const { return id_; }

 private:
  std::shared_ptr<const OsSource> source_;
  OsIdentification id_;
};

class TVexa_TimeZone : public TVexa_OsPart, public TimeZoneData {
 public:
  TVexa_TimeZone(std::shared_ptr<const platform::Services> services,
                 std::shared_ptr<const OsSource> source)
      : TVexa_OsPart("TVexa_TimeZone", "TimeZone", std::move(services), std::move(source)) {}
  void RefreshData() override;
  /// Year whose transitions are computed; 0 (default) is the current year.
  int year = 0;
};

class TVexa_NTSpecific : public TVexa_OsPart, public NtSpecificData {
 public:
  TVexa_NTSpecific(std::shared_ptr<const platform::Services> services,
                   std::shared_ptr<const OsSource> source)
      : TVexa_OsPart("TVexa_NTSpecific", "NTSpecific", std::move(services), std::move(source)) {}
  void RefreshData() override;
  std::size_t UpdateCount() const { return Updates.size(); }
};

class TVexa_VistaSpecific : public TVexa_OsPart, public VistaSpecificData {
 public:
  TVexa_VistaSpecific(std::shared_ptr<const platform::Services> services,
                      std::shared_ptr<const OsSource> source)
      : TVexa_OsPart("TVexa_VistaSpecific", "VistaSpecific", std::move(services),
                     std::move(source)) {}
  void RefreshData() override;
};

class TVexa_Internet : public TVexa_OsPart, public InternetData {
 public:
  TVexa_Internet(std::shared_ptr<const platform::Services> services,
                 std::shared_ptr<const OsSource> source)
      : TVexa_OsPart("TVexa_Internet", "Internet", std::move(services), std::move(source)) {}
  void RefreshData() override;
};

class TVexa_LocaleInfo : public TVexa_OsPart, public LocaleData {
 public:
  TVexa_LocaleInfo(std::shared_ptr<const platform::Services> services,
                   std::shared_ptr<const OsSource> source)
      : TVexa_OsPart("TVexa_LocaleInfo", "LocaleInfo", std::move(services), std::move(source)) {}
  void RefreshData() override;
};

class TVexa_OperatingSystem : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_OperatingSystem(std::shared_ptr<const platform::Services> services);
  /// With a source of the caller's choice instead of the one the services call for.
  TVexa_OperatingSystem(std::shared_ptr<const platform::Services> services,
                        std::shared_ptr<const OsSource> source);
  ~TVexa_OperatingSystem() override;

  void RefreshData() override;

  uint32_t MajorVersion = 0;
  uint32_t MinorVersion = 0;
  uint32_t BuildNumber = 0;
  TOSPlatform Platform = TOSPlatform::opWin31;
  std::string OSName;
  std::string OSEdition;
  std::string Version;
  TOSVersion OS = TOSVersion::osUnknown;
  std::string CSD;
  std::string ProductID;
  std::string RegisteredUser;
  std::string RegisteredOrg;
  std::vector<std::string> Environment;
  std::vector<std::string> Folders;
  std::string DVDRegion;
  std::string LanguageID;
  TDateTime InstallDate = 0;
  std::string BuildLab;

  TVexa_TimeZone& TimeZone() const { return *time_zone_; }
  TVexa_NTSpecific& NTSpecific() const { return *nt_specific_; }
  TVexa_VistaSpecific& VistaSpecific() const { return *vista_specific_; }
  TVexa_Internet& Internet() const { return *internet_; }
  TVexa_LocaleInfo& LocaleInfo() const { return *locale_info_; }

  /// The identification with its yes/no facts, as of the last refresh.
  const OsIdentification& Identification() const { return identity_.id; }
  /// True when the values describe a Linux system (pages word their rows for it).
  bool IsLinux() const { return identity_.isLinux; }
  const std::string& KernelRelease() const { return identity_.kernelRelease; }
  const std::string& Machine() const { return identity_.machine; }

  /// Where each value came from, for rows that turn out empty.
  struct Sources {
    platform::Provenance identity, release, registeredUser, registeredOrg, productId, dvdRegion,
        installDate, buildLab, languageId, environment, folders;
  };
  const Sources& ValueSources() const { return sources_; }

  /// The environment block as it is now; the Windows page reads it at every refill.
  platform::Answer<std::string> CurrentEnvironmentBlock() const;

 private:
  std::shared_ptr<const OsSource> source_;
  bool identified_ = false;
  OsIdentity identity_;
  Sources sources_;
  std::unique_ptr<TVexa_TimeZone> time_zone_;
  std::unique_ptr<TVexa_NTSpecific> nt_specific_;
  std::unique_ptr<TVexa_VistaSpecific> vista_specific_;
  std::unique_ptr<TVexa_Internet> internet_;
  std::unique_ptr<TVexa_LocaleInfo> locale_info_;
};

}  // namespace tavrin::collectors
