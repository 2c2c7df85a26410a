// The process service of a snapshot, from the object its processes.json holds.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>

#include "platform/processes.h"

namespace tavrin::platform {

std::shared_ptr<const ProcessService> MakeRecordedProcessService(nlohmann::json file);

}  // namespace tavrin::platform
