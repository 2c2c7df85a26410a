// Where the network services plug into the live, recorded and recording service sets.
// Until the area has its services, every source leaves them null.
#include "platform/service_hooks.h"

namespace tavrin::platform {

void AddLinuxNetwork(Services&) {}

void LoadRecordedNetwork(const std::filesystem::path&, Services&, std::vector<std::string>&) {}

void RecordNetwork(const Services& live, Services& recording, ServiceRecordings&) {
  recording.network = live.network;
}

}  // namespace tavrin::platform
