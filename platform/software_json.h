// JSON forms of the software probes' answers, shared by the recorder and the replayer of the
// snapshot part "software.json" (docs/snapshot.md).
#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

#include "platform/software.h"

namespace tavrin::platform {

inline constexpr std::string_view kSoftwareJson = "software.json";

void to_json(nlohmann::json& j, const RpmPackage& v);
void from_json(const nlohmann::json& j, RpmPackage& v);

/// The key under which the times of `dir`'s files ending in `suffix` are kept.
std::string ModifiedTimesKey(const std::string& dir, const std::string& suffix);

}  // namespace tavrin::platform
