// Running a program and reading what it prints, never for longer than a time limit.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

/// Runs `program` (an absolute path, no search) with `args`, standard input closed, a fixed
/// small environment ("LC_ALL=C", so the output reads the same on every machine) and standard
/// output and error collected together, at most `outputLimit` bytes. When `limit` passes the
/// program and everything it started are killed and the answer is TimedOut. A program that
/// exits with a non-zero status still answers with its output (version options of some
/// runtimes do so).
Answer<std::string> RunLimited(const std::string& program, const std::vector<std::string>& args,
                               std::chrono::milliseconds limit,
                               std::size_t outputLimit = 64 * 1024);

}  // namespace tavrin::platform
