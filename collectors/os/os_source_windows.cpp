// The registry-backed source: a Windows machine replayed from its ".reg" files.
//
// What Windows answers through calls (the extended version record, system metrics, the native
// architecture) is read from the registry values Windows keeps the same facts in, so a
// hand-written or recorded snapshot describes the whole machine:
//   product type          ...\Control\ProductOptions "ProductType" (WinNT, LanmanNT, ServerNT)
//   suite mask            ...\Control\ProductOptions "ProductSuite" (the suite names)
//   service-pack numbers  ...\Control\Windows "CSDVersion" (0x0200 is 2.0)
//   architecture          ...\Session Manager\Environment "PROCESSOR_ARCHITECTURE"
//   tablet, media center  HKLM\SYSTEM\WPA\TabletPC and \MediaCenter "Installed"
//   starter, server R2    the product name ("... Starter Edition", "... R2")
#include <array>
#include <cstdio>
#include <cstdlib>

#include "collectors/os/os_dates.h"
#include "collectors/os/os_source.h"
#include "collectors/os/os_text_rules.h"
#include "collectors/os/windows_os_parts.h"
#include "collectors/os/windows_registry_reads.h"
#include "platform/registry_path.h"
#include "platform/registry_source.h"

namespace tavrin::collectors {
namespace {

using platform::Provenance;
using platform::RegRoot;
using platform::Sourced;
using platform::Status;

constexpr RegRoot kLM = RegRoot::LocalMachine;
constexpr RegRoot kCU = RegRoot::CurrentUser;

// Suite names of ProductOptions\ProductSuite and the suite-mask bit each stands for.
struct SuiteName {
  std::string_view name;
  uint16_t bit;
};
constexpr std::array<SuiteName, 11> kSuiteNames = {{
    {"Small Business", 0x1},
    {"Enterprise", 0x2},
    {"BackOffice", 0x4},
    {"CommunicationServer", 0x8},
    {"Terminal Server", 0x10},
    {"Small Business(Restricted)", 0x20},
    {"EmbeddedNT", 0x40},
    {"DataCenter", 0x80},
    {"Personal", 0x200},
    {"Blade", 0x400},
    {"Embedded(Restricted)", 0x800},
}};

// Special folders under ...\Explorer\Shell Folders: value name and line name, in line order.
struct FolderName {
  std::string_view value, line;
};
constexpr std::array<FolderName, 41> kShellFolders = {{
    {"APPDATA", "AppData="},
    {"COMMON DESKTOP DIRECTORY", "CommonDesktopDir="},
    {"COMMON ALTSTARTUP", "CommonAltStartUp="},
    {"BITBUCKET", "RecycleBin="},
    {"CD BURNING", "CDBurnArea="},
    {"COMMON APPDATA", "CommonAppData="},
    {"COMMON PROGRAMS", "CommonPrograms="},
    {"COMMON START MENU", "CommonStartMenu="},
    {"COMMON STARTUP", "CommonStartup="},
    {"COMMON FAVORITES", "CommonFavorites="},
    {"COMMONMUSIC", "CommonMusic="},
    {"COMMONPICTURES", "CommonPictures="},
    {"COMMONVIDEO", "CommonVideo="},
    {"COMMON DOCUMENTS", "CommonDocuments="},
    {"COMMON DESKTOP", "CommonDesktop="},
    {"COOKIES", "Cookies="},
    {"CONTROLS", "Controls="},
    {"DESKTOP", "Desktop="},
    {"DESKTOP DIRECTORY", "DesktopDir="},
    {"FAVORITES", "Favorites="},
    {"DRIVES", "Drives="},
    {"FONTS", "Fonts="},
    {"HISTORY", "History="},
    {"INTERNET", "Internet="},
    {"CACHE", "InternetCache="},
    {"LOCAL APPDATA", "LocalAppData="},
    {"MY MUSIC", "MyMusic="},
    {"MY PICTURES", "MyPictures="},
    {"MY VIDEO", "MyVideo="},
    {"NETWORK", "NetWork="},
    {"NETHOOD", "NetHood="},
    {"PERSONAL", "MyDocuments="},
    {"PERSONAL", "Personal="},
    {"PRINTHOOD", "PrintHood="},
    {"PRINTERS", "Printers="},
    {"PROGRAMS", "Programs="},
    {"RECENT", "Recent="},
    {"SENDTO", "SendTo="},
    {"START MENU", "StartMenu="},
    {"STARTUP", "StartUp="},
    {"TEMPLATES", "Templates="},
}};

std::string Key(RegRoot root, std::string_view path) {
  return platform::RegistryKeyName(root, path);
}

class WindowsOsSource : public OsSource {
 public:
  explicit WindowsOsSource(std::shared_ptr<const platform::Services> services)
      : services_(std::move(services)), reg_(*services_->registry) {}

