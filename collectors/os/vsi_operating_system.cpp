#include "collectors/os/vsi_operating_system.h"

#include "collectors/os/os_dates.h"
#include "collectors/os/os_text_rules.h"

namespace tavrin::collectors {

void TVexa_TimeZone::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  if (!HasSource()) return;
  const TimeZoneReading r = Source().TimeZone(Identification(), year != 0 ? year : CurrentYear());
  DisplayName = r.DisplayName;
  StandardName = r.StandardName;
  DaylightName = r.DaylightName;
  Bias = r.Bias;
  source = r.source;
  // A zone without daylight saving keeps the transition values it had.
  if (r.transitions) {
    DaylightStart = r.transitions->DaylightStart;
    StandardStart = r.transitions->StandardStart;
    DaylightBias = r.transitions->DaylightBias;
    StandardBias = r.transitions->StandardBias;
  }
}

void TVexa_NTSpecific::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  if (!HasSource()) return;
  static_cast<NtSpecificData&>(*this) = Source().NtSpecific(Identification());
}

void TVexa_VistaSpecific::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  if (!HasSource()) return;
  static_cast<VistaSpecificData&>(*this) = Source().VistaSpecific();
}

void TVexa_Internet::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  if (!HasSource()) return;
  static_cast<InternetData&>(*this) = Source().Internet();
}

void TVexa_LocaleInfo::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  if (!HasSource()) return;
  const uint32_t wanted = LocaleID;
  static_cast<LocaleData&>(*this) = Source().Locale(wanted);
  LocaleID = wanted;
}

TVexa_OperatingSystem::TVexa_OperatingSystem(std::shared_ptr<const platform::Services> services)
    : TVexa_OperatingSystem(std::move(services), nullptr) {}

TVexa_OperatingSystem::TVexa_OperatingSystem(std::shared_ptr<const platform::Services> services,
                                             std::shared_ptr<const OsSource> source)
    : TVexa_VSIC_Component("TVexa_OperatingSystem", "OperatingSystem", services),
      source_(std::move(source)),
      time_zone_(std::make_unique<TVexa_TimeZone>(services, source_)),
      nt_specific_(std::make_unique<TVexa_NTSpecific>(services, source_)),
      vista_specific_(std::make_unique<TVexa_VistaSpecific>(services, source_)),
      internet_(std::make_unique<TVexa_Internet>(services, source_)),
      locale_info_(std::make_unique<TVexa_LocaleInfo>(services, source_)) {}

TVexa_OperatingSystem::~TVexa_OperatingSystem() = default;

platform::Answer<std::string> TVexa_OperatingSystem::CurrentEnvironmentBlock() const {
  if (!source_)
    return platform::Answer<std::string>::Fail(platform::Status::Missing, "process environment",
                                               "not gathered yet");
  return source_->EnvironmentBlock();
}

void TVexa_OperatingSystem::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  if (!source_) source_ = ChooseOsSource(SharedPlatform());
  // The identification is made once, at the first refresh; later refreshes copy from it.
  if (!identified_) {
    identity_ = source_->Identity();
    identified_ = true;
  }
  const OsIdentification& id = identity_.id;
  Folders.clear();
  for (TVexa_OsPart* part : std::initializer_list<TVexa_OsPart*>{
           time_zone_.get(), nt_specific_.get(), vista_specific_.get(), internet_.get(),
           locale_info_.get()})
    part->Prepare(source_, id);
  time_zone_->RefreshData();
  if (id.isNT) nt_specific_->RefreshData();
  if (id.version == TOSVersion::osVista) vista_specific_->RefreshData();
  internet_->RefreshData();
  locale_info_->RefreshData();

  const OsVersionInfo& r = id.record;
  MajorVersion = r.major;
  MinorVersion = r.minor;
  BuildNumber = r.build & 0xFFFFu;
  if (r.platformId <= 2) Platform = static_cast<TOSPlatform>(r.platformId);
  CSD = r.csd;
  OS = id.version;
  OSName = id.name;
  OSEdition = id.edition;
  sources_.identity = identity_.source;
  sources_.release = identity_.releaseSource;

  const OsRegistration reg = source_->Registration(id);
  RegisteredUser = reg.RegisteredUser.value;
  RegisteredOrg = reg.RegisteredOrg.value;
  ProductID = reg.ProductID.value;
  if (!reg.Version.value.empty()) Version = reg.Version.value;
  if (!reg.BuildLab.value.empty()) BuildLab = reg.BuildLab.value;
  if (!reg.DVDRegion.value.empty()) DVDRegion = reg.DVDRegion.value;
  if (reg.InstallDate.source.ok()) InstallDate = reg.InstallDate.value;
  sources_.registeredUser = reg.RegisteredUser.source;
  sources_.registeredOrg = reg.RegisteredOrg.source;
  sources_.productId = reg.ProductID.source;
  sources_.dvdRegion = reg.DVDRegion.source;
  sources_.installDate = reg.InstallDate.source;
  sources_.buildLab = reg.BuildLab.source;
  Folders = reg.folders;
  sources_.folders = reg.foldersSource;

  SpecialFolderLines special = source_->SpecialFolders(id, UserName());
  for (std::string& line : special.lines) Folders.push_back(std::move(line));
  // The user's folders are the ones a reader looks for; they name the section's source.
  if (special.source.ok() || !sources_.folders.ok()) sources_.folders = special.source;
  // Old systems have no profile folder of their own: the desktop's parent stands for it.
  if (!identity_.isLinux && r.major < 5) {
    std::string profile;
    for (const std::string& line : Folders)
      if (line.rfind("Desktop=", 0) == 0) profile = line.substr(8);
    const auto cut = profile.rfind('\\');
    Folders.push_back("Profile=" +
                      (cut == std::string::npos ? std::string() : profile.substr(0, cut)));
  }

  const auto block = source_->EnvironmentBlock();
  Environment = block ? EnvironmentLines(*block) : std::vector<std::string>{};
  sources_.environment = block.source;

  const auto language = source_->LanguageID();
  LanguageID = language.value;
  sources_.languageId = language.source;
}

}  // namespace tavrin::collectors
