// Opening a snapshot directory as a full set of services.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"

namespace tavrin::platform {

struct SnapshotOpen {
  std::optional<Services> services;   ///< set when the snapshot could be read
  std::string error;                  ///< why not: names the path and the reason
  std::vector<std::string> warnings;  ///< parts that were skipped (a bad .reg line, ...)
};

/// Reads the snapshot in `dir`. The services answer only from it and are not live.
SnapshotOpen OpenSnapshot(const std::filesystem::path& dir);

}  // namespace tavrin::platform
