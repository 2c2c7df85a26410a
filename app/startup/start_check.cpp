#include "app/startup/start_check.h"

namespace tavrin::startup {

StartCheck CheckStart(std::string_view instanceName) {
  StartCheck check;
  if (IsHeldElsewhere(kUnloadingLockName)) {
    check.verdict = StartVerdict::OtherUnloading;
    return check;
  }
  check.instanceLock = SessionLock::TryAcquire(instanceName);
  if (!check.instanceLock) check.verdict = StartVerdict::OtherRunning;
  return check;
}

bool AdministratorCheckPasses(int osCode, bool isAdministrator) {
  if (osCode >= 4 && osCode <= 9) return isAdministrator;
  return true;
}

}  // namespace tavrin::startup
