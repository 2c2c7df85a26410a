// Crash reports: on a fatal signal (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) the program
// writes program, version, signal, time and a backtrace to
// $XDG_STATE_HOME/tavrin/crash-<pid>.txt, names the file on standard error, and then dies of
// the same signal as it would have without the handler.
#pragma once

#include <filesystem>

namespace tavrin::helpers {

/// Installs the handler; call early at start. Calling it again (after a fork) renews the
/// report path for the current process.
void InstallCrashHandler();

/// The report file of this process, as fixed by the last InstallCrashHandler.
std::filesystem::path CrashReportPath();

}  // namespace tavrin::helpers
