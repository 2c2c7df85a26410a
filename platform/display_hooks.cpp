// Where the display services plug into the live, recorded and recording service sets.
// Until the area has its services, every source leaves them null.
#include "platform/service_hooks.h"

namespace tavrin::platform {

void AddLinuxDisplay(Services&) {}

void LoadRecordedDisplay(const std::filesystem::path&, Services&, std::vector<std::string>&) {}

void RecordDisplay(const Services& live, Services& recording, ServiceRecordings&) {
  recording.display = live.display;
}

}  // namespace tavrin::platform
