// Parallel ports from the parport driver's folder in /proc/sys/dev/parport: one folder per
// port ("parport0") with its settings, and "devices/active" naming the driver that holds it.
// The files are read through the file reader, so a snapshot carries them.
#include <algorithm>

#include "platform/file_reader.h"
#include "platform/ports.h"
#include "platform/service_hooks.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kParport = "/proc/sys/dev/parport";
constexpr std::size_t kTextLimit = 4096;

class LinuxPortService : public PortService {
 public:
  explicit LinuxPortService(std::shared_ptr<const FileReader> files) : files_(std::move(files)) {}

  Answer<std::vector<ParallelPortRecord>> ParallelPorts() const override {
    auto names = files_->ListDir(kParport);
    if (!names) {
      Provenance why = names.source;
      if (why.status == Status::Missing)
        why.detail = "no parallel port driver is loaded (the parport module)";
      return {std::nullopt, why};
    }
    std::vector<std::string> sorted = *names;
    std::sort(sorted.begin(), sorted.end());
    std::vector<ParallelPortRecord> ports;
    for (const auto& name : sorted) {
      // Besides the ports the folder holds "default" with the driver's time slices.
      if (name.rfind("parport", 0) != 0) continue;
      ParallelPortRecord r;
      r.name = name;
      const std::string dir = std::string(kParport) + "/" + name;
      r.source = Provenance::Answered(dir);
      for (const char* file : {"base-addr", "irq", "dma", "modes", "autoprobe", "autoprobe0",
                               "autoprobe1", "autoprobe2", "autoprobe3"})
        if (auto text = files_->ReadFile(dir + "/" + file, kTextLimit)) r.texts[file] = *text;
      if (auto active = files_->ReadFile(dir + "/devices/active", kTextLimit))
        r.texts["active"] = *active;
      // A port that went away between the listing and the reads is no port.
      if (r.texts.empty()) continue;
      ports.push_back(std::move(r));
    }
    return Answer<std::vector<ParallelPortRecord>>::Of(std::move(ports), std::string(kParport));
  }

 private:
  std::shared_ptr<const FileReader> files_;
};

}  // namespace

// Live, replayed and recording sets all read the same files: the snapshot carries them.
void AddLinuxPorts(Services& services) {
  if (services.files) services.ports = std::make_shared<LinuxPortService>(services.files);
}

void LoadRecordedPorts(const std::filesystem::path&, Services& services,
                       std::vector<std::string>&) {
  AddLinuxPorts(services);
}

void RecordPorts(const Services&, Services& recording, ServiceRecordings&) {
  AddLinuxPorts(recording);
}

}  // namespace tavrin::platform
