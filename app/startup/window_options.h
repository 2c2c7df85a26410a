// The window program's command line: the options it shares with tavrin-cli (sources,
// language, mode), its own usage text, and whether there is a display to open a window on.
// Decided before any window library is touched, so --help and --version work anywhere.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "session/start_options.h"

namespace tavrin::startup {

struct WindowOptions {
  session::StartOptions start;
  /// Arguments of the window toolkit ("-platform offscreen", "-style Fusion"), passed on.
  std::vector<std::string> toolkit;
};

struct ParsedWindowArgs {
  std::optional<WindowOptions> options;
  std::string error;  ///< one line, when options is empty
};

/// Parses the arguments after the program name. Single-dash arguments other than "-debug"
/// belong to the window toolkit and are passed on with their value.
ParsedWindowArgs ParseWindowArgs(const std::vector<std::string>& args);

std::string WindowUsage();

/// Why no window can be shown here (no X11 or Wayland display named, or the named X11 display
/// has no server socket); empty when a display looks usable. `getenv` reads the environment.
std::string MissingDisplayReason(const std::function<const char*(const char*)>& getenv);

}  // namespace tavrin::startup
