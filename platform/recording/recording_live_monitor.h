// The recording wrapper of the process service.
#pragma once

#include "platform/processes.h"
#include "platform/service_hooks.h"

namespace tavrin::platform {

/// Wraps `live`; pushes what writes processes.json at the end onto `recordings`.
std::shared_ptr<const ProcessService> RecordProcesses(std::shared_ptr<const ProcessService> live,
                                                      ServiceRecordings& recordings);

}  // namespace tavrin::platform
