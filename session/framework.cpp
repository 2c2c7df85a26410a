#include "session/framework.h"

#include "text/labels.h"
#include "helpers/accessors.h"
#include "helpers/crash_handler.h"
#include "helpers/debug_log.h"
#include "helpers/locale_code.h"
#include "helpers/program_path.h"

namespace tavrin::session {

void InitializeFramework(int argc, char** argv) {
  helpers::InstallCrashHandler();
  helpers::SetDebugArguments(argc, argv);

  helpers::IGlobals& globals = helpers::Globals();
  helpers::DebugLogFmt("%s %s starting", globals.GetProductName().c_str(),
                       globals.GetProgramVersion().c_str());

  // The user interface computes its instance name from ProgramFileName() and registers its
  // activation message at this point, before the other libraries are bound.

  helpers::Helper();
  helpers::IOptions& options = helpers::Options();
  options.OpenKey(helpers::RootKey::CurrentUser, globals.GetSettingsKeyRoot() + "Settings");
  options.RegisterDefault("Language", helpers::UserLanguageCode());
  options.LoadOptions();
  const std::string language = options.ReadString("Language");

  helpers::ILocalizer& localizer = helpers::Localizer();
  localizer.InitLocalizer((ProgramFolder() / "Lang").string(), ProgramFileName(), language);
  labels::Localize(
      [&localizer](std::string_view key, std::string& text) { localizer.TranslateVar(key, text); });
}

void FinalizeFramework() {
  // Only a bound Options has anything to save; asking the accessor would bind it now.
  if (helpers::CacheOf(helpers::iface::kOptions).state() == helpers::InterfaceCache::State::Bound)
    helpers::Options().SaveOptions();
  helpers::ReleaseInterfaces();
  labels::Clear();
  helpers::UnloadLibraries();
}

std::filesystem::path ProgramFolder() {
  return helpers::ProgramFolder();
}

std::string ProgramFileName() {
  return helpers::ProgramFileName();
}

}  // namespace tavrin::session
