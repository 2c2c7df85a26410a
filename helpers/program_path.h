// Where the running program lives and where its files are.
//
// In the build tree the helper libraries and the "Lang" folder sit beside the program. An
// installed program finds them in its installed places instead: the helper libraries in
// lib/<multiarch>/tavrin/ and the language files in share/tavrin/lang/, both reached from the
// program's own folder (so a staged or relocated tree works), then at the absolute places
// fixed at build time (so a copy of the program elsewhere still works). The working folder is
// never searched.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tavrin::helpers {

/// Full path of the program file (/proc/self/exe), determined once.
const std::filesystem::path& ProgramPath();
/// Folder of the program file.
std::filesystem::path ProgramFolder();
/// File name of the program without folder ("tavrin-gui").
std::string ProgramFileName();

/// The folders searched for a helper library, in order, without duplicates: the program's
/// folder, the installed folder relative to it, the installed folder fixed at build time.
std::vector<std::filesystem::path> HelperLibraryFolders();

/// The language folder: "Lang" beside the program when it is there, else the first installed
/// language folder that exists; the relative installed one when none does.
std::filesystem::path LanguageFolder();

/// The same search for any program folder; exposed for the tests.
std::vector<std::filesystem::path> HelperLibraryFoldersFor(
    const std::filesystem::path& programFolder);
std::filesystem::path LanguageFolderFor(const std::filesystem::path& programFolder);

}  // namespace tavrin::helpers
