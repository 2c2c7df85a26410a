#include "app/startup/session_locks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

namespace tavrin::startup {

namespace {

// Why `folder` may not hold the locks of `uid`, or empty when it may. Made when missing.
std::string FolderProblem(const std::filesystem::path& folder, uid_t uid) {
  ::mkdir(folder.c_str(), 0700);
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) return std::strerror(errno);
  if (S_ISLNK(st.st_mode)) return "is a symbolic link";
  if (!S_ISDIR(st.st_mode)) return "is not a folder";
  if (st.st_uid != uid) return "belongs to user " + std::to_string(st.st_uid);
  if ((st.st_mode & 077) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%03o", st.st_mode & 0777);
    return std::string("is open to other users (mode ") + mode + ")";
  }
  return {};
}

}  // namespace

RuntimeFolderChoice ChooseRuntimeFolder(const char* xdgRuntimeDir, uid_t uid,
                                        const std::filesystem::path& tmp) {
  if (xdgRuntimeDir != nullptr && *xdgRuntimeDir != '\0') {
    std::error_code ec;
    if (std::filesystem::is_directory(xdgRuntimeDir, ec)) return {xdgRuntimeDir, {}};
  }
  const std::string base = (tmp / ("tavrin-" + std::to_string(uid))).string();
  const std::string first_problem = FolderProblem(base, uid);
  if (first_problem.empty()) return {base, {}};
  const std::string refused = base + " " + first_problem;
  for (int n = 2; n <= 9; ++n) {
    const std::string folder = base + "-" + std::to_string(n);
    if (FolderProblem(folder, uid).empty())
      return {folder, refused + "; using " + folder + " instead"};
  }
  std::string pattern = base + "-XXXXXX";
  if (::mkdtemp(pattern.data()) != nullptr)
    return {pattern,
            refused + "; using " + pattern + " instead, so a second start is not recognised"};
  return {base, refused + "; no private folder could be made: " + std::strerror(errno)};
}

std::filesystem::path RuntimeFolder() {
  return ChooseRuntimeFolder(std::getenv("XDG_RUNTIME_DIR"), ::getuid()).path;
}

std::unique_ptr<SessionLock> SessionLock::TryAcquire(std::string_view name) {
  const std::filesystem::path file = RuntimeFolder() / (std::string(name) + ".lock");
  // Close-on-exec: a child such as the link opener must not inherit and outlive the lock.
  const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<SessionLock>(new SessionLock(fd));
}

SessionLock::~SessionLock() {
  close(fd_);
}

bool IsHeldElsewhere(std::string_view name) {
  return SessionLock::TryAcquire(name) == nullptr;
}

}  // namespace tavrin::startup
