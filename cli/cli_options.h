// Command-line arguments of tavrin-cli.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::cli {

struct CliOptions {
  bool advanced = false;
  bool explain = false;
  bool help = false;
  bool version = false;
  std::vector<std::string> pages;  ///< category keys; empty means every page of the mode
  std::optional<std::string> record_dir;
  std::optional<std::string> replay_dir;
  std::chrono::milliseconds collector_limit{std::chrono::seconds(30)};
  std::optional<std::string> report;       ///< "html", "xml", "text" or "json": write a report
  std::optional<std::string> report_file;  ///< -o: the report's file; "-" is standard output
  bool mask = false;                       ///< sensitive values replaced in the report
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
