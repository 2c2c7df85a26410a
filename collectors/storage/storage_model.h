// The data model of the physical storage collector, in raw units.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collectors/storage/ata_identify.h"
#include "collectors/storage/ata_power.h"
#include "collectors/storage/ata_smart.h"
#include "collectors/storage/nvme_log.h"
#include "collectors/storage/optical.h"
#include "collectors/storage/windows_storage_structs.h"
#include "platform/provenance.h"

namespace tavrin::collectors {

/// Device types (FILE_DEVICE_* codes) the pages tell apart.
inline constexpr uint32_t kDeviceTypeCdRom = 2;
inline constexpr uint32_t kDeviceTypeDisk = 7;
inline constexpr uint32_t kDeviceTypeTape = 31;

struct TPartitionInfo {
  int64_t StartingOffset = 0;  ///< bytes
  int64_t Length = 0;          ///< bytes
  uint32_t Number = 0;
  std::string Name;        ///< "sda1"
  std::string FileSystem;  ///< "ext4", from the udev database or the mount table
  std::string Label;
  std::string MountPoint;  ///< first mount point (a drive letter on Windows); empty when none
  // A Windows machine's partition table entry tells these too.
  uint32_t HiddenSectors = 0;
  uint8_t Typ = 0;  ///< partition type byte
  bool BootIndicator = false, Recognized = false, Rewrite = false;
};

struct TDeviceInfo {
  /// Position in the kernel's block device list; on Windows the number N of the device name
  /// (PhysicalDrive N, Cdrom N, Tape N).
  int Device = 0;
  std::string Drive;  ///< a logical device's drive letter ("C:")
  /// A logical device's physical device (index in the physical list) and partition (index in
  /// its Layout); -1 when not known.
  int PHYSIndex = -1, LayoutIndex = -1;
  std::string Model, Revision, SerialNumber;
  int HaId = -1, Target = -1, Lun = -1, PathID = -1;  ///< SCSI host, target, LUN, channel
  uint32_t DeviceType = 0;  ///< kDeviceTypeDisk, kDeviceTypeCdRom, kDeviceTypeTape
  uint32_t MediaType = 0;
  uint32_t BusType = 0;  ///< storage bus type number (SATA 11, NVMe 17 ...)
  bool Removable = false;
  int64_t Size = 0;  ///< bytes
  uint32_t Cylinders = 0, Heads = 0, BytesPerSector = 0, BytesPerTrack = 0, SectorsPerTrack = 0;
  uint64_t AddressableSectors = 0;
  uint32_t CtlBufSize = 0;
  uint32_t ECCCode = 0;
  uint32_t ATAVersion = 0;
  int Temperature = 0;  ///< degrees Celsius; 0 when not read
  bool SMARTSupport = false, SMARTActive = false;
  std::vector<TPartitionInfo> Layout;
  std::vector<SmartAttribute> SMARTAttributes;
  std::optional<DiskGeometry> Geometry;  ///< as the disk driver reports it (Windows)
  std::vector<DiskExtent> Extents;       ///< a volume's pieces on its disks (Windows)
  std::string DevicePath;                ///< the device name opened ("\\.\PhysicalDrive0")

  // What this system tells beyond the fields above.
  std::string Name;       ///< kernel name: "sda", "nvme0n1"
  std::string Transport;  ///< "sata", "nvme", "usb", "virtio", "scsi" ...; empty when unknown
  std::string Vendor;
  std::string Wwn;
  std::optional<bool> Rotational;
  uint32_t LogicalSectorBytes = 0, PhysicalSectorBytes = 0;
  uint32_t AtaMajorVersion = 0;          ///< highest major version bit of IDENTIFY word 80
  uint32_t RotationRate = 0;             ///< IDENTIFY word 217: 1 = solid state, else rpm
  std::vector<std::string> MountPoints;  ///< the whole device mounted without partitions
  std::optional<NvmeHealth> Nvme;        ///< the NVMe health log
  std::optional<SmartData> Smart;        ///< the decoded attribute table
  std::optional<IdentifyChecksum> Checksum;
  std::optional<AtaPowerMode> PowerMode;  ///< asked before anything else; nullopt if unknown
  platform::Provenance PowerSource;       ///< where the power mode came from, or why unknown
  bool LeftAsleep = false;  ///< in standby or suspended: nothing was read, so as not to wake it
  std::optional<OpticalCapabilities> Optical;  ///< an optical drive's read and write abilities
  platform::Provenance OpticalSource;          ///< where they came from, or why unknown
  platform::Provenance Source;                 ///< the kernel's record of the device
  platform::Provenance IdentifySource;         ///< IDENTIFY or NVMe identify, or why there is none
  platform::Provenance SmartSource;  ///< S.M.A.R.T. data or health log, or why there is none
};

}  // namespace tavrin::collectors
