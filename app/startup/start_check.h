// The first steps of every start, before any window exists: may this process run at all?
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "app/startup/session_locks.h"

namespace tavrin::startup {

enum class StartVerdict {
  Run,             ///< this process is the instance; it holds the instance lock
  OtherUnloading,  ///< another instance is shutting down: end silently
  OtherRunning,    ///< another instance runs: wake it, then end
};

struct StartCheck {
  StartVerdict verdict = StartVerdict::Run;
  /// Held for the life of the process when the verdict is Run.
  std::unique_ptr<SessionLock> instanceLock;
};

/// Probes the unloading lock, then takes the instance lock of `instanceName`.
StartCheck CheckStart(std::string_view instanceName);

/// Whether the administrator check lets a process with helper OS code `osCode` run; only
/// the codes 4 to 9 require administrator rights, which on this system means root.
bool AdministratorCheckPasses(int osCode, bool isAdministrator);

}  // namespace tavrin::startup
