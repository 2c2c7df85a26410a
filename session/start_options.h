// Options that the window program and the command line share: where the data comes from
// (this machine, a replayed snapshot, a recording), the language, the mode and the time a
// collector may take. Each program parses its own extra options around these.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::session {

struct StartOptions {
  std::optional<std::string> replay;    ///< --replay DIR|FILE: a snapshot instead of this machine
  std::optional<std::string> record;    ///< --record DIR: also write what was read
  std::optional<std::string> language;  ///< --lang CODE: this language for this run only
  bool advanced = false;                ///< --advanced
  std::chrono::milliseconds collector_limit{std::chrono::seconds(30)};  ///< --timeout SECONDS
  bool help = false;
  bool version = false;
};

enum class OptionTaken { kNotMine, kTaken, kError };

/// Looks at `args[i]`: when it is one of the shared options, stores it (moving `i` past its
/// value) and answers kTaken; kError sets `error` to one line; kNotMine leaves all alone.
/// "-debug" as the first argument belongs to the diagnostics log and is taken without effect.
OptionTaken TakeStartOption(const std::vector<std::string>& args, std::size_t& i,
                            StartOptions& options, std::string& error);

/// Checks the shared options together; empty when they fit, else one line.
std::string CheckStartOptions(const StartOptions& options);

/// Help lines of the shared options, aligned like the programs' own lines.
std::string StartOptionsUsage();

}  // namespace tavrin::session
