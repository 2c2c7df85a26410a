// Where reports are written: a folder under the user's documents, or under the program's
// data folder when that one cannot be made.
#pragma once

#include <string>

namespace tavrin::report {

struct ReportFolderInputs {
  std::string documents;  ///< Helper's documents folder
  std::string company;    ///< Globals' company name
  std::string product;    ///< Globals' product name
  std::string data;       ///< Globals' data folder
};

/// documents/company/product/Reports/ when it exists or can be created (with its parents)
/// and is writable; else data/Reports/System Information/, created likewise. When both
/// fail the fallback is returned anyway, and writing the report reports why. Ends in "/".
std::string ChooseReportFolder(const ReportFolderInputs& in);

/// The report folder of this user, from the helper library's answers.
std::string CurrentReportFolder();

}  // namespace tavrin::report