  OsIdentity Identity() const override {
    OsIdentity out;
    OsVersionInfo r;
    auto record = services_->system->OsVersionRecord();
    out.source = record.source;
    out.releaseSource = record.source;
    if (record) {
      r.platformId = static_cast<uint32_t>(record->platform);
      r.major = record->major;
      r.minor = record->minor;
      r.build = record->build;
      r.csd = record->csd;
    }
    // The extended record exists from version 5 on; older systems leave its fields zero.
    if (r.platformId == 2 && r.major >= 5) {
      const std::string type =
          winreg::String(reg_, kLM, winreg::kProductOptions, "ProductType").value_or("");
      if (platform::EqualsNoCase(type, "WinNT")) r.productType = kProductWorkstation;
      if (platform::EqualsNoCase(type, "LanmanNT")) r.productType = kProductDomainController;
      if (platform::EqualsNoCase(type, "ServerNT")) r.productType = kProductServer;
      if (auto suites = reg_.ReadValue(kLM, winreg::kProductOptions, "ProductSuite")) {
        for (const std::string& name : suites->AsMultiString().value_or(std::vector<std::string>{}))
          for (const SuiteName& s : kSuiteNames)
            if (platform::EqualsNoCase(name, s.name))
              r.suiteMask = static_cast<uint16_t>(r.suiteMask | s.bit);
      }
      const uint32_t sp =
          winreg::Dword(reg_, kLM, "SYSTEM\\CurrentControlSet\\Control\\Windows", "CSDVersion")
              .value_or(0);
      r.servicePackMajor = static_cast<uint16_t>((sp >> 8) & 0xFF);
      r.servicePackMinor = static_cast<uint16_t>(sp & 0xFF);
    }
    const std::string arch =
        winreg::String(reg_, kLM,
                       "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
                       "PROCESSOR_ARCHITECTURE")
            .value_or("");
    if (platform::EqualsNoCase(arch, "AMD64")) r.architecture = kArchitectureAmd64;
    if (platform::EqualsNoCase(arch, "IA64")) r.architecture = kArchitectureIa64;
    r.tabletPc = winreg::IsOne(reg_, kLM, "SYSTEM\\WPA\\TabletPC", "Installed") ? 1 : 0;
    r.mediaCenter = winreg::IsOne(reg_, kLM, "SYSTEM\\WPA\\MediaCenter", "Installed") ? 1 : 0;
    const std::string product =
        winreg::String(reg_, kLM, winreg::kNtCurrentVersion, "ProductName").value_or("");
    r.starter = product.find("Starter") != std::string::npos ? 1 : 0;
    r.serverR2 = (r.major == 5 && r.minor == 2 && product.find(" R2") != std::string::npos) ? 1 : 0;

    IdentificationRegistry values;
    values.productOptionsType = winreg::String(reg_, kLM, winreg::kProductOptions, "ProductType");
    values.q246009Installed = winreg::IsOne(
        reg_, kLM, std::string(winreg::kNtCurrentVersion) + "\\Hotfix\\Q246009", "Installed");
    values.editionId = winreg::String(reg_, kLM, winreg::kNtCurrentVersion, "EditionID");
    out.id = IdentifyOs(r, values);
    return out;
  }

