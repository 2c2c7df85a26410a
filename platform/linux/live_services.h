// The services of the machine this program runs on.
#pragma once

#include <filesystem>

#include "platform/services.h"

namespace tavrin::platform {

/// Live services. `fileRoot` other than "/" reads a captured sysfs/procfs/etc tree instead of
/// the real one (the services still count as live: the other services ask this machine).
Services MakeLiveServices(const std::filesystem::path& fileRoot = "/");

}  // namespace tavrin::platform
