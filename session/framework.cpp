#include "session/framework.h"

#include "helpers/accessors.h"
#include "helpers/crash_handler.h"
#include "helpers/debug_log.h"
#include "helpers/locale_code.h"
#include "helpers/program_path.h"
#include "platform/linux/live_services.h"
#include "session/language.h"
#include "text/labels.h"

namespace tavrin::session {

void InitializeFramework(int argc, char** argv) {
  platform::PrepareLiveProbes();
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
  // Empty until the user chooses a language in the settings: until then the locale of each
  // start decides, so a user who changes LANG gets the new language.
  options.RegisterDefault("Language", "");
  options.RegisterDefault(kLanguageChosenOption, "0");
  options.RegisterDefault(kAdvancedModeOption, "0");
  options.RegisterDefault(kWindowGeometryOption, "");
  options.LoadOptions();
  const std::string language =
      ChooseLanguageCode(std::nullopt, ChosenLanguage(), helpers::UserLanguageCode());

  helpers::Localizer();
  UseLanguage(language);
}

std::string ChosenLanguage() {
  helpers::IOptions& options = helpers::Options();
  return options.ReadString(kLanguageChosenOption) == "1" ? options.ReadString("Language")
                                                          : std::string();
}

void FinalizeFramework() {
  // Only a bound Options has anything to save; asking the accessor would bind it now.
  if (helpers::CacheOf(helpers::iface::kOptions).state() == helpers::InterfaceCache::State::Bound)
    helpers::Options().SaveOptions();
  helpers::ReleaseInterfaces();
  labels::Clear();
  ForgetLanguage();
  helpers::UnloadLibraries();
}

std::filesystem::path ProgramFolder() {
  return helpers::ProgramFolder();
}

std::string ProgramFileName() {
  return helpers::ProgramFileName();
}

}  // namespace tavrin::session
