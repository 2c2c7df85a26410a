// The storage service: mounted file systems and the block devices under them, with the raw
// answers the devices themselves give (ATA IDENTIFY and S.M.A.R.T. sectors, NVMe identify
// data and health log). Decoding is the collectors' work; this service only fetches bytes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

/// What statvfs answers for one mounted file system, in its own units.
struct FsStats {
  uint64_t blockSize = 0;     ///< f_bsize: preferred I/O block size
  uint64_t fragmentSize = 0;  ///< f_frsize: the unit the block counts are in
  uint64_t blocks = 0, blocksFree = 0, blocksAvailable = 0;  ///< free: for root; available: users
  uint64_t files = 0, filesFree = 0, filesAvailable = 0;
  uint64_t fileSystemId = 0;
  uint64_t flags = 0;    ///< ST_RDONLY, ST_NOSUID ... as the kernel numbers them
  uint64_t nameMax = 0;  ///< longest file name component
};

/// A partition of a block device.
struct BlockPartition {
  std::string name;          ///< "sda1", "nvme0n1p2"
  std::string deviceNumber;  ///< "8:1"
  uint32_t number = 0;
  uint64_t startSector = 0, sizeSectors = 0;  ///< in 512-byte units, as the kernel counts
  std::map<std::string, std::string> udev;    ///< ID_FS_TYPE, ID_FS_LABEL, ID_FS_UUID ...
};

struct ScsiAddress {
  int host = -1, channel = -1, target = -1, lun = -1;
};

/// One block device as the kernel describes it. Empty texts were not given.
struct BlockDeviceRecord {
  std::string name;          ///< kernel name: "sda", "nvme0n1", "vda", "sr0", "st0"
  std::string deviceNumber;  ///< "8:0"
  uint64_t sizeSectors = 0;  ///< in 512-byte units
  uint32_t logicalBlockSize = 0, physicalBlockSize = 0;
  std::optional<bool> rotational, removable, readOnly;
  std::string model, vendor, revision, serial, wwn;
  /// How the device is attached: "sata", "ata", "nvme", "usb", "virtio", "scsi", "sas",
  /// "mmc", "loop", "ram", "xen"... ; empty when unknown.
  std::string transport;
  std::optional<int> scsiType;  ///< SCSI peripheral device type: 0 disk, 1 tape, 5 optical
  std::optional<ScsiAddress> scsiAddress;
  std::string loopBackingFile;  ///< a loop device's backing file; empty when it has none
  /// The kernel's runtime power state of the device ("active", "suspended"); empty when the
  /// kernel does not manage it. A suspended disk wakes for any command sent to it.
  std::string runtimeStatus;
  std::vector<BlockPartition> partitions;
  std::map<std::string, std::string> udev;  ///< the udev database's properties (E: lines)
  /// An optical drive's rows in the kernel's CD-ROM driver list by their label ("Can write
  /// CD-R" -> "1", "drive speed" -> "24"); empty for other devices or when not listed.
  std::map<std::string, std::string> cdromInfo;
  Provenance cdromInfoSource;  ///< where cdromInfo came from, or why it is empty
  Provenance source;
};

/// Which raw answer of a device to fetch.
enum class DeviceQuery : uint8_t {
  kAtaIdentify,         ///< IDENTIFY DEVICE (ECh), 512 bytes
  kAtaIdentifyPacket,   ///< IDENTIFY PACKET DEVICE (A1h), 512 bytes
  kAtaSmartData,        ///< SMART READ DATA (B0h/D0h), 512 bytes
  kAtaSmartThresholds,  ///< SMART READ ATTRIBUTE THRESHOLDS (B0h/D1h), 512 bytes
  /// CHECK POWER MODE (E5h): one byte, the Count register of the drive's answer (00h standby,
  /// 80h idle, FFh active or idle ...). It never spins a disk up, so it is asked first.
  kAtaCheckPowerMode,
  kNvmeIdentifyController,  ///< Identify, CNS 01h, 4096 bytes
  kNvmeHealthLog,           ///< Get Log Page 02h, 512 bytes
};
std::string_view DeviceQueryName(DeviceQuery query);
std::optional<DeviceQuery> DeviceQueryFromName(std::string_view name);
/// Whether the query goes to an NVMe controller (else to an ATA device).
bool IsNvmeQuery(DeviceQuery query);

/// One SCSI device the kernel knows (a disk, optical or tape drive, a changer, an enclosure),
/// with the texts the kernel copied from the device's INQUIRY data. The Linux counterpart of
/// the SCSI devices an ASPI layer lists on Windows.
struct ScsiDeviceRecord {
  int host = -1, channel = -1, target = -1, lun = -1;
  std::optional<int> type;  ///< SCSI peripheral device type: 0 disk, 1 tape, 5 CD/DVD ...
  std::string vendor, model, revision;
  std::string state;  ///< the kernel's state of the device: "running", "offline" ...
  Provenance source;
};

/// A Windows volume query's answers as a replayed snapshot holds them (drive letters); the
/// Linux machine has none and answers NotSupported.
struct WindowsVolume {
  std::string drive;  ///< "C:"
  uint32_t driveType = 0;
  bool mediaPresent = false;
  uint32_t sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  int64_t freeBytes = 0, totalBytes = 0;
  bool volumeInfoOk = false;
  std::string label, fileSystem;
  uint32_t serial = 0, volumeFlags = 0, maxComponentLength = 0;
  bool rootCompressed = false;
  std::string uncPath;
};
struct WindowsVolumes {
  std::u16string driveStrings;  ///< the drive-strings buffer, "C:\\\0D:\\\0\0"
  std::string systemDrive;      ///< "C:"
  std::vector<WindowsVolume> volumes;
};

class StorageService {
 public:
  virtual ~StorageService() = default;

  /// The kernel's mount table of this process (mountinfo text).
  virtual Answer<std::string> MountTable() const = 0;
  /// statvfs of a mount point, under a time limit: a network server that stopped answering
  /// gives TimedOut instead of a hang. `network` allows the longer limit such mounts need.
  virtual Answer<FsStats> FileSystemStats(const std::string& mountPoint, bool network) const = 0;
  /// Every block device with its partitions, in kernel name order. A device that disappears
  /// while it is read is left out.
  virtual Answer<std::vector<BlockDeviceRecord>> BlockDevices() const = 0;
  /// The raw answer bytes of one command sent to device `name` (kernel name). Unprivileged,
  /// or on a device that does not take the command, the reason is in the provenance.
  virtual Answer<std::string> DeviceCommand(const std::string& name, DeviceQuery query) const = 0;
  /// How many SCSI generic (sg) device nodes exist.
  virtual Answer<uint32_t> ScsiGenericCount() const = 0;
  /// Every SCSI device the kernel lists, by host, channel, target and LUN.
  virtual Answer<std::vector<ScsiDeviceRecord>> ScsiDevices() const = 0;
  /// Drive letters with their volume answers, from a Windows snapshot.
  virtual Answer<WindowsVolumes> WindowsVolumeAnswers() const = 0;
};

}  // namespace tavrin::platform
