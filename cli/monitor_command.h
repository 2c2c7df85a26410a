// tavrin-cli --monitor: processor, memory and swap load once a second, for scripts.
#pragma once

#include <iosfwd>
#include <memory>

#include "platform/services.h"

namespace tavrin::cli {

/// Prints one line a second for `seconds` seconds (0: until interrupted with Ctrl+C). Replayed
/// data is not sampled: then nothing goes to `out` and `err` says why. Returns the exit code.
int RunMonitor(const std::shared_ptr<const platform::Services>& services, unsigned seconds,
               std::ostream& out, std::ostream& err);

}  // namespace tavrin::cli
