// The programs and engines page: runtimes and engines, graphics libraries (DirectX on Windows),
// office applications, installed programs or packages, loaded drivers and start-up programs.
#include <set>

#include "collectors/os/vsi_engines.h"
#include "collectors/os/vsi_software.h"
#include "collectors/os/vsi_startup.h"
#include "collectors/system/vsi_process_list.h"
#include "collectors/system_info.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "text/format.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using namespace programs_section;
using collectors::TRuntimeRecord;

// The label of a runtime row, by the engines collector's runtime id.
const std::string* RuntimeLabel(std::string_view id) {
  struct Row {
    std::string_view id;
    const std::string* label;
  };
  static const Row kRows[] = {
      {"python", &lbl::S_PRG_RT_PYTHON}, {"java", &lbl::S_PRG_RT_JAVA},
      {"perl", &lbl::S_PRG_RT_PERL},     {"node", &lbl::S_PRG_RT_NODE},
      {"dotnet", &lbl::S_PRG_RT_DOTNET}, {"mono", &lbl::S_PRG_RT_MONO},
      {"ruby", &lbl::S_PRG_RT_RUBY},     {"php", &lbl::S_PRG_RT_PHP},
      {"opengl", &lbl::S_PRG_RT_OPENGL}, {"vulkan", &lbl::S_PRG_RT_VULKAN},
      {"sqlite", &lbl::S_PRG_RT_SQLITE}, {"postgres", &lbl::S_PRG_RT_POSTGRES},
      {"psql", &lbl::S_PRG_RT_PSQL},     {"mysqld", &lbl::S_PRG_RT_MYSQLD},
      {"mysql", &lbl::S_PRG_RT_MYSQL},
  };
  for (const Row& r : kRows)
    if (r.id == id) return r.label;
  return nullptr;
}

bool IsGraphicsLibrary(std::string_view id) {
  return id == "opengl" || id == "vulkan";
}

void AddRuntimeRow(const FillContext& ctx, Page& page, int section, const std::string& label,
                   const TRuntimeRecord& r) {
  const std::string version = r.Version.empty() ? lbl::S_PRG_VERSION_UNKNOWN : r.Version;
  const std::string where =
      !r.Path.empty() ? r.Path : FormatText(lbl::S_PRG_FROM_PACKAGE, {r.Origin});
  AddItem(ctx, page, section, label, version, where, false, {r.Source, false, {}, r.Id});
}

void AddWindowsEngineRows(const FillContext& ctx, Page& page, const collectors::TVexa_Engines& e) {
  const std::pair<const std::string*, const std::string*> rows[] = {
      {&lbl::S_PRG_IE, &e.IE},   {&lbl::S_PRG_MSI, &e.MSI},   {&lbl::S_PRG_OPENGL, &e.OpenGL},
      {&lbl::S_PRG_NET, &e.NET}, {&lbl::S_PRG_ADO, &e.ADO},   {&lbl::S_PRG_DAO, &e.DAO},
      {&lbl::S_PRG_BDE, &e.BDE}, {&lbl::S_PRG_ODBS, &e.ODBC}, {&lbl::S_PRG_APPLE, &e.QT},
  };
  for (const auto& [label, value] : rows) AddItem(ctx, page, kEngines, *label, *value, "", false);
  if (page.Sections()[kEngines].Items.empty())
    NoteEmptySection(page, kEngines, lbl::S_PRG_NO_WINDOWS_ENGINES);
  // The DirectX components come from a DirectX collector, which reads Windows programs only.
  NoteEmptySection(page, kDirectX, lbl::S_PRG_NO_DIRECTX);
}