  OsRegistration Registration(const OsIdentification& id) const override {
    OsRegistration out;
    const bool nt = id.isNT;
    const std::string_view path = nt ? winreg::kNtCurrentVersion : winreg::kCurrentVersion;
    const Provenance missing = Provenance::Failure(Status::Missing, Key(kLM, path));
    for (auto* field : {&out.RegisteredUser, &out.RegisteredOrg, &out.ProductID, &out.Version,
                        &out.BuildLab, &out.DVDRegion})
      field->source = missing;
    out.InstallDate.source = missing;
    out.foldersSource = missing;
    if (reg_.KeyExists(kLM, path)) {
      out.foldersSource = Provenance::Answered(Key(kLM, path));
      auto take = [&](Sourced<std::string>& field, std::string_view name) {
        if (auto v = winreg::String(reg_, kLM, path, name))
          field = {*v, Provenance::Answered(Key(kLM, path) + "\\" + std::string(name))};
      };
      take(out.RegisteredOrg, "RegisteredOrganization");
      take(out.RegisteredUser, "RegisteredOwner");
      take(out.Version, "CurrentType");
      take(out.ProductID, "ProductID");
      take(out.BuildLab, "BuildLab");
      take(out.BuildLab, "BuildLabEx");
      if (auto stamp = winreg::Dword(reg_, kLM, path, "FirstInstallDateTime")) {
        if (auto when = DateTimeFromDosStamp(*stamp))
          out.InstallDate = {*when,
                             Provenance::Answered(Key(kLM, path) + "\\FirstInstallDateTime")};
      }
      if (auto dvd = reg_.ReadValue(kLM, path, "DVD_Region"))
        out.DVDRegion = {platform::RegistryText(*dvd, EnvLookup()), dvd.source};
      for (auto [value, line] : {std::pair{"CommonFilesDir", "CommonFiles="},
                                 {"ProgramFilesDir", "ProgramFiles="},
                                 {"DevicePath", "Device="},
                                 {"OtherDevicePath", "OtherDevice="},
                                 {"MediaPath", "Media="},
                                 {"ConfigPath", "Config="},
                                 {"WallPaperDir", "Wallpaper="}})
        out.folders.push_back(std::string(line) +
                              winreg::String(reg_, kLM, path, value).value_or(""));
      if (nt) {
        if (auto seconds = winreg::Dword(reg_, kLM, winreg::kNtCurrentVersion, "InstallDate"))
          out.InstallDate = {
              DateTimeFromUnix(*seconds),
              Provenance::Answered(Key(kLM, winreg::kNtCurrentVersion) + "\\InstallDate")};
      }
    }
    if (id.record.major < 5) {
      // GetWindowsDirectory and friends: the system root the registry records.
      const std::string root = winreg::String(reg_, kLM, path, "SystemRoot").value_or("");
      out.folders.push_back("Windows=" + root);
      out.folders.push_back("System=" +
                            (root.empty() ? root : root + (nt ? "\\system32" : "\\SYSTEM")));
      out.folders.push_back("Temp=" +
                            winreg::String(reg_, kCU, "Environment", "TEMP").value_or(""));
    }
    return out;
  }

  SpecialFolderLines SpecialFolders(const OsIdentification&, const std::string&) const override {
    // A recorded machine has no shell to ask: the registry's copy of the folders answers.
    constexpr std::string_view kShell =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    std::vector<std::string> lines;
    for (const FolderName& f : kShellFolders) {
      auto path = winreg::String(reg_, kCU, kShell, f.value);
      if (!path || path->empty()) path = winreg::String(reg_, kLM, kShell, f.value);
      lines.push_back(std::string(f.line) + path.value_or(""));
    }
    return {lines, Provenance::Answered(Key(kCU, kShell))};
  }

  TimeZoneReading TimeZone(const OsIdentification& id, int year) const override {
    return winparts::ReadTimeZone(reg_, id.isNT, year);
  }

  NtSpecificData NtSpecific(const OsIdentification& id) const override {
    NtSpecificData nt;
    const OsVersionInfo& r = id.record;
    if (id.isNT && r.major == 5) {
      nt.ProductType = ProductTypeOf(r.productType, r.major, r.suiteMask);
      nt.InstalledSuites = SuitesOf(r.suiteMask);
      nt.ServicePackMajorVersion = r.servicePackMajor;
      nt.ServicePackMinorVersion = r.servicePackMinor;
    }
    if (nt.ProductType == TNtProductType::ptUnknown) {
      const std::string type =
          winreg::String(reg_, kLM, "System\\CurrentControlSet\\Control\\ProductOptions",
                         "ProductType")
              .value_or("");
      if (type == "WinNT") nt.ProductType = TNtProductType::ptWorkStation;
      if (type == "ServerNT") nt.ProductType = TNtProductType::ptServer;
      if (type == "LanmanNT") nt.ProductType = TNtProductType::ptAdvancedServer;
    }
    const std::string updates = "SOFTWARE\\Microsoft\\Updates";
    for (const std::string& product : reg_.SubKeys(kLM, updates))
      for (const std::string& package : reg_.SubKeys(kLM, updates + "\\" + product))
        for (const std::string& update :
             reg_.SubKeys(kLM, updates + "\\" + product + "\\" + package)) {
          const std::string key = updates + "\\" + product + "\\" + package + "\\" + update;
          UpdateRecord u;
          u.ID = update;
          u.Description = winreg::String(reg_, kLM, key, "Description").value_or("");
          u.InstallDate = winreg::String(reg_, kLM, key, "InstalledDate").value_or("");
          u.InstalledBy = winreg::String(reg_, kLM, key, "InstalledBy").value_or("");
          u.SPInEffect = winreg::String(reg_, kLM, key, "Type").value_or("");
          nt.Updates.push_back(std::move(u));
        }
    const std::string hotfixes = std::string(winreg::kNtCurrentVersion) + "\\HotFix";
    for (const std::string& fix : reg_.SubKeys(kLM, hotfixes)) {
      const std::string key = hotfixes + "\\" + fix;
      if (!winreg::IsOne(reg_, kLM, key, "Installed")) continue;
      bool known = false;
      for (const UpdateRecord& u : nt.Updates) known = known || platform::EqualsNoCase(u.ID, fix);
      if (known) continue;
      UpdateRecord u;
      u.ID = fix;
      u.Description = winreg::String(reg_, kLM, key, "Fix Description").value_or("");
      nt.Updates.push_back(std::move(u));
    }
    // The management-instrumentation updates and user counts are not part of a snapshot.
    return nt;
  }

