// Placeholder hooks until the processor service lands: no processor data from any source.
#include "platform/service_hooks.h"

namespace tavrin::platform {

std::shared_ptr<const ProcessorService> MakeLinuxProcessorService(std::shared_ptr<const FileReader>) {
  return nullptr;
}
std::shared_ptr<const ProcessorService> LoadRecordedProcessor(const std::filesystem::path&,
                                                              std::vector<std::string>&) {
  return nullptr;
}
std::shared_ptr<const ProcessorService> LoadProcessorDumpFile(const std::filesystem::path&) {
  return nullptr;
}
std::shared_ptr<const ProcessorService> RecordProcessor(std::shared_ptr<const ProcessorService> live,
                                                        std::unique_ptr<ServiceRecording>&) {
  return live;
}

}  // namespace tavrin::platform
