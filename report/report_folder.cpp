#include "report/report_folder.h"

#include <unistd.h>

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
  const std::string preferred = WithDelimiter(in.documents) + WithDelimiter(in.company) +
                                WithDelimiter(in.product) + "Reports/";
  if (Usable(preferred)) return preferred;
  const std::string fallback = WithDelimiter(in.data) + "Reports/System Information/";
  helpers::DebugLogFmt("Report folder %s cannot be used; using %s", preferred.c_str(),
                       fallback.c_str());
  Usable(fallback);
  return fallback;
}

std::string CurrentReportFolder() {
  helpers::IGlobals& globals = helpers::Globals();
  return ChooseReportFolder({helpers::Helper().GetDocumentsFolder(), globals.GetCompanyName(),
                             globals.GetProductName(), globals.GetDataFolder()});
}

}  // namespace tavrin::report
