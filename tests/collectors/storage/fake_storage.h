// A storage service answering from fields a test fills in, for the collectors and pages.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/services.h"
#include "platform/storage.h"
#include "tests/support/test_services.h"

namespace tavrin::testing {

class FakeStorage : public platform::StorageService {
 public:
  using Status = platform::Status;
  template <class T>
  using Answer = platform::Answer<T>;

  std::string mountInfo;
  std::vector<platform::BlockDeviceRecord> devices;
  std::map<std::string, Answer<platform::FsStats>> stats;
  std::map<std::pair<std::string, platform::DeviceQuery>, Answer<std::string>> commands;
  std::optional<platform::WindowsVolumes> windows;
  Answer<std::vector<platform::ScsiDeviceRecord>> scsi =
      Answer<std::vector<platform::ScsiDeviceRecord>>::Fail(Status::Missing, "scsi_device");
  /// Every command sent, in order: what a sleeping disk must not be sent is checked here.
  mutable std::vector<std::pair<std::string, platform::DeviceQuery>> asked;

  Answer<std::string> MountTable() const override {
    return Answer<std::string>::Of(mountInfo, "mountinfo");
  }
  Answer<platform::FsStats> FileSystemStats(const std::string& mountPoint, bool) const override {
    auto it = stats.find(mountPoint);
    if (it != stats.end()) return it->second;
    return Answer<platform::FsStats>::Fail(Status::Missing, "statvfs " + mountPoint);
  }
  Answer<std::vector<platform::BlockDeviceRecord>> BlockDevices() const override {
    return Answer<std::vector<platform::BlockDeviceRecord>>::Of(devices, "/sys/block");
  }
  Answer<std::string> DeviceCommand(const std::string& name,
                                    platform::DeviceQuery q) const override {
    asked.emplace_back(name, q);
    auto it = commands.find({name, q});
    if (it != commands.end()) return it->second;
    return Answer<std::string>::Fail(Status::NotSupported, "command on " + name,
                                     "the device does not take this command");
  }
  Answer<uint32_t> ScsiGenericCount() const override {
    return Answer<uint32_t>::Fail(Status::Missing, "scsi_generic", "sg not loaded");
  }
  Answer<std::vector<platform::ScsiDeviceRecord>> ScsiDevices() const override { return scsi; }
  Answer<platform::WindowsVolumes> WindowsVolumeAnswers() const override {
    if (windows) return Answer<platform::WindowsVolumes>::Of(*windows, "storage.json");
    return Answer<platform::WindowsVolumes>::Fail(Status::NotSupported, "drive letters");
  }

  static Answer<platform::FsStats> Stats(uint64_t frsize, uint64_t blocks, uint64_t avail,
                                         uint64_t free, uint64_t nameMax = 255) {
    platform::FsStats s;
    s.blockSize = frsize;
    s.fragmentSize = frsize;
    s.blocks = blocks;
    s.blocksAvailable = avail;
    s.blocksFree = free;
    s.nameMax = nameMax;
    s.files = 1000;
    s.filesFree = 900;
    return Answer<platform::FsStats>::Of(s, "statvfs");
  }
};

/// Test services holding `storage` (and fixed system facts).
inline std::shared_ptr<const platform::Services> WithStorage(
    std::shared_ptr<const platform::StorageService> storage) {
  auto services = std::make_shared<platform::Services>();
  services->system = std::make_shared<FixedSystemFacts>();
  services->storage = std::move(storage);
  return services;
}

}  // namespace tavrin::testing
