#include "app/startup/session_locks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace tavrin::startup {

std::filesystem::path RuntimeFolder() {
  if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg != nullptr && *xdg != '\0') {
    std::error_code ec;
    if (std::filesystem::is_directory(xdg, ec)) return xdg;
  }
  std::filesystem::path folder = "/tmp/tavrin-" + std::to_string(getuid());
  mkdir(folder.c_str(), 0700);
  return folder;
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
