// Where the storage services plug into the live, recorded and recording service sets.
// Until the area has its services, every source leaves them null.
#include "platform/service_hooks.h"

namespace tavrin::platform {

void AddLinuxStorage(Services&) {}

void LoadRecordedStorage(const std::filesystem::path&, Services&, std::vector<std::string>&) {}

void RecordStorage(const Services& live, Services& recording, ServiceRecordings&) {
  recording.storage = live.storage;
}

}  // namespace tavrin::platform
