// The services of the machine this program runs on.
#pragma once

#include <filesystem>

#include "platform/services.h"

namespace tavrin::platform {

/// Live services. `fileRoot` other than "/" reads a captured sysfs/procfs/etc tree instead of
/// the real one (the services still count as live: the other services ask this machine).
Services MakeLiveServices(const std::filesystem::path& fileRoot = "/");

/// Once at the start, before any thread: the graphics drivers the display probes load keep
/// their shader caches to themselves instead of creating folders in the user's home.
void PrepareLiveProbes();

}  // namespace tavrin::platform
