// The operating system page: the installed system, its owner and user, the process
// environment and the system folders.
#include <ctime>

#include "collectors/os/os_dates.h"
#include "collectors/os/os_text_rules.h"
#include "collectors/system_info.h"
#include "pages/fillers.h"
#include "pages/language_text.h"
#include "pages/page_layouts.h"
#include "pages/value_format.h"
#include "text/format.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using collectors::TVexa_OperatingSystem;

using namespace os_section;

// The aggregate's collector of class T, null when it holds none (aggregates built for tests
// hold other collectors).
template <class T>
std::shared_ptr<const T> SlotAs(const collectors::TVexa_SystemInfo& info) {
  return info.Find<T>();
}

std::string LocalTimeText(std::chrono::system_clock::time_point when) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  localtime_r(&t, &local);
  char text[64];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

// "Name=value" lines as rows: the label before the first "=", the value after it. Lines
// without "=", hidden per-drive variables ("=C:=C:\") and empty paths give no row.
void AddAssignments(const FillContext& ctx, Page& page, int section,
                    const std::vector<std::string>& lines, bool sensitive,
                    const platform::Provenance& source) {
  for (const std::string& line : lines) {
    const auto [label, value] = collectors::SplitAssignment(line);
    AddItem(ctx, page, section, collectors::ValidUtf8(label),
            collectors::ValidUtf8(sensitive ? EnvironmentValueText(label, value) : value), "",
            false, RowMeta{source, sensitive});
  }
}

void AddSystemRows(const FillContext& ctx, Page& page, const TVexa_OperatingSystem& os,
                   const collectors::TVexa_Machine& machine) {
  const auto& src = os.ValueSources();
  const std::string version =
      FormatText("%s (%d.%d.%d) %s",
                 {os.OSName, std::to_string(os.MajorVersion), std::to_string(os.MinorVersion),
                  std::to_string(os.BuildNumber), os.OSEdition});
  AddItem(ctx, page, kWindows, lbl::S_WIN_WINVERSION, version, "", false, {src.identity});
  AddItem(ctx, page, kWindows, lbl::S_WIN_LATESTSP, os.CSD, "", false, {src.release});
  // A date is shown whenever the source gave one, also the zero date.
  AddItem(ctx, page, kWindows, lbl::S_WIN_INSTALLED,
          src.installDate.ok() ? collectors::DateTimeText(os.InstallDate) : "", "", false,
          {src.installDate});
  AddItem(ctx, page, kWindows, lbl::S_WIN_LASTBOOT,
          machine.LastBoot ? LocalTimeText(*machine.LastBoot) : "", "", false,
          {machine.BootSource});
  const auto& net = os.Internet();
  AddItem(ctx, page, kWindows, lbl::S_WIN_DEFAULTINTER, net.DefaultBrowser, "", false,
          {net.source});
  AddItem(ctx, page, kWindows, lbl::S_WIN_DEFAULTMAIN, net.DefaultMailClient, "", false,
          {net.source});
  const auto& locale = os.LocaleInfo();
  AddItem(ctx, page, kWindows, lbl::S_WIN_LANGUAGE, LanguageText(os), "", false, {src.languageId});
  const bool noCountry = locale.FullCountryCode.empty() && locale.CountryCode.empty();
  AddItem(ctx, page, kWindows, lbl::S_WINCOUNTRYINFO,
          noCountry
              ? ""
              : FormatText(lbl::S_WIN_COUNTRYCODE, {locale.FullCountryCode, locale.CountryCode}),
          "", false, {locale.source});
  AddItem(ctx, page, kWindows, lbl::S_WINTIMEZONE, os.TimeZone().DisplayName, "", false,
          {os.TimeZone().source});
  // The Vista rows follow the system the data describes, so a replayed Vista shows them.
  if (os.OS == collectors::TOSVersion::osVista) {
    AddItem(ctx, page, kWindows, lbl::S_WIN_LOGGEDUSER, os.VistaSpecific().UserName(), "", false,
            {{}, true});
    AddItem(ctx, page, kWindows, lbl::S_WIN_SID, os.VistaSpecific().UserSid(), "", false,
            {{}, true});
  }
}

void AddUserRows(const FillContext& ctx, Page& page, const TVexa_OperatingSystem& os,
                 const collectors::TVexa_Machine& machine) {
  const auto& src = os.ValueSources();
  AddItem(ctx, page, kUser, lbl::S_WINREGISTEREDTO, os.RegisteredUser, "", false,
          {src.registeredUser, true});
  AddItem(ctx, page, kUser, lbl::S_WIN_ORGANIZATION, os.RegisteredOrg, "", false,
          {src.registeredOrg});
  AddItem(ctx, page, kUser, lbl::S_WIN_DVD, os.DVDRegion, "", false, {src.dvdRegion});
  AddItem(ctx, page, kUser, lbl::S_WIN_USERNAME, machine.User, "", false,
          {machine.UserSource, true});
  AddItem(ctx, page, kUser, lbl::S_WIN_COMPNAME, machine.MachineName, "", false,
          {machine.MachineNameSource, true});
}

}  // namespace

void FillWindowsPage(const FillContext& ctx, Page& page) {
  {
    if (const PageLayout* layout = FindPageLayout("wininfo"))
      for (std::size_t i = 0; i < layout->sections.size() && i < page.Sections().size(); ++i)
        page.Sections()[i].Caption =
            std::string(text::WordedSectionCaption("wininfo", layout->sections[i].caption));
    const collectors::TVexa_SystemInfo* info = &ctx.info;
    // Held for the whole fill: a slot replaced meanwhile keeps this collector alive.
    const auto osSlot = SlotAs<TVexa_OperatingSystem>(*info);
    const auto machineSlot = SlotAs<collectors::TVexa_Machine>(*info);
    if (!osSlot || !machineSlot) return;
    const TVexa_OperatingSystem& os = *osSlot;
    const collectors::TVexa_Machine& machine = *machineSlot;
    AddSystemRows(ctx, page, os, machine);
    AddUserRows(ctx, page, os, machine);
    // The environment is read anew at every refill: it is this program's own, as it is now.
    const auto block = os.CurrentEnvironmentBlock();
    AddAssignments(ctx, page, kEnvironment,
                   block ? collectors::EnvironmentLines(*block) : std::vector<std::string>{},
                   /*sensitive=*/true, block.source);
    AddAssignments(ctx, page, kFolders, os.Folders, false, os.ValueSources().folders);
  }
}

}  // namespace tavrin::pages
