// Named locks of the user's session: advisory locks on files in the session's runtime folder.
// A lock lives exactly as long as the process holding it (the kernel drops it when the
// process ends, also after a crash), which is what the instance and unloading locks need.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace tavrin::startup {

/// Name of the lock an instance takes while it shuts down with gathering still running.
inline constexpr std::string_view kUnloadingLockName = "sysnfo_start_unloading";

/// $XDG_RUNTIME_DIR when it names a folder, else /tmp/tavrin-<uid> (created, mode 0700).
std::filesystem::path RuntimeFolder();

class SessionLock {
 public:
  /// Takes the lock `name` without waiting; null when another process holds it (or the
  /// lock file cannot be opened, which is treated the same, so a broken runtime folder
  /// never starts a second instance).
  static std::unique_ptr<SessionLock> TryAcquire(std::string_view name);
  ~SessionLock();
  SessionLock(const SessionLock&) = delete;
  SessionLock& operator=(const SessionLock&) = delete;

 private:
  explicit SessionLock(int fd) : fd_(fd) {}
  int fd_;
};

/// Whether another process holds the lock `name` right now (the probe is dropped at once).
bool IsHeldElsewhere(std::string_view name);

}  // namespace tavrin::startup
