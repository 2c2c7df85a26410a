// The diagnostics log: "debug.log" in $XDG_STATE_HOME/tavrin (~/.local/state/tavrin),
// written only in diagnostics mode.
//
// The mode is decided once, on first use: on when the settings hold the number 1 as
// "DebugMode" under "Software\Tavrin\DebugMode", or when the first command-line argument
// is "-debug" in any case. Each line is "hh:nn:ss:zzz: (program) text" and CRLF, stored as
// UTF-16LE; a new file begins with the byte-order mark FF FE.
//
// The number 1 as "LogInProgramFolder" under the same key puts the log beside the program, as
// the Windows program kept it; when that folder cannot take the file (a system-wide install)
// the log goes to the state folder after all, and its first line there says why.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::helpers {

/// Hands over the command line once at start, before anything is logged.
void SetDebugArguments(int argc, const char* const* argv);

/// Decides the mode on the first call.
bool DebugModeOn();

/// Writes one line when the mode is on. Safe to call from several threads.
void DebugLog(std::string_view text);
void DebugLogFmt(const char* format, ...) __attribute__((format(printf, 1, 2)));

/// "hh:nn:ss:zzz: (program) text" for the current local time, without the line end.
std::string ComposeLogLine(std::string_view programName, std::string_view text);

/// $XDG_STATE_HOME/tavrin (~/.local/state/tavrin), where logs and crash reports go when the
/// program folder cannot take them.
std::filesystem::path StateFolder();

namespace testing {
/// Forgets the decided mode and the fallback, sets the arguments (after the program name)
/// and logs into `folder` as if the settings had asked for the program folder; an empty
/// `folder` leaves the choice to the settings again.
void ResetDebugLog(std::filesystem::path folder, std::vector<std::string> arguments);
/// Fixes the mode without asking the settings or the arguments.
void DecideDebugMode(bool on);
}  // namespace testing

}  // namespace tavrin::helpers

/// What the helper libraries call to log through the program's own log, so that one mode
/// and one file serve the whole process. Exported from the program.
extern "C" void tavrin_host_debug_log(const char* text, std::size_t length);
