#include "report/report_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "helpers/accessors.h"
#include "helpers/debug_log.h"

namespace tavrin::report {
namespace {

namespace fs = std::filesystem;

std::string WithDelimiter(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

bool Usable(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  return fs::is_directory(folder, ec) && access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::string ChooseReportFolder(const ReportFolderInputs& in) {
  const std::string preferred = WithDelimiter(in.documents);
  if (!in.documents.empty() && Usable(preferred)) return preferred;
  const std::string fallback = WithDelimiter(in.data) + "Reports/System Information/";
  helpers::DebugLogFmt("Report folder %s cannot be used; using %s", preferred.c_str(),
                       fallback.c_str());
  Usable(fallback);
  return fallback;
}

std::string DocumentsFolder() {
  if (const char* set = std::getenv("XDG_DOCUMENTS_DIR"); set && *set) return set;
  const std::string found = helpers::Helper().GetDocumentsFolder();
  // The helper answers with the home folder itself when there is no documents folder; a
  // report should not land among the dot files.
  const char* home = std::getenv("HOME");
  if (home && *home && fs::path(found).lexically_normal() == fs::path(home).lexically_normal())
    return (fs::path(home) / "Documents").string();
  return found;
}

std::string CurrentReportFolder() {
  return ChooseReportFolder({DocumentsFolder(), helpers::Globals().GetDataFolder()});
}

}  // namespace tavrin::report