  VistaSpecificData VistaSpecific() const override {
    constexpr std::string_view kPolicies =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    auto isOneInteger = [&](std::string_view name) {
      auto v = reg_.ReadValue(kLM, kPolicies, name);
      return v && v->AsDword() && *v->AsDword() == 1;
    };
    return {isOneInteger("EnableLUA"), isOneInteger("EnableVirtualization")};
  }

  InternetData Internet() const override {
    InternetData net;
    net.source = Provenance::Answered(Key(kLM, "SOFTWARE\\Clients"));
    for (RegRoot root : {kLM, kCU}) {
      Client(root, "StartMenuInternet", net.DefaultBrowserName, net.DefaultBrowser);
      Client(root, "Mail", net.DefaultMailClientName, net.DefaultMailClient);
    }
    constexpr std::string_view kSettings =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Internet settings";
    const std::string proxy = winreg::String(reg_, kCU, kSettings, "ProxyServer").value_or("");
    // Dial-up connections are a live question; a snapshot knows only the proxy setting.
    if (winreg::Dword(reg_, kCU, kSettings, "ProxyEnable").value_or(0) != 0 && !proxy.empty())
      net.ConnectionType = TConnectionType::ctLAN;
    net.ProxyServer = ProxyLines(proxy);
    net.proxySource = proxy.empty() ? Provenance::Failure(Status::Missing, Key(kCU, kSettings),
                                                          "no ProxyServer value")
                                    : Provenance::Answered(Key(kCU, kSettings));
    return net;
  }

  LocaleData Locale(uint32_t localeId) const override {
    return winparts::ReadLocale(reg_, localeId);
  }

  Sourced<std::string> LanguageID() const override {
    constexpr std::string_view kLanguage = "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language";
    auto text = winreg::String(reg_, kLM, kLanguage, "Default");
    if (!text || text->empty())
      return {{}, Provenance::Failure(Status::Missing, Key(kLM, kLanguage) + "\\Default")};
    char id[16];
    std::snprintf(id, sizeof id, "$%.4lX", std::strtoul(text->c_str(), nullptr, 16) & 0xFFFFul);
    return {id, Provenance::Answered(Key(kLM, kLanguage) + "\\Default")};
  }

  platform::Answer<std::string> EnvironmentBlock() const override {
    return platform::Answer<std::string>::Fail(Status::NotSupported, "process environment",
                                               "a replayed machine has no process to ask");
  }

 private:
  // %SystemRoot% and %ProgramFiles% as the recorded machine had them.
  platform::EnvLookup EnvLookup() const {
    return [this](std::string_view name) -> std::optional<std::string> {
      if (platform::EqualsNoCase(name, "SystemRoot") || platform::EqualsNoCase(name, "windir"))
        return winreg::String(reg_, kLM, winreg::kNtCurrentVersion, "SystemRoot");
      if (platform::EqualsNoCase(name, "ProgramFiles"))
        return winreg::String(reg_, kLM, winreg::kCurrentVersion, "ProgramFilesDir");
      return std::nullopt;
    };
  }

  void Client(RegRoot root, std::string_view type, std::string& name, std::string& program) const {
    const std::string base = "SOFTWARE\\Clients\\" + std::string(type);
    const std::string client = winreg::String(reg_, root, base, "").value_or("");
    if (client.empty()) return;
    const std::string display = winreg::String(reg_, root, base + "\\" + client, "").value_or("");
    if (!display.empty()) name = display;
    auto command = reg_.ReadValue(root, base + "\\" + client + "\\shell\\open\\command", "");
    if (!command) return;
    // The files of a recorded machine cannot be looked at: a path ends with its program's
    // ".exe", which is where Windows would have found an existing file.
    const std::string path =
        ProgramPathOfCommand(platform::RegistryText(*command, EnvLookup()), [](std::string_view p) {
          return p.size() > 4 && platform::EqualsNoCase(p.substr(p.size() - 4), ".exe");
        });
    if (!path.empty()) program = path;
  }

  std::shared_ptr<const platform::Services> services_;
  const platform::Registry& reg_;
};

}  // namespace

std::shared_ptr<const OsSource> MakeWindowsOsSource(
    std::shared_ptr<const platform::Services> services) {
  return std::make_shared<WindowsOsSource>(std::move(services));
}

}  // namespace tavrin::collectors
