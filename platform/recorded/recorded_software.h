// The software probes of a snapshot's software.json.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>

#include "platform/software_probes.h"

namespace tavrin::platform {

/// Answers from `j` (the parsed software.json; an empty object answers "not recorded").
std::shared_ptr<const SoftwareProbes> MakeRecordedSoftwareProbes(nlohmann::json j);

}  // namespace tavrin::platform
