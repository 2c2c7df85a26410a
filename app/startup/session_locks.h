// Named locks of the user's session: advisory locks on files in the session's runtime folder.
// A lock lives exactly as long as the process holding it (the kernel drops it when the
// process ends, also after a crash), which is what the instance and unloading locks need.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace tavrin::startup {

/// Name of the lock an instance takes while it shuts down with gathering still running.
inline constexpr std::string_view kUnloadingLockName = "sysnfo_start_unloading";

/// Where the session's locks and socket live, and what was refused on the way.
struct RuntimeFolderChoice {
  std::filesystem::path path;
  /// Empty, or one line for the user: which fallback folder was refused and why (another
  /// user's, open to others, a link), and which private one is used instead.
  std::string note;
};

/// $XDG_RUNTIME_DIR when it names a folder. Else a folder of `uid` under `tmp`: tavrin-<uid>,
/// created 0700, used only when it is a real folder of that user closed to everyone else,
/// since another user could otherwise block or fake the locks in it; when it is not,
/// tavrin-<uid>-2 ... -9, the same for every start of the user, and as a last resort a
/// fresh private folder (a single instance is then not guaranteed).
RuntimeFolderChoice ChooseRuntimeFolder(const char* xdgRuntimeDir, uid_t uid,
                                        const std::filesystem::path& tmp = "/tmp");

/// The folder ChooseRuntimeFolder picks for this process's environment and user.
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
