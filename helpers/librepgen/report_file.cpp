#include "helpers/librepgen/report_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace tavrin::helpers {
namespace {

namespace fs = std::filesystem;

// Where the bytes go once symbolic links are followed.
struct Destination {
  std::string path;            ///< the file to replace or create, or to open and write through
  bool write_through = false;  ///< not a regular file: open it and write, never rename over it
  int error = 0;               ///< errno when the name cannot be a report at all
};

// The kernel's links under /proc/<pid>/fd name an open descriptor (a pipe, a terminal, a file
// the shell opened with > or >>); their text is no path to replace, so they are written to.
bool IsDescriptorLink(const std::string& path) {
  // The folder is asked: statfs on the link itself would follow it to the pipe or file.
  const fs::path folder = fs::path(path).parent_path();
  struct statfs info {};
  return statfs(folder.empty() ? "." : folder.c_str(), &info) == 0 &&
         info.f_type == PROC_SUPER_MAGIC;
}

Destination Resolve(std::string path) {
  // The same bound the kernel puts on a chain of links.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
      if (errno == ENOENT) return {path, false, 0};  // a new file (or a dangling link's target)
      return {path, false, errno};
    }
    if (S_ISREG(st.st_mode)) return {path, false, 0};
    if (S_ISDIR(st.st_mode)) return {path, false, EISDIR};
    if (!S_ISLNK(st.st_mode)) return {path, true, 0};
    if (IsDescriptorLink(path)) return {path, true, 0};
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = readlink(path.c_str(), target.data(), target.size());
    if (n < 0) return {path, false, errno};
    target.resize(static_cast<std::size_t>(n));
    const fs::path next(target);
    path = next.is_absolute() ? target : (fs::path(path).parent_path() / next).string();
  }
  return {path, false, ELOOP};
}

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

// A device, a FIFO or a descriptor takes the bytes as they come; O_APPEND keeps what a
// shell's >> put there before.
ReportSaveResult WriteThrough(const std::string& shown, const std::string& path,
                              std::string_view bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return Failure(shown, "cannot open", errno);
  const bool written = WriteAll(fd, bytes);
  const int error = errno;
  if (close(fd) != 0 && written) return Failure(shown, "cannot write", errno);
  if (!written) return Failure(shown, "cannot write", error);
  return {true, shown, {}};
}

// A new report gets the permissions a newly created file would (0666 less the umask); a
// replaced one keeps its own. mkstemp alone would leave every report private (0600).
mode_t ModeFor(const struct stat* existing) {
  if (existing) return existing->st_mode & 07777;
  // Reading the umask means setting it; the umask is process-wide, so put it back at once.
  const mode_t mask = umask(022);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

ReportSaveResult WriteFileAtomically(std::string_view fileName, std::string_view bytes,
                                     bool replace) {
  const std::string shown(fileName);
  if (shown.empty()) return {false, shown, "no file name"};
  const Destination destination = Resolve(shown);
  if (destination.error != 0) return Failure(shown, "cannot save", destination.error);
  if (destination.write_through) {
    if (!replace) return Failure(shown, "cannot save", EEXIST);
    return WriteThrough(shown, destination.path, bytes);
  }
  const std::string& target = destination.path;
  struct stat existing {};
  const bool exists = stat(target.c_str(), &existing) == 0;

  const fs::path path(target);
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::string temp_name = ".";  // built in steps: GCC 12 warns falsely on "." + string&&
  temp_name += path.filename().string();
  temp_name += ".XXXXXX";
  std::string temp = (folder / temp_name).string();

  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return Failure(shown, "cannot create a file in " + folder.string(), errno);
  auto abandon = [&](std::string_view what) {
    const int error = errno;
    close(fd);
    unlink(temp.c_str());
    return Failure(shown, what, error);
  };
  if (!WriteAll(fd, bytes)) return abandon("cannot write");
  // Run as root over another user's report, the new file stays that user's; elsewhere this
  // fails harmlessly, as only root may give a file away. Before the mode: chown clears it.
  if (exists && (existing.st_uid != geteuid() || existing.st_gid != getegid()))
    (void)!fchown(fd, existing.st_uid, existing.st_gid);
  if (fchmod(fd, ModeFor(exists ? &existing : nullptr)) != 0)
    return abandon("cannot set permissions");
  // Without the sync a crash right after the rename could leave an empty file under the
  // final name on some file systems.
  if (fsync(fd) != 0) return abandon("cannot write");
  if (close(fd) != 0) {
    const int error = errno;
    unlink(temp.c_str());
    return Failure(shown, "cannot write", error);
  }
  // link() fails on an existing name, which is what "do not replace" needs, atomically.
  const int rc =
      replace ? rename(temp.c_str(), target.c_str()) : link(temp.c_str(), target.c_str());
  const int error = errno;
  if (rc != 0 || !replace) unlink(temp.c_str());
  if (rc != 0) return Failure(shown, "cannot save", error);
  return {true, shown, {}};
}

}  // namespace tavrin::helpers
