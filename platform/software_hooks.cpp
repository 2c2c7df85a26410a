// Where the software services plug into the live, recorded and recording service sets.
// Until the area has its services, every source leaves them null.
#include "platform/service_hooks.h"

namespace tavrin::platform {

void AddLinuxSoftware(Services&) {}

void LoadRecordedSoftware(const std::filesystem::path&, Services&, std::vector<std::string>&) {}

void RecordSoftware(const Services& live, Services& recording, ServiceRecordings&) {
  recording.software = live.software;
}

}  // namespace tavrin::platform
