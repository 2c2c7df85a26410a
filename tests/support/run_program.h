// Running a program of the build (the CLI) as a separate process, as a user would.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tavrin::testing {

struct ProgramRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

/// Runs `program` with `args` and the extra environment `env` ("NAME=value"), with standard
/// input closed and a time limit of `seconds`; output is captured. With `stdout_to` standard
/// output goes to that file instead (e.g. /dev/full), and `out` stays empty.
ProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::vector<std::string>& env = {}, int seconds = 120,
                      const std::filesystem::path& stdout_to = {});

/// The build's bin folder (programs, helper libraries, Lang).
std::filesystem::path BinDir();

}  // namespace tavrin::testing