void AddLinuxEngineRows(const FillContext& ctx, Page& page, const collectors::TVexa_Engines& e) {
  for (const TRuntimeRecord& r : e.Runtimes)
    if (const std::string* label = RuntimeLabel(r.Id))
      AddRuntimeRow(ctx, page, IsGraphicsLibrary(r.Id) ? kDirectX : kEngines, *label, r);
  for (const TRuntimeRecord& b : e.Browsers)
    AddRuntimeRow(ctx, page, kEngines, FormatText(lbl::S_PRG_BROWSER, {b.Name}), b);
  if (page.Sections()[kEngines].Items.empty())
    NoteEmptySection(page, kEngines, e.Source.ok() ? lbl::S_PRG_NO_ENGINES : e.Source.Explain());
  if (page.Sections()[kDirectX].Items.empty())
    NoteEmptySection(page, kDirectX, e.Source.ok() ? lbl::S_PRG_NO_GRAPHICS : e.Source.Explain());
}

void AddOfficeRows(const FillContext& ctx, Page& page, const collectors::TVexa_Engines& e) {
  const collectors::TOfficeHelper& office = e.Office;
  if (!office.AnyInstalled()) {
    AddItem(ctx, page, kOffice, lbl::S_PRG_OFFICE_NOT_INSTALLED, lbl::S_NA, "", false);
    return;
  }
  for (int i = 0; i < office.ApplicationCount(); ++i) {
    const collectors::TOfficeApplication* app = office.Application(i);
    if (app->Installed)
      AddItem(ctx, page, kOffice, app->Description, app->ProductVersion, "", false);
  }
  for (const collectors::TOfficeSuite& suite : office.Suites) {
    std::string components;
    for (const std::string& c : suite.Components)
      components += (components.empty() ? "" : ", ") + c;
    AddItem(ctx, page, kOffice, suite.Name,
            suite.Version.empty() ? lbl::S_PRG_VERSION_UNKNOWN : suite.Version, components, false,
            {{}, false, {}, suite.Id});
  }
  if (page.Sections()[kOffice].Items.empty())
    NoteEmptySection(page, kOffice, lbl::S_PRG_OFFICE_NO_VERSIONS);
}

void AddProgramRows(const FillContext& ctx, Page& page, const collectors::TVexa_Software& sw) {
  // Only the first record of each name: the installer data repeats what the uninstall keys
  // list, and a package of two architectures is one program to its user.
  std::set<std::string> shown;
  for (const collectors::TSoftwareRecord& r : sw.Records()) {
    if (!shown.insert(r.Name).second) continue;
    AddItem(ctx, page, kInstalled, r.Name, r.Version.empty() ? lbl::S_NA : r.Version,
            r.Company.empty() ? lbl::S_NA : r.Company, false, {sw.ValueSources().records});
  }
  if (page.Sections()[kInstalled].Items.empty() && !sw.ValueSources().records.ok())
    NoteEmptySection(page, kInstalled,
                     FormatText(lbl::S_PRG_NO_PACKAGES, {sw.ValueSources().records.Explain()}));
}

void AddDriverRows(const FillContext& ctx, Page& page, const collectors::TVexa_ProcessList& pl) {
  for (const collectors::TDriverRecord& d : pl.Drivers()) {
    // The module file where the system names one, else the name; a name without a folder
    // part gives no row.
    const std::string& name = d.file.empty() ? d.name : d.file;
    const auto slash = name.find_last_of("/\\");
    if (slash == std::string::npos) continue;
    AddItem(ctx, page, kDrivers, name.substr(slash + 1), name.substr(0, slash + 1), "", false,
            {pl.DriverSource});
  }
  if (page.Sections()[kDrivers].Items.empty() && !pl.DriverSource.ok() &&
      !pl.DriverSource.source.empty())
    NoteEmptySection(page, kDrivers,
                     FormatText(lbl::S_PRG_NO_DRIVERS, {pl.DriverSource.Explain()}));
}

