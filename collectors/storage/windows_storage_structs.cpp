#include "collectors/storage/windows_storage_structs.h"

#include <string_view>

#include "base/byte_order.h"

namespace tavrin::collectors {
namespace {

using Bytes = std::span<const uint8_t>;

using base::LeU16;
using base::LeU32;
using base::LeU64;
using base::PutLeU32;

// Drivers pad the descriptor's texts with blanks, on either side.
std::string Trimmed(std::string s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// A zero-terminated text at `offset`; empty for offset 0 (not given) or outside the buffer.
std::string TextAt(Bytes b, uint32_t offset) {
  std::string text;
  if (offset == 0) return text;
  for (std::size_t i = offset; i < b.size() && b[i] != 0; ++i)
    text.push_back(static_cast<char>(b[i]));
  return Trimmed(std::move(text));
}

constexpr std::size_t kSendCmdOutHead = 16;  // cBufferSize and DRIVERSTATUS
constexpr std::size_t kSrbIoControl = 28;    // SRB_IO_CONTROL

}  // namespace

std::optional<DiskGeometry> DecodeDiskGeometry(Bytes b) {
  if (b.size() < 24) return std::nullopt;
  DiskGeometry g;
  g.Cylinders = static_cast<int64_t>(LeU64(b, 0));
  g.MediaType = LeU32(b, 8);
  g.TracksPerCylinder = LeU32(b, 12);
  g.SectorsPerTrack = LeU32(b, 16);
  g.BytesPerSector = LeU32(b, 20);
  return g;
}

std::optional<std::vector<PartitionEntry>> DecodeDriveLayout(Bytes b) {
  constexpr std::size_t kHead = 8, kEntry = 32;
  if (b.size() < kHead) return std::nullopt;
  std::vector<PartitionEntry> entries;
  const uint32_t count = LeU32(b, 0);
  for (std::size_t i = 0; i < count && kHead + (i + 1) * kEntry <= b.size(); ++i) {
    const std::size_t at = kHead + i * kEntry;
    PartitionEntry p;
    p.startingOffset = static_cast<int64_t>(LeU64(b, at));
    p.length = static_cast<int64_t>(LeU64(b, at + 8));
    p.hiddenSectors = LeU32(b, at + 16);
    p.number = LeU32(b, at + 20);
    p.type = b[at + 24];
    p.bootIndicator = b[at + 25] != 0;
    p.recognized = b[at + 26] != 0;
    p.rewrite = b[at + 27] != 0;
    entries.push_back(p);
  }
  return entries;
}

std::optional<std::vector<DiskExtent>> DecodeVolumeDiskExtents(Bytes b) {
  constexpr std::size_t kHead = 8, kEntry = 24;  // the count is padded to the 64-bit offsets
  if (b.size() < kHead) return std::nullopt;
  std::vector<DiskExtent> extents;
  const uint32_t count = LeU32(b, 0);
  for (std::size_t i = 0; i < count && kHead + (i + 1) * kEntry <= b.size(); ++i) {
    const std::size_t at = kHead + i * kEntry;
    DiskExtent e;
    e.DiskNumber = LeU32(b, at);
    e.StartingOffset = static_cast<int64_t>(LeU64(b, at + 8));
    e.ExtentLength = static_cast<int64_t>(LeU64(b, at + 16));
    extents.push_back(e);
  }
  return extents;
}

std::optional<ScsiAddressData> DecodeScsiAddress(Bytes b) {
  if (b.size() < 8) return std::nullopt;
  return ScsiAddressData{b[4], b[5], b[6], b[7]};
}

std::optional<MediaTypesData> DecodeMediaTypes(Bytes b) {
  // DeviceType, MediaInfoCount, then DEVICE_MEDIA_INFO entries from offset 8. For a disk the
  // entry starts with the 64-bit cylinder count and then the media type; a tape's entry
  // starts with its media type, then characteristics, block size and bus type.
  if (b.size() < 8) return std::nullopt;
  MediaTypesData m;
  m.deviceType = LeU32(b, 0);
  if (LeU32(b, 4) == 0) return m;
  if (m.deviceType == kFileDeviceTape) {
    if (b.size() >= 12) m.mediaType = LeU32(b, 8);
    if (b.size() >= 24) m.busType = LeU32(b, 20);
  } else if (b.size() >= 20) {
    m.mediaType = LeU32(b, 16);
  }
  return m;
}

std::optional<StorageDescriptor> DecodeStorageDescriptor(Bytes b) {
  // Version, Size, four type bytes, the four text offsets, BusType, raw properties length.
  if (b.size() < 32) return std::nullopt;
  StorageDescriptor d;
  d.removable = b[10] != 0;
  d.vendor = TextAt(b, LeU32(b, 12));
  d.product = TextAt(b, LeU32(b, 16));
  d.revision = TextAt(b, LeU32(b, 20));
  d.serial = TextAt(b, LeU32(b, 24));
  d.busType = LeU32(b, 28);
  return d;
}

std::optional<SmartVersion> DecodeSmartVersion(Bytes b) {
  if (b.size() < 8) return std::nullopt;
  return SmartVersion{b[0], b[1], b[3], LeU32(b, 4)};
}

std::optional<SmartReply> DecodeSendCmdOut(Bytes b) {
  if (b.size() < kSendCmdOutHead) return std::nullopt;
  SmartReply r;
  r.driverError = b[4];
  r.ideError = b[5];
  r.data.assign(b.begin() + kSendCmdOutHead, b.end());
  return r;
}

std::string BuildSendCmdIn(uint8_t drive, const IdeRegisters& r, std::size_t size) {
  std::string in(size < 13 ? 13 : size, '\0');
  PutLeU32(in, 0, 512);  // cBufferSize
  const uint8_t regs[7] = {r.features,     r.sectorCount, r.sectorNumber, r.cylinderLow,
                           r.cylinderHigh, r.driveHead,   r.command};
  for (int i = 0; i < 7; ++i) in[4 + i] = static_cast<char>(regs[i]);
  in[12] = static_cast<char>(drive);  // bDriveNumber
  return in;
}

std::string BuildDevicePropertyQuery() {
  // PropertyId StorageDeviceProperty (0), QueryType PropertyStandardQuery (0), one
  // parameter byte padded to the structure's alignment.
  return std::string(12, '\0');
}

std::string BuildMiniportIdentify(uint8_t drive) {
  std::string in(kSrbIoControl, '\0');
  PutLeU32(in, 0, kSrbIoControl);  // HeaderLength
  in.replace(4, 8, "SCSIDISK");
  PutLeU32(in, 12, 2);  // Timeout, seconds
  PutLeU32(in, 16, control::kMiniportIdentify);
  PutLeU32(in, 24, kSendCmdOutHead + 512);  // Length: the SENDCMDOUTPARAMS the reply carries
  IdeRegisters regs;
  regs.command = 0xEC;  // IDENTIFY DEVICE
  return in + BuildSendCmdIn(drive, regs, 32);
}

std::optional<SmartReply> DecodeMiniportIdentify(Bytes b) {
  if (b.size() < kSrbIoControl || LeU32(b, 0) != kSrbIoControl) return std::nullopt;
  return DecodeSendCmdOut(b.subspan(kSrbIoControl));
}

std::string BuildScsiPassThrough(std::span<const uint8_t> cdb, uint32_t dataLength) {
  constexpr std::size_t kHeader = 56, kSense = 60, kData = 92;
  std::string in(kHeader, '\0');
  in[0] = static_cast<char>(kHeader);  // Length
  in[6] = static_cast<char>(cdb.size() > 16 ? 16 : cdb.size());
  in[7] = 32;  // SenseInfoLength
  in[8] = 1;   // DataIn: SCSI_IOCTL_DATA_IN
  PutLeU32(in, 12, dataLength);
  PutLeU32(in, 16, 2);       // TimeOutValue, seconds
  PutLeU32(in, 24, kData);   // DataBufferOffset (64 bits, high half zero)
  PutLeU32(in, 32, kSense);  // SenseInfoOffset
  for (std::size_t i = 0; i < cdb.size() && i < 16; ++i) in[36 + i] = static_cast<char>(cdb[i]);
  return in;
}

std::optional<std::vector<uint8_t>> DecodeScsiPassThroughData(Bytes b) {
  if (b.size() < 2) return std::nullopt;
  const uint16_t length = LeU16(b, 0);
  std::size_t offsetAt = 0;
  if (length == 44 && b.size() >= 44)
    offsetAt = 20;  // 32-bit layout: a 32-bit data buffer offset
  else if (length == 56 && b.size() >= 56)
    offsetAt = 24;  // 64-bit layout: the offset is pointer sized and aligned
  else
    return std::nullopt;
  if (b[2] != 0) return std::nullopt;  // ScsiStatus: the command did not complete with GOOD
  const uint32_t transferred = LeU32(b, 12);
  const uint64_t offset = length == 44 ? LeU32(b, offsetAt) : LeU64(b, offsetAt);
  if (offset > b.size() || transferred > b.size() - offset) return std::nullopt;
  return std::vector<uint8_t>(b.begin() + static_cast<std::ptrdiff_t>(offset),
                              b.begin() + static_cast<std::ptrdiff_t>(offset + transferred));
}

}  // namespace tavrin::collectors
