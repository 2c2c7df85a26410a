#include "platform/linux/linux_storage.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kMountInfo = "/proc/self/mountinfo";

class SysfsStorageService : public StorageService {
 public:
  SysfsStorageService(std::shared_ptr<const FileReader> files,
                      std::shared_ptr<const StorageProbes> probes)
      : files_(std::move(files)), probes_(std::move(probes)) {}

  Answer<std::string> MountTable() const override { return files_->ReadFile(kMountInfo); }
  Answer<FsStats> FileSystemStats(const std::string& mountPoint, bool network) const override {
    return probes_->Stat(mountPoint, network);
  }
  Answer<std::vector<BlockDeviceRecord>> BlockDevices() const override {
    return ReadBlockDevices(*files_);
  }
  Answer<std::string> DeviceCommand(const std::string& name, DeviceQuery query) const override {
    return probes_->Command(name, query);
  }
  Answer<uint32_t> ScsiGenericCount() const override { return ReadScsiGenericCount(*files_); }
  Answer<std::vector<ScsiDeviceRecord>> ScsiDevices() const override {
    return ReadScsiDevices(*files_);
  }
  Answer<WindowsVolumes> WindowsVolumeAnswers() const override { return probes_->Windows(); }

 private:
  std::shared_ptr<const FileReader> files_;
  std::shared_ptr<const StorageProbes> probes_;
};

}  // namespace

std::shared_ptr<const StorageService> MakeSysfsStorageService(
    std::shared_ptr<const FileReader> files, std::shared_ptr<const StorageProbes> probes) {
  return std::make_shared<SysfsStorageService>(std::move(files), std::move(probes));
}

}  // namespace tavrin::platform