const std::string& StartupLocationLabel(std::string_view list) {
  struct Row {
    std::string_view list;
    const std::string* label;
  };
  static const Row kRows[] = {
      {"HKCU_Runs", &lbl::S_STARTUP_HKCU_RUN},
      {"HKLM_Runs", &lbl::S_STARTUP_HKLM_RUN},
      {"HKCUOnce_Runs", &lbl::S_STARTUP_HKCU_ONCE},
      {"HKLMOnce_Runs", &lbl::S_STARTUP_HKLM_ONCE},
      {"HKCUOnceEx_Runs", &lbl::S_STARTUP_HKCU_ONCEEX},
      {"HKLMOnceEx_Runs", &lbl::S_STARTUP_HKLM_ONCEEX},
      {"HKCUServices_Runs", &lbl::S_STARTUP_HKCU_SERVICES},
      {"HKLMServices_Runs", &lbl::S_STARTUP_HKLM_SERVICES},
      {"HKCUServicesOnce_Runs", &lbl::S_STARTUP_HKCU_SERVICESONCE},
      {"HKLMServicesOnce_Runs", &lbl::S_STARTUP_HKLM_SERVICESONCE},
      {"HKLMSessionManager_Runs", &lbl::S_STARTUP_SESSION_MANAGER},
      {"HKLMWinLogon_Runs", &lbl::S_STARTUP_WINLOGON},
      {"HKCULoad_Runs", &lbl::S_STARTUP_HKCU_LOAD},
      {"User_Runs", &lbl::S_STARTUP_USER_FOLDER},
      {"Common_Runs", &lbl::S_STARTUP_COMMON_FOLDER},
      {"WinINI_Runs", &lbl::S_STARTUP_WIN_INI},
      {"SystemINI_Runs", &lbl::S_STARTUP_SYSTEM_INI},
      {"BHO_Runs", &lbl::S_STARTUP_BHO},
      {"XdgSystem_Runs", &lbl::S_STARTUP_XDG_SYSTEM},
      {"XdgUser_Runs", &lbl::S_STARTUP_XDG_USER},
      {"SystemdSystem_Runs", &lbl::S_STARTUP_SYSTEMD_SYSTEM},
      {"SystemdUser_Runs", &lbl::S_STARTUP_SYSTEMD_USER},
      {"Cron_Runs", &lbl::S_STARTUP_CRON},
      {"RcLocal_Runs", &lbl::S_STARTUP_RC_LOCAL},
  };
  for (const Row& r : kRows)
    if (r.list == list) return *r.label;
  static const std::string kNone;
  return kNone;
}

void AddStartupRows(const FillContext& ctx, Page& page, const collectors::TVexa_Startup& s) {
  for (const collectors::TVexa_Startup::Location& location : s.Locations())
    for (const std::string& line : *location.list) {
      const auto eq = line.find('=');
      const std::string name = line.substr(0, eq);
      const std::string command = eq == std::string::npos ? std::string() : line.substr(eq + 1);
      AddItem(ctx, page, kStartup, name.empty() ? command : name, command,
              StartupLocationLabel(location.name), false, {location.source});
    }
  if (page.Sections()[kStartup].Items.empty())
    NoteEmptySection(page, kStartup, lbl::S_STARTUP_NONE);
}

}  // namespace

void FillProgramsPage(const FillContext& ctx, Page& page) {
  {
    if (const PageLayout* layout = FindPageLayout("programsinfo"))
      for (std::size_t i = 0; i < layout->sections.size() && i < page.Sections().size(); ++i)
        page.Sections()[i].Caption =
            std::string(text::WordedSectionCaption("programsinfo", layout->sections[i].caption));
    if (page.Sections().size() < kCount) return;
    const collectors::TVexa_SystemInfo& info = ctx.info;
    // Held for the whole fill: a slot replaced meanwhile keeps these collectors alive.
    const auto engines = info.Find<collectors::TVexa_Engines>();
    const auto software = info.Find<collectors::TVexa_Software>();
    const auto startup = info.Find<collectors::TVexa_Startup>();
    const auto processes = info.Find<collectors::TVexa_ProcessList>();
    if (engines) {
      if (engines->FromRegistry)
        AddWindowsEngineRows(ctx, page, *engines);
      else
        AddLinuxEngineRows(ctx, page, *engines);
      AddOfficeRows(ctx, page, *engines);
    }
    if (software) AddProgramRows(ctx, page, *software);
    if (processes) AddDriverRows(ctx, page, *processes);
    if (startup) AddStartupRows(ctx, page, *startup);
  }
}

}  // namespace tavrin::pages
