// Command-line arguments of tavrin-cli: the options every program shares, and its own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "session/start_options.h"

namespace tavrin::cli {

struct CliOptions {
  session::StartOptions start;  ///< sources, language, mode, time limit, --help, --version
  bool explain = false;
  std::vector<std::string> pages;          ///< category keys; empty means every page of the mode
  std::optional<std::string> report;       ///< "html", "xml", "text" or "json": write a report
  std::optional<std::string> report_file;  ///< -o: the report's file; "-" is standard output
  bool mask = false;                       ///< sensitive values replaced in the report
  /// --monitor: print the live load for this many seconds (0: until Ctrl+C) instead of pages.
  std::optional<unsigned> monitor_seconds;
};

struct ParsedArgs {
  std::optional<CliOptions> options;
  std::string error;  ///< one line, when options is empty
};

/// Parses the arguments after the program name. "-debug" as the first argument belongs to the
/// diagnostics log and is accepted here without effect.
ParsedArgs ParseCliArgs(const std::vector<std::string>& args);

std::string CliUsage();

}  // namespace tavrin::cli
