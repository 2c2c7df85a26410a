// Figures about this process for the diagnostics log: how long the start took and how much
// memory the program holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavrin::startup {

/// Milliseconds since the kernel started this process (clock-tick resolution, usually 10 ms).
std::optional<int64_t> MillisecondsSinceProcessStart();

/// Resident set size in KiB, from the text of /proc/self/status.
std::optional<int64_t> ResidentKilobytes(std::string_view procStatusText);
std::optional<int64_t> ResidentKilobytes();

}  // namespace tavrin::startup
