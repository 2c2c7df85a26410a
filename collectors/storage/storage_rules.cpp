#include "collectors/storage/storage_rules.h"

#include <cstdio>
#include <map>
#include <string_view>

#include "collectors/storage/bus_types.h"

namespace tavrin::collectors {
namespace {

std::string Udev(const platform::BlockDeviceRecord& r, const char* key) {
  auto it = r.udev.find(key);
  return it == r.udev.end() ? std::string() : it->second;
}

std::string TrimBlanks(std::string s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// udev's _ENC values escape blanks and other bytes as "\x20".
std::string DecodeEscapes(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    unsigned v = 0;
    if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x' &&
        std::sscanf(std::string(s.substr(i + 2, 2)).c_str(), "%2x", &v) == 1) {
      out.push_back(static_cast<char>(v));
      i += 3;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

}  // namespace

TDeviceInfo DeviceFromKernelRecord(const platform::BlockDeviceRecord& r, int index) {
  TDeviceInfo d;
  d.Device = index;
  d.Name = r.name;
  d.Transport = r.transport;
  d.BusType = BusTypeOfTransport(r.transport);
  d.Vendor = TrimBlanks(r.vendor);
  d.Model = TrimBlanks(r.model);
  if (d.Model.empty()) d.Model = TrimBlanks(DecodeEscapes(Udev(r, "ID_MODEL_ENC")));
  if (d.Model.empty()) d.Model = Udev(r, "ID_MODEL");
  d.Revision = TrimBlanks(r.revision);
  if (d.Revision.empty()) d.Revision = Udev(r, "ID_REVISION");
  d.SerialNumber = Udev(r, "ID_SERIAL_SHORT");
  if (d.SerialNumber.empty()) d.SerialNumber = TrimBlanks(r.serial);
  d.Wwn = r.wwn.empty() ? Udev(r, "ID_WWN") : r.wwn;
  d.Removable = r.removable.value_or(false);
  d.Rotational = r.rotational;
  d.Size = static_cast<int64_t>(r.sizeSectors * 512);
  d.LogicalSectorBytes = r.logicalBlockSize;
  d.PhysicalSectorBytes = r.physicalBlockSize;
  d.BytesPerSector = r.logicalBlockSize;
  if (d.LogicalSectorBytes) d.AddressableSectors = r.sizeSectors * 512 / d.LogicalSectorBytes;
  if (r.scsiAddress) {
    d.HaId = r.scsiAddress->host;
    d.PathID = r.scsiAddress->channel;
    d.Target = r.scsiAddress->target;
    d.Lun = r.scsiAddress->lun;
  }
  // SCSI peripheral device types (SPC-5, 6.7.2): 1 sequential access, 5 CD/DVD.
  if (r.scsiType == 5 || r.name.starts_with("sr"))
    d.DeviceType = kDeviceTypeCdRom;
  else if (r.scsiType == 1 || r.name.starts_with("st") || r.name.starts_with("nst"))
    d.DeviceType = kDeviceTypeTape;
  else
    d.DeviceType = kDeviceTypeDisk;
  if (d.DeviceType == kDeviceTypeCdRom) {
    const OpticalCapabilities c = DecodeOpticalCapabilities(r.cdromInfo, r.udev);
    if (c.known()) {
      d.Optical = c;
      // Only the udev database knew: it is the source the rows stand on.
      d.OpticalSource = r.cdromInfo.empty() ? r.source : r.cdromInfoSource;
    } else {
      d.OpticalSource = r.cdromInfoSource.source.empty()
                            ? platform::Provenance::Failure(platform::Status::Missing, r.name,
                                                            "no capability list for the drive")
                            : r.cdromInfoSource;
    }
  }
  d.Source = r.source;
  return d;
}

void ApplyIdentify(TDeviceInfo& d, const AtaIdentity& id) {
  d.Checksum = id.checksum;
  if (!id.modelPrintable) return;
  // A SAT bridge reports its own vendor and model to the kernel; the drive's own texts win.
  if (!id.model.empty()) d.Model = id.model;
  if (!id.revision.empty()) d.Revision = id.revision;
  if (!id.serial.empty()) d.SerialNumber = id.serial;
  d.Cylinders = id.cylinders;
  d.Heads = id.heads;
  d.BytesPerTrack = id.bytesPerTrack;
  d.SectorsPerTrack = id.sectorsPerTrack;
  if (!d.BytesPerSector) d.BytesPerSector = id.bytesPerSector ? id.bytesPerSector : 512;
  if (const uint64_t sectors = AddressableSectorsOf(id)) d.AddressableSectors = sectors;
  d.CtlBufSize = id.bufferBytes;
  d.ECCCode = id.eccBytes;
  d.ATAVersion = id.ataVersion;
  d.AtaMajorVersion = id.majorVersion;
  d.RotationRate = id.rotationRate;
  d.SMARTSupport = d.SMARTSupport || id.smartSupported;
  d.SMARTActive = d.SMARTActive || id.smartEnabled;
  if (!d.LogicalSectorBytes) d.LogicalSectorBytes = id.logicalSectorBytes;
  if (!d.PhysicalSectorBytes) d.PhysicalSectorBytes = id.physicalSectorBytes;
  if (d.Size == 0) d.Size = SizeFromIdentify(d);
}

void ApplyNvmeController(TDeviceInfo& d, const NvmeController& c) {
  d.Model = c.model;
  if (!c.firmware.empty()) d.Revision = c.firmware;
  if (!c.serial.empty()) d.SerialNumber = c.serial;
  // Every NVMe controller keeps a health log; there is no switch to turn it off.
  d.SMARTSupport = d.SMARTActive = true;
}

int64_t SizeFromIdentify(const TDeviceInfo& d) {
  constexpr uint64_t kLargestChs = 0xFC0000;  // 16,383 × 16 × 63 sectors
  const uint64_t sectors = d.AddressableSectors >= kLargestChs
                               ? d.AddressableSectors
                               : uint64_t{d.Cylinders} * d.Heads * d.SectorsPerTrack;
  return static_cast<int64_t>(sectors * 512);
}

uint32_t BusTypeOfTransport(const std::string& t) {
  for (const TransportBus& row : kTransportBuses)
    if (row.transport == t) return row.busType;
  return 0;
}

std::string BusTypeName(uint32_t busType) {
  if (busType >= 1 && busType <= 11) return std::string(kBusTypeNames[busType]);
  char text[32];
  std::snprintf(text, sizeof text, "Unknown (0x%x)", busType);
  return text;
}

std::string TransportName(const std::string& t) {
  for (const TransportBus& row : kTransportBuses)
    if (row.transport == t) return std::string(row.name);
  return t;
}

CommandSet CommandSetOf(const TDeviceInfo& d) {
  if (d.Transport == "nvme") return CommandSet::kNvme;
  // ATA commands travel as SCSI ATA PASS-THROUGH: libata answers it for SATA and PATA disks,
  // SAT bridges behind USB and SAS expanders pass it to the drive, and a SCSI disk rejects it
  // cleanly. Paravirtual disks (virtio, Xen), memory cards and the device mapper's or md's
  // volumes have no drive behind them to answer.
  for (std::string_view ata : {"sata", "ata", "usb", "scsi", "sas"})
    if (d.Transport == ata) return CommandSet::kAta;
  return CommandSet::kNone;
}

}  // namespace tavrin::collectors
