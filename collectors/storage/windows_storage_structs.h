// The structures a Windows machine's disk, storage, SCSI and SMART device controls exchange,
// as the public Windows headers lay them out (little-endian, natural alignment unless noted):
// decoders of the answers and builders of the requests. Pure functions over bytes, so a
// recorded answer (or one built by hand in a test) decodes the same anywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tavrin::collectors {

/// The control codes the storage collector sends (CTL_CODE values of the Windows headers).
namespace control {
inline constexpr uint32_t kGetDriveGeometry = 0x70000;  ///< IOCTL_DISK_GET_DRIVE_GEOMETRY
inline constexpr uint32_t kGetDriveLayout = 0x7400C;    ///< IOCTL_DISK_GET_DRIVE_LAYOUT
inline constexpr uint32_t kGetVolumeDiskExtents =
    0x560000;                                           ///< IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS
inline constexpr uint32_t kScsiGetAddress = 0x41018;    ///< IOCTL_SCSI_GET_ADDRESS
inline constexpr uint32_t kGetMediaTypesEx = 0x2D0C04;  ///< IOCTL_STORAGE_GET_MEDIA_TYPES_EX
inline constexpr uint32_t kStorageQueryProperty = 0x2D1400;  ///< IOCTL_STORAGE_QUERY_PROPERTY
inline constexpr uint32_t kSmartGetVersion = 0x74080;        ///< SMART_GET_VERSION
inline constexpr uint32_t kSmartReceiveDriveData = 0x7C088;  ///< SMART_RCV_DRIVE_DATA
inline constexpr uint32_t kScsiMiniport = 0x4D008;           ///< IOCTL_SCSI_MINIPORT
inline constexpr uint32_t kScsiPassThrough = 0x4D004;        ///< IOCTL_SCSI_PASS_THROUGH
/// SRB_IO_CONTROL.ControlCode of the miniport identify: (FILE_DEVICE_SCSI << 16) + 0x0501.
inline constexpr uint32_t kMiniportIdentify = 0x1B0501;
}  // namespace control

/// DISK_GEOMETRY (24 bytes).
struct DiskGeometry {
  int64_t Cylinders = 0;
  uint32_t MediaType = 0, TracksPerCylinder = 0, SectorsPerTrack = 0, BytesPerSector = 0;
};
std::optional<DiskGeometry> DecodeDiskGeometry(std::span<const uint8_t> bytes);

/// One PARTITION_INFORMATION entry (32 bytes).
struct PartitionEntry {
  int64_t startingOffset = 0, length = 0;
  uint32_t hiddenSectors = 0, number = 0;
  uint8_t type = 0;
  bool bootIndicator = false, recognized = false, rewrite = false;
};
/// DRIVE_LAYOUT_INFORMATION: every entry the count names that the buffer holds (recognized
/// or not). Nullopt when the buffer is shorter than its 8-byte head.
std::optional<std::vector<PartitionEntry>> DecodeDriveLayout(std::span<const uint8_t> bytes);

/// One DISK_EXTENT of a volume (24 bytes).
struct DiskExtent {
  uint32_t DiskNumber = 0;
  int64_t StartingOffset = 0, ExtentLength = 0;
};
/// VOLUME_DISK_EXTENTS: the extents the count names that the buffer holds.
std::optional<std::vector<DiskExtent>> DecodeVolumeDiskExtents(std::span<const uint8_t> bytes);

/// SCSI_ADDRESS (8 bytes).
struct ScsiAddressData {
  uint8_t portNumber = 0, pathId = 0, targetId = 0, lun = 0;
};
std::optional<ScsiAddressData> DecodeScsiAddress(std::span<const uint8_t> bytes);

/// GET_MEDIA_TYPES: the device type (a FILE_DEVICE_* code) and the first media entry's type;
/// a tape's entry also names its bus type.
struct MediaTypesData {
  uint32_t deviceType = 0;
  std::optional<uint32_t> mediaType, busType;
};
inline constexpr uint32_t kFileDeviceTape = 0x1F;
std::optional<MediaTypesData> DecodeMediaTypes(std::span<const uint8_t> bytes);

/// STORAGE_DEVICE_DESCRIPTOR: its texts trimmed (empty when the offset is 0 or outside).
struct StorageDescriptor {
  std::string vendor, product, revision, serial;
  uint32_t busType = 0;
  bool removable = false;
};
std::optional<StorageDescriptor> DecodeStorageDescriptor(std::span<const uint8_t> bytes);

/// GETVERSIONINPARAMS (24 bytes).
struct SmartVersion {
  uint8_t version = 0, revision = 0, ideDeviceMap = 0;
  uint32_t capabilities = 0;
};
std::optional<SmartVersion> DecodeSmartVersion(std::span<const uint8_t> bytes);

/// SENDCMDOUTPARAMS: the driver's status and the data bytes after its 16-byte head.
struct SmartReply {
  uint8_t driverError = 0, ideError = 0;
  std::vector<uint8_t> data;
};
std::optional<SmartReply> DecodeSendCmdOut(std::span<const uint8_t> bytes);

/// IDEREGS: the task file of one ATA command.
struct IdeRegisters {
  uint8_t features = 0, sectorCount = 0, sectorNumber = 0, cylinderLow = 0, cylinderHigh = 0,
          driveHead = 0, command = 0;
};
/// SENDCMDINPARAMS (byte-packed): cBufferSize 512, the registers and the drive number, zero
/// filled to `size` bytes (33 with its one-byte buffer, 32 without).
std::string BuildSendCmdIn(uint8_t drive, const IdeRegisters& regs, std::size_t size = 33);

/// STORAGE_PROPERTY_QUERY for the device descriptor, standard query (12 bytes of zeros).
std::string BuildDevicePropertyQuery();

/// SRB_IO_CONTROL ("SCSIDISK", the miniport identify code) followed by SENDCMDINPARAMS for
/// IDENTIFY DEVICE of `drive`; the reply is the same head followed by SENDCMDOUTPARAMS.
std::string BuildMiniportIdentify(uint8_t drive);
std::optional<SmartReply> DecodeMiniportIdentify(std::span<const uint8_t> bytes);

/// SCSI_PASS_THROUGH in the 64-bit layout (56 bytes: the data buffer offset is pointer
/// sized), data-in, with the sense buffer at offset 60 and the data buffer at 92 of the
/// caller's buffer as its header describes them.
std::string BuildScsiPassThrough(std::span<const uint8_t> cdb, uint32_t dataLength);
/// The data bytes of a returned SCSI_PASS_THROUGH buffer: the header (32-bit layout, 44
/// bytes, or 64-bit, 56 bytes, told by its Length field) says where they are and how many
/// came back. Nullopt when the header is short or unknown, or its data lies outside.
std::optional<std::vector<uint8_t>> DecodeScsiPassThroughData(std::span<const uint8_t> bytes);

}  // namespace tavrin::collectors
