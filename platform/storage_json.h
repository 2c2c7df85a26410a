// JSON forms of the storage answers that are not file reads, shared by the recorder and the
// replayer of the snapshot part "storage.json" (docs/snapshot.md).
#pragma once

#include <nlohmann/json.hpp>

#include "platform/storage.h"

namespace tavrin::platform {

void to_json(nlohmann::json& j, const FsStats& v);
void from_json(const nlohmann::json& j, FsStats& v);
void to_json(nlohmann::json& j, const WindowsVolume& v);
void from_json(const nlohmann::json& j, WindowsVolume& v);
/// The drive-strings buffer travels as an array of UTF-16 code units.
void to_json(nlohmann::json& j, const WindowsVolumes& v);
void from_json(const nlohmann::json& j, WindowsVolumes& v);

}  // namespace tavrin::platform
