// Framework start and end: crash handler, diagnostics log, helper libraries, settings,
// language and the localized label table, before any window exists.
#pragma once

#include <filesystem>
#include <string>

namespace tavrin::session {

/// In order: installs the crash handler, hands the command line to the diagnostics log,
/// binds Globals, Helper and Options, opens the settings key and reads the "Language" option
/// (default: the user's locale), binds the localizer for the "Lang" folder beside the
/// program and localizes the label table. A helper library that cannot be bound ends the
/// program with the load error.
void InitializeFramework(int argc, char** argv);

/// Saves the options, releases the helper interfaces, clears the label table and unloads
/// the helper libraries.
void FinalizeFramework();

/// Folder of the running program, where its libraries, "Lang" and "debug.log" are.
std::filesystem::path ProgramFolder();
/// File name of the running program without folder.
std::string ProgramFileName();

}  // namespace tavrin::session
