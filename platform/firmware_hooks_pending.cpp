// Placeholder hooks until the firmware service lands: no firmware data from any source.
#include "platform/service_hooks.h"

namespace tavrin::platform {

std::shared_ptr<const FirmwareService> MakeLinuxFirmwareService(std::shared_ptr<const FileReader>) {
  return nullptr;
}
std::shared_ptr<const FirmwareService> LoadRecordedFirmware(const std::filesystem::path&,
                                                              std::vector<std::string>&) {
  return nullptr;
}
std::shared_ptr<const FirmwareService> LoadFirmwareDumpFile(const std::filesystem::path&) {
  return nullptr;
}
std::shared_ptr<const FirmwareService> RecordFirmware(std::shared_ptr<const FirmwareService> live,
                                                        std::unique_ptr<ServiceRecording>&) {
  return live;
}

}  // namespace tavrin::platform
