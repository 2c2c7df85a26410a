// Where the live monitor services plug into the live, recorded and recording service sets.
// Until the area has its services, every source leaves them null.
#include "platform/service_hooks.h"

namespace tavrin::platform {

void AddLinuxLiveMonitor(Services&) {}

void LoadRecordedLiveMonitor(const std::filesystem::path&, Services&, std::vector<std::string>&) {}

void RecordLiveMonitor(const Services& live, Services& recording, ServiceRecordings&) {
  recording.memory = live.memory;
  recording.processes = live.processes;
}

}  // namespace tavrin::platform
