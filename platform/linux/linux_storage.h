// The Linux storage service: the mount table and the block devices read through the file
// reader (so a captured tree replays them), and the answers that are not file reads (statvfs
// of a mount point, commands sent to a device) from a probe object that the live machine, a
// snapshot and a recording each supply.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/file_reader.h"
#include "platform/storage.h"

struct statvfs;

namespace tavrin::platform {

class ServiceRecording;

/// The answers of a storage service that are not file reads.
class StorageProbes {
 public:
  virtual ~StorageProbes() = default;
  virtual Answer<FsStats> Stat(const std::string& mountPoint, bool network) const = 0;
  virtual Answer<std::string> Command(const std::string& name, DeviceQuery query) const = 0;
  virtual Answer<WindowsVolumes> Windows() const;  // NotSupported unless a snapshot has them
};

/// How long a statvfs may take before its file system counts as not answering.
struct StatLimits {
  std::chrono::milliseconds local{1000};
  std::chrono::milliseconds network{2000};
};
/// The statvfs call itself, replaceable so a test can make it hang or fail.
using StatFunction = std::function<int(const char* path, struct statvfs* out)>;

/// statvfs under a time limit, and ATA/NVMe commands through ioctls on /dev nodes (each
/// under a time limit too: a device that never answers must not stop the gathering).
std::shared_ptr<const StorageProbes> MakeLiveStorageProbes(StatLimits limits = {},
                                                           StatFunction stat = {});

/// The service over a file reader and a probe object.
std::shared_ptr<const StorageService> MakeSysfsStorageService(
    std::shared_ptr<const FileReader> files, std::shared_ptr<const StorageProbes> probes);

/// The service over `recordingFiles` whose probe answers are also written to storage.json
/// by what it pushes onto `recordings` (platform/recording/recording_storage.cpp).
std::shared_ptr<const StorageService> RecordStorageProbes(
    std::shared_ptr<const FileReader> recordingFiles, std::shared_ptr<const StorageProbes> live,
    std::vector<std::unique_ptr<ServiceRecording>>& recordings);

/// Every block device under /sys/block, read through `files` (exposed for tests).
Answer<std::vector<BlockDeviceRecord>> ReadBlockDevices(const FileReader& files);
/// The count of /sys/class/scsi_generic entries.
Answer<uint32_t> ReadScsiGenericCount(const FileReader& files);
/// Every SCSI device under /sys/class/scsi_device, read through `files`, in address order.
Answer<std::vector<ScsiDeviceRecord>> ReadScsiDevices(const FileReader& files);
/// The E: lines of a udev database record ("E:ID_FS_TYPE=ext4").
std::map<std::string, std::string> ParseUdevRecord(std::string_view text);

/// The kernel's CD-ROM driver list (/proc/sys/dev/cdrom/info): for each drive named on its
/// "drive name:" row, that drive's column of every row after it, by the row's label.
std::map<std::string, std::map<std::string, std::string>> ParseCdromInfo(std::string_view text);

/// A failed device command's provenance: permission, absence and "the device does not take
/// this command" told apart from the errno.
Provenance DeviceCommandFailure(int err, const std::string& source);

/// The Count register an ATA PASS-THROUGH command with CK_COND returns in its sense data
/// (descriptor or fixed format); nullopt when the sense data carries no ATA registers.
std::optional<uint8_t> AtaCountFromSense(std::span<const uint8_t> sense);

}  // namespace tavrin::platform
