// The side sources of the Linux device walk: the udev properties (through libudev where it
// loads, else udev's database files) and the failed probes the kernel log tells of.
#include "platform/linux/linux_device_text.h"
#include "platform/linux/linux_devices.h"

namespace tavrin::platform {

using namespace device_text;

namespace {

constexpr const char* kUdevLibrary = "libudev.so.1";
constexpr std::string_view kUdevData = "/run/udev/data";
// The names udev's hardware database gave a device.
const std::vector<const char*> kUdevNameKeys = {"ID_VENDOR_FROM_DATABASE",
                                                "ID_MODEL_FROM_DATABASE"};

}  // namespace

void LinuxDeviceService::OpenSideSources(Walk& walk) const {
  // Without udev's database neither libudev nor its files have names to give; binding
  // libudev then would only cost time.
  const auto data = files_->ListDir(kUdevData);
  walk.udevDatabase = data.ok();
  if (!data) {
    walk.sources.udev = Provenance::Failure(data.source.status, std::string(kUdevData),
                                            "udev keeps no database here");
  } else {
    // Only the running machine is udev's: below a captured tree its files are read instead.
    Provenance library =
        Provenance::Failure(Status::NotSupported, kUdevLibrary, "not used for a captured tree");
    if (files_->root() == std::filesystem::path("/"))
      walk.udev = UdevLibrary::Open(kUdevLibrary, library);
    if (walk.udev) {
      walk.sources.udev = library;
    } else {
      // The fallback was chosen for a reason; --explain names it.
      const std::string why =
          library.detail.empty() ? std::string(StatusName(library.status)) : library.detail;
      walk.sources.udev = Provenance::Answered(std::string(kUdevData) + " (" +
                                               std::string(kUdevLibrary) + " " + why + ")");
    }
  }
  // Only the records that can be about a probe are kept.
  auto log = ReadKernelLog(*files_, "probe ");
  walk.sources.kernelLog = log.source;
  if (log) walk.probeFailures = ParseProbeFailures(*log);
}

void LinuxDeviceService::ReadUdevNames(const Walk& walk, const std::string& path,
                                       std::string_view uevent, DeviceModelFacts& f) const {
  if (walk.udev) {
    const auto values = walk.udev->Properties(path, kUdevNameKeys);
    f.udevVendor = values[0];
    f.udevModel = values[1];
    return;
  }
  if (!walk.udevDatabase) return;
  // udev keeps its database per device: "c<major>:<minor>" for a node, "+<subsystem>:<name>"
  // for the others.
  std::string key = "+" + f.subsystem + ":" + f.kernelName;
  if (const auto major = UeventValue(uevent, "MAJOR"); !major.empty())
    key = (f.subsystem == "block" ? "b" : "c") + major + ":" + UeventValue(uevent, "MINOR");
  auto db = files_->ReadFile(std::string(kUdevData) + "/" + key, 65536);
  if (!db) return;
  std::string_view rest = *db;
  while (!rest.empty()) {
    const auto end = rest.find('\n');
    const auto line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (line.rfind("E:ID_VENDOR_FROM_DATABASE=", 0) == 0) f.udevVendor = line.substr(26);
    if (line.rfind("E:ID_MODEL_FROM_DATABASE=", 0) == 0) f.udevModel = line.substr(25);
  }
}

DeviceWalkSources LinuxDeviceService::WalkSources() const {
  std::lock_guard lock(mutex_);
  return sources_;
}

}  // namespace tavrin::platform
