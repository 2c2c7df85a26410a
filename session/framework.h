// Framework start and end: crash handler, diagnostics log, helper libraries, settings,
// language and the localized label table, before any window exists.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tavrin::session {

/// Options of the settings besides "Language": the mode the window showed last ("1" for
/// advanced) and its size and place (as the window toolkit saves them, in base64).
inline constexpr std::string_view kAdvancedModeOption = "AdvancedMode";
inline constexpr std::string_view kWindowGeometryOption = "WindowGeometry";
/// "1" once the user chose a language in the settings window. Earlier versions stored the
/// locale's language at the first start; without this mark such a "Language" is no choice.
inline constexpr std::string_view kLanguageChosenOption = "LanguageChosen";

/// The language the user chose in the settings window; empty when the locale decides.
std::string ChosenLanguage();

/// In order: installs the crash handler, hands the command line to the diagnostics log,
/// binds Globals, Helper and Options, opens the settings key and reads the "Language" option
/// (when the user never chose one: the locale of LC_ALL, LC_MESSAGES, LANG), binds the
/// localizer for the "Lang" folder beside the program and localizes the label table. A helper
/// library that cannot be bound ends the program with the load error.
void InitializeFramework(int argc, char** argv);

/// Saves the options, releases the helper interfaces, clears the label table and unloads
/// the helper libraries.
void FinalizeFramework();

/// Folder of the running program, where its libraries, "Lang" and "debug.log" are.
std::filesystem::path ProgramFolder();
/// File name of the running program without folder.
std::string ProgramFileName();

}  // namespace tavrin::session
