// Where reports are written: the user's documents folder, or a folder under the program's
// data folder when that one cannot be used.
#pragma once

#include <string>

namespace tavrin::report {

struct ReportFolderInputs {
  std::string documents;  ///< the user's documents folder
  std::string data;       ///< Globals' data folder
};

/// documents/ when it exists or can be created (with its parents) and is writable; else
/// data/Reports/System Information/, created likewise. When both fail the fallback is
/// returned anyway, and writing the report reports why. Ends in "/".
std::string ChooseReportFolder(const ReportFolderInputs& in);

/// The user's documents folder: $XDG_DOCUMENTS_DIR when set, else the one the desktop's
/// user-dirs.dirs names, else ~/Documents (also when it does not exist yet).
std::string DocumentsFolder();

/// The report folder of this user.
std::string CurrentReportFolder();

}  // namespace tavrin::report
