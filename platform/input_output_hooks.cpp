// Where the input output services plug into the live, recorded and recording service sets.
// Until the area has its services, every source leaves them null.
#include "platform/service_hooks.h"

namespace tavrin::platform {

void AddLinuxInputOutput(Services&) {}

void LoadRecordedInputOutput(const std::filesystem::path&, Services&, std::vector<std::string>&) {}

void RecordInputOutput(const Services& live, Services& recording, ServiceRecordings&) {
  recording.usb = live.usb;
  recording.bluetooth = live.bluetooth;
  recording.audio = live.audio;
  recording.power = live.power;
  recording.printers = live.printers;
}

}  // namespace tavrin::platform
