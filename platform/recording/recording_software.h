// Recording the software probes: every answer is kept for the snapshot's software.json.
#pragma once

#include <memory>

#include "platform/service_hooks.h"
#include "platform/software_probes.h"

namespace tavrin::platform {

/// Wraps `live`; `recording` receives what writes software.json when the recording ends.
std::shared_ptr<const SoftwareProbes> RecordSoftwareProbes(
    std::shared_ptr<const SoftwareProbes> live, std::unique_ptr<ServiceRecording>& recording);

}  // namespace tavrin::platform
