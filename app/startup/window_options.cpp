#include "app/startup/window_options.h"

#include <sys/stat.h>

namespace tavrin::startup {
namespace {

// Toolkit options that take a value ("-platform offscreen").
bool TakesValue(const std::string& arg) {
  for (const char* name : {"-platform", "-style", "-stylesheet", "-display", "-geometry",
                           "-qwindowgeometry", "-qwindowtitle", "-qwindowicon", "-plugin"})
    if (arg == name) return true;
  return false;
}

// ":0", ":1.0", "unix:2": a display of this machine, whose socket we can look for.
std::optional<std::string> LocalDisplayNumber(std::string_view display) {
  if (display.starts_with("unix:")) display.remove_prefix(4);
  if (!display.starts_with(":")) return std::nullopt;
  display.remove_prefix(1);
  const std::size_t end = display.find('.');
  const std::string_view number = display.substr(0, end);
  if (number.empty()) return std::nullopt;
  for (char c : number)
    if (c < '0' || c > '9') return std::nullopt;
  return std::string(number);
}

}  // namespace

ParsedWindowArgs ParseWindowArgs(const std::vector<std::string>& args) {
  WindowOptions options;
  auto fail = [](std::string message) {
    return ParsedWindowArgs{std::nullopt, std::move(message)};
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string error;
    switch (session::TakeStartOption(args, i, options.start, error)) {
      case session::OptionTaken::kTaken:
        continue;
      case session::OptionTaken::kError:
        return fail(error);
      case session::OptionTaken::kNotMine:
        break;
    }
    const std::string& arg = args[i];
    if (arg.size() > 1 && arg[0] == '-' && arg[1] != '-') {
      options.toolkit.push_back(arg);
      if (TakesValue(arg) && i + 1 < args.size()) options.toolkit.push_back(args[++i]);
      continue;
    }
    return fail("unknown argument '" + arg + "' (try --help)");
  }
  if (std::string problem = session::CheckStartOptions(options.start); !problem.empty())
    return fail(problem);
  return {options, {}};
}

std::string WindowUsage() {
  return "Usage: tavrin [options]\n"
         "Shows the information pages of this machine (or of a recorded snapshot) in a window.\n"
         "Without a display, use tavrin-cli to print the same pages in a terminal.\n"
         "\n" +
         session::StartOptionsUsage();
}

std::string MissingDisplayReason(const std::function<const char*(const char*)>& getenv) {
  auto set = [&](const char* name) {
    const char* value = getenv(name);
    return value != nullptr && *value != '\0';
  };
  // A platform chosen by hand (offscreen, vnc ...) or a Wayland session needs no X server.
  if (set("QT_QPA_PLATFORM") || set("WAYLAND_DISPLAY")) return {};
  if (!set("DISPLAY")) return "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
  const std::string display = getenv("DISPLAY");
  if (auto number = LocalDisplayNumber(display)) {
    struct stat info {};
    const std::string socket = "/tmp/.X11-unix/X" + *number;
    if (stat(socket.c_str(), &info) != 0)
      return "no display: DISPLAY is " + display + " but no X server listens there";
  }
  return {};
}

}  // namespace tavrin::startup
