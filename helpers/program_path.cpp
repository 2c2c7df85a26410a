#include "helpers/program_path.h"

#include <algorithm>
#include <system_error>

#include "tavrin_install_dirs.h"

namespace tavrin::helpers {
namespace {

// Folders compare by their normal form, so "/usr/bin/../lib/x" and "/usr/lib/x" are one.
void AddOnce(std::vector<std::filesystem::path>& folders, const std::filesystem::path& folder) {
  const std::filesystem::path normal = folder.lexically_normal();
  if (std::find(folders.begin(), folders.end(), normal) == folders.end()) folders.push_back(normal);
}

bool IsFolder(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

}  // namespace

const std::filesystem::path& ProgramPath() {
  static const std::filesystem::path path = [] {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
    // Without /proc (a stripped-down container) the program is taken to be where it is
    // installed; the working folder says nothing about where the program lives.
    if (ec || p.empty()) p = std::filesystem::path(TAVRIN_INSTALL_BIN_DIR) / "tavrin";
    return p;
  }();
  return path;
}

std::filesystem::path ProgramFolder() {
  return ProgramPath().parent_path();
}

std::string ProgramFileName() {
  return ProgramPath().filename().string();
}

std::vector<std::filesystem::path> HelperLibraryFoldersFor(
    const std::filesystem::path& programFolder) {
  std::vector<std::filesystem::path> folders;
  AddOnce(folders, programFolder);
  AddOnce(folders, programFolder / TAVRIN_HELPER_DIR_FROM_BIN);
  AddOnce(folders, TAVRIN_INSTALL_HELPER_DIR);
  return folders;
}

std::vector<std::filesystem::path> HelperLibraryFolders() {
  return HelperLibraryFoldersFor(ProgramFolder());
}

std::filesystem::path LanguageFolderFor(const std::filesystem::path& programFolder) {
  const std::filesystem::path candidates[] = {
      programFolder / "Lang",
      (programFolder / TAVRIN_LANG_DIR_FROM_BIN).lexically_normal(),
      TAVRIN_INSTALL_LANG_DIR,
  };
  for (const auto& folder : candidates)
    if (IsFolder(folder)) return folder;
  // None there: the localizer then finds no files and keeps the built-in English texts.
  return candidates[1];
}

std::filesystem::path LanguageFolder() {
  return LanguageFolderFor(ProgramFolder());
}

}  // namespace tavrin::helpers
