#include "helpers/librepgen/report_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace tavrin::helpers {
namespace {

namespace fs = std::filesystem;

ReportSaveResult Failure(std::string_view fileName, std::string_view what, int error) {
  return {false, std::string(fileName), std::string(what) + ": " + std::strerror(error)};
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A new report gets the permissions a newly created file would (0666 less the umask); a
// replaced one keeps its own. mkstemp alone would leave every report private (0600).
mode_t ModeFor(const std::string& fileName) {
  struct stat existing {};
  if (stat(fileName.c_str(), &existing) == 0) return existing.st_mode & 07777;
  // Reading the umask means setting it; the umask is process-wide, so put it back at once.
  const mode_t mask = umask(022);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

ReportSaveResult WriteFileAtomically(std::string_view fileName, std::string_view bytes,
                                     bool replace) {
  const std::string target(fileName);
  if (target.empty()) return {false, target, "no file name"};
  const fs::path path(target);
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::string temp_name = ".";  // built in steps: GCC 12 warns falsely on "." + string&&
  temp_name += path.filename().string();
  temp_name += ".XXXXXX";
  std::string temp = (folder / temp_name).string();

  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return Failure(target, "cannot create a file in " + folder.string(), errno);
  auto abandon = [&](std::string_view what) {
    const int error = errno;
    close(fd);
    unlink(temp.c_str());
    return Failure(target, what, error);
  };
  if (!WriteAll(fd, bytes)) return abandon("cannot write");
  if (fchmod(fd, ModeFor(target)) != 0) return abandon("cannot set permissions");
  // Without the sync a crash right after the rename could leave an empty file under the
  // final name on some file systems.
  if (fsync(fd) != 0) return abandon("cannot write");
  if (close(fd) != 0) {
    const int error = errno;
    unlink(temp.c_str());
    return Failure(target, "cannot write", error);
  }
  // link() fails on an existing name, which is what "do not replace" needs, atomically.
  const int rc =
      replace ? rename(temp.c_str(), target.c_str()) : link(temp.c_str(), target.c_str());
  const int error = errno;
  if (rc != 0 || !replace) unlink(temp.c_str());
  if (rc != 0) return Failure(target, "cannot save", error);
  return {true, target, {}};
}

}  // namespace tavrin::helpers
