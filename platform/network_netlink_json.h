// The recorded form of the routing-socket dumps in a snapshot's network.json: per dump its
// provenance and, when it answered, the raw message bytes as base64, so a replay runs the
// same decoders over the same bytes.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/network.h"
#include "platform/service_hooks.h"

namespace tavrin::platform {

inline constexpr const char* kNetworkSnapshotFile = "network.json";

/// The dumps of `dir`/network.json; null when the snapshot has no such file. A file that is
/// there but cannot be used adds a warning and answers every dump as malformed.
std::shared_ptr<const NetlinkSource> LoadRecordedNetlink(const std::filesystem::path& dir,
                                                         std::vector<std::string>& warnings);

/// Wraps `live`, keeping each first answer; pushes what writes network.json at the end onto
/// `recordings`.
std::shared_ptr<const NetlinkSource> RecordNetlink(std::shared_ptr<const NetlinkSource> live,
                                                   ServiceRecordings& recordings);

}  // namespace tavrin::platform
