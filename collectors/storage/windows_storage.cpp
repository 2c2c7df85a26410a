#include "collectors/storage/windows_storage.h"

#include <algorithm>
#include <string_view>

#include "base/strings.h"
#include "collectors/devices/vsi_devices.h"
#include "collectors/storage/scsi_data.h"
#include "collectors/storage/storage_rules.h"
#include "collectors/storage/volume_rules.h"
#include "platform/device_control.h"
#include "platform/storage.h"

namespace tavrin::collectors {
namespace {

using platform::ControlReply;
using platform::Provenance;

std::span<const uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

bool Blank(const std::string& s) {
  return s.find_first_not_of(" \t") == std::string::npos;
}

std::string Joined(const std::string& vendor, const std::string& product) {
  if (vendor.empty()) return product;
  if (product.empty()) return vendor;
  return vendor + " " + product;
}

constexpr uint8_t kIdentifyDevice = 0xEC, kIdentifyPacketDevice = 0xA1;
constexpr uint32_t kDriveTypeRemote = 4, kDriveTypeCdRom = 5;

enum class Kind { kDisk, kOptical, kTape, kVolume };

struct Probe {
  TDeviceInfo info;
  bool answered = false;  ///< at least one control answered
};

// Sends the controls of one gathering and keeps the last error code, as the system would.
class Prober {
 public:
  Prober(const platform::DeviceControlService& controls, bool smart)
      : controls_(controls), smart_(smart) {}

  uint32_t lastError() const { return last_error_; }
  const ControlReply& lastOpen() const { return last_open_; }

  ControlReply Open(const std::string& device) {
    last_open_ = controls_.Open(device);
    last_error_ = last_open_.ok ? 0 : last_open_.error;
    return last_open_;
  }

  // Opens `device` and runs the probes of its kind; nullopt when it does not open.
  std::optional<Probe> Run(const std::string& device, Kind kind, int number) {
    if (!Open(device).ok) return std::nullopt;
    Probe p;
    device_ = device;
    p.info.DevicePath = device;
    p.info.Device = number;
    p.info.Source = Provenance::Answered(device);
    Provenance identifyFailure;
    const auto identified = [&](const Provenance& source, bool gaveModel) {
      if (gaveModel && p.info.IdentifySource.source.empty()) p.info.IdentifySource = source;
      if (!source.ok() && identifyFailure.source.empty()) identifyFailure = source;
    };
    const int drive = number < 0 ? 0 : number;
    if (kind == Kind::kDisk) IdentifyThroughSmart(p, drive, identified);
    QueryProperty(p, identified);
    if (kind == Kind::kDisk || kind == Kind::kVolume) IdentifyThroughMiniport(p, drive, identified);
    Inquiry(p, identified);
    if (p.info.IdentifySource.source.empty()) p.info.IdentifySource = identifyFailure;
    Finish(p, kind == Kind::kDisk && smart_, drive);
    return p;
  }

 private:
  ControlReply Send(Probe& p, uint32_t code, std::string_view input) {
    ControlReply r = controls_.Control(device_, code, input);
    last_error_ = r.ok ? 0 : r.error;
    p.answered = p.answered || r.ok;
    return r;
  }
  Provenance SourceOf(const ControlReply& r, std::string_view control) const {
    return r.Source(std::string(control) + " on " + device_);
  }

  // IDENTIFY (PACKET) DEVICE through the SMART driver interface. The version reply's device
  // map says which drives are ATA disks; a packet device (optical, tape) takes A1h instead.
  template <class Identified>
  void IdentifyThroughSmart(Probe& p, int drive, const Identified& identified) {
    uint8_t command = kIdentifyDevice;
    if (ControlReply v = Send(p, control::kSmartGetVersion, {}); v.ok) {
      const auto version = DecodeSmartVersion(Bytes(v.output));
      const bool ata = version && drive < 8 && (version->ideDeviceMap >> drive) & 1;
      command = ata ? kIdentifyDevice : kIdentifyPacketDevice;
    }
    IdeRegisters regs;
    regs.sectorCount = 1;
    regs.sectorNumber = 1;
    regs.driveHead = IdentifyDriveHead(drive);
    regs.command = command;
    const auto d = static_cast<uint8_t>(drive);
    ControlReply r = Send(p, control::kSmartReceiveDriveData, BuildSendCmdIn(d, regs));
    if (!r.ok) {
      regs.command = command == kIdentifyDevice ? kIdentifyPacketDevice : kIdentifyDevice;
      r = Send(p, control::kSmartReceiveDriveData, BuildSendCmdIn(d, regs));
    }
    const Provenance source = SourceOf(r, "SMART_RCV_DRIVE_DATA (identify)");
    identified(source, r.ok && ApplyIdentifyReply(p, DecodeSendCmdOut(Bytes(r.output))));
  }

  template <class Identified>
  void IdentifyThroughMiniport(Probe& p, int drive, const Identified& identified) {
    const ControlReply r =
        Send(p, control::kScsiMiniport, BuildMiniportIdentify(static_cast<uint8_t>(drive)));
    const Provenance source = SourceOf(r, "IOCTL_SCSI_MINIPORT (identify)");
    identified(source, r.ok && ApplyIdentifyReply(p, DecodeMiniportIdentify(Bytes(r.output))));
  }

  // The first 256 bytes of the data are the identification words every drive fills.
  static bool ApplyIdentifyReply(Probe& p, const std::optional<SmartReply>& reply) {
    if (!reply || reply->driverError != 0 || reply->data.size() < 256) return false;
    const auto id = DecodeAtaIdentify({reply->data.data(), 256});
    if (!id) return false;
    const TDeviceInfo found = DeviceFromIdentify(*id);
    MergeDeviceInfo(p.info, found);
    return !found.Model.empty();
  }

  template <class Identified>
  void QueryProperty(Probe& p, const Identified& identified) {
    const ControlReply r = Send(p, control::kStorageQueryProperty, BuildDevicePropertyQuery());
    const auto d = r.ok ? DecodeStorageDescriptor(Bytes(r.output)) : std::nullopt;
    TDeviceInfo found;
    if (d) {
      found.Model = Joined(d->vendor, d->product);
      found.Revision = d->revision;
      found.SerialNumber = d->serial;
      found.BusType = d->busType;
      found.Removable = d->removable;
      MergeDeviceInfo(p.info, found);
    }
    identified(SourceOf(r, "IOCTL_STORAGE_QUERY_PROPERTY"), !found.Model.empty());
  }

  std::optional<std::vector<uint8_t>> PassThrough(Probe& p, std::span<const uint8_t> cdb,
                                                  uint32_t length, ControlReply& r) {
    r = Send(p, control::kScsiPassThrough, BuildScsiPassThrough(cdb, length));
    return r.ok ? DecodeScsiPassThroughData(Bytes(r.output)) : std::nullopt;
  }

  template <class Identified>
  void Inquiry(Probe& p, const Identified& identified) {
    ControlReply r;
    const auto cdb = InquiryCdb();
    const auto data = PassThrough(p, cdb, kInquiryLength, r);
    const auto q = data ? DecodeInquiry(*data) : std::nullopt;
    TDeviceInfo found;
    if (q) {
      found.Model = Joined(q->vendor, q->product);
      found.Revision = q->revision;
      MergeDeviceInfo(p.info, found);
    }
    identified(SourceOf(r, "IOCTL_SCSI_PASS_THROUGH (INQUIRY)"), !found.Model.empty());
  }

  // The probes every device gets after its identification.
  void Finish(Probe& p, bool smart, int drive) {
    TDeviceInfo& d = p.info;
    if (ControlReply r = Send(p, control::kScsiGetAddress, {}); r.ok)
      if (auto a = DecodeScsiAddress(Bytes(r.output))) {
        d.HaId = a->portNumber;
        d.PathID = a->pathId;
        d.Target = a->targetId;
        d.Lun = a->lun;
      }
    if (ControlReply r = Send(p, control::kGetMediaTypesEx, {}); r.ok)
      if (auto m = DecodeMediaTypes(Bytes(r.output))) {
        d.DeviceType = m->deviceType;
        if (m->mediaType) d.MediaType = *m->mediaType;
        if (m->busType) d.BusType = *m->busType;
      }
    if (ControlReply r = Send(p, control::kGetDriveGeometry, {}); r.ok)
      d.Geometry = DecodeDiskGeometry(Bytes(r.output));
    if (ControlReply r = Send(p, control::kGetDriveLayout, {}); r.ok)
      if (auto layout = DecodeDriveLayout(Bytes(r.output)))
        for (const PartitionEntry& e : *layout) {
          if (!e.recognized) continue;
          TPartitionInfo part;
          part.StartingOffset = e.startingOffset;
          part.Length = e.length;
          part.HiddenSectors = e.hiddenSectors;
          part.Number = e.number;
          part.Name = std::to_string(e.number);
          part.Typ = e.type;
          part.BootIndicator = e.bootIndicator;
          part.Recognized = e.recognized;
          part.Rewrite = e.rewrite;
          d.Layout.push_back(std::move(part));
        }
    ReadCapabilities(p);
    if (smart) ReadSmartAttributes(p, drive);
    if (ControlReply r = Send(p, control::kGetVolumeDiskExtents, {}); r.ok)
      if (auto extents = DecodeVolumeDiskExtents(Bytes(r.output)))
        for (const DiskExtent& e : *extents)
          if (e.ExtentLength > 0) d.Extents.push_back(e);
    ApplySizeRule(d);
  }

  void ReadCapabilities(Probe& p) {
    ControlReply r;
    const auto cdb = CapabilitiesPageCdb();
    const auto data = PassThrough(p, cdb, kCapabilitiesLength, r);
    p.info.OpticalSource = SourceOf(r, "IOCTL_SCSI_PASS_THROUGH (MODE SENSE, page 2Ah)");
    if (!data) return;
    p.info.Optical = DecodeCapabilitiesPage(*data);
    if (!p.info.Optical)
      p.info.OpticalSource =
          Provenance::Failure(platform::Status::Malformed, p.info.OpticalSource.source,
                              "the answer holds no capabilities page");
  }

  // READ ATTRIBUTE VALUES through the SMART driver interface; the temperature is attribute
  // 194's lowest raw byte.
  void ReadSmartAttributes(Probe& p, int drive) {
    IdeRegisters regs;
    regs.features = 0xD0;
    regs.sectorCount = 1;
    regs.sectorNumber = 1;
    regs.cylinderLow = 0x4F;
    regs.cylinderHigh = 0xC2;
    regs.driveHead = 0xA0;
    regs.command = 0xB0;
    const ControlReply r = Send(p, control::kSmartReceiveDriveData,
                                BuildSendCmdIn(static_cast<uint8_t>(drive), regs, 32));
    TDeviceInfo& d = p.info;
    d.SmartSource = SourceOf(r, "SMART_RCV_DRIVE_DATA (read attributes)");
    if (!r.ok) return;
    const auto reply = DecodeSendCmdOut(Bytes(r.output));
    auto data = reply ? DecodeSmartData(reply->data) : std::nullopt;
    if (!data) {
      d.SmartSource = Provenance::Failure(platform::Status::Malformed, d.SmartSource.source,
                                          "the attribute table is empty");
      return;
    }
    data->temperature.reset();
    for (const SmartAttribute& a : data->attributes)
      if (a.id == 194) data->temperature = static_cast<int>(a.raw & 0xFF);
    d.Temperature = data->temperature.value_or(0);
    d.SMARTAttributes = data->attributes;
    d.Smart = std::move(data);
  }

  const platform::DeviceControlService& controls_;
  bool smart_;
  uint32_t last_error_ = 0;
  ControlReply last_open_;
  std::string device_;
};

void DefaultDeviceType(TDeviceInfo& d, Kind kind) {
  // A drive opened by an optical or tape name whose media query told no type gets the
  // optical type code, tape drives too: records of such drives have always been typed so,
  // and reports compared across machines keep their meaning.
  if (d.DeviceType != 0) return;
  if (kind == Kind::kOptical || kind == Kind::kTape) d.DeviceType = kDeviceTypeCdRom;
}

bool SameText(const std::string& a, const std::string& b) {
  return base::Lower(base::Trim(a)) == base::Lower(base::Trim(b));
}

// A device of the device list is one already read by number when its serial number matches,
// or, where either lacks one, its model and revision.
TDeviceInfo* Matching(std::vector<TDeviceInfo>& list, const TDeviceInfo& d) {
  for (TDeviceInfo& present : list) {
    if (!Blank(present.SerialNumber) && !Blank(d.SerialNumber)) {
      if (SameText(present.SerialNumber, d.SerialNumber)) return &present;
      continue;
    }
    if (SameText(present.Model, d.Model) && SameText(present.Revision, d.Revision)) return &present;
  }
  return nullptr;
}

// A volume's first extent names its disk by number (the N of PhysicalDrive N), and its offset
// the partition it is.
void CrossReference(std::vector<TDeviceInfo>& logical, std::vector<TDeviceInfo>& physical) {
  for (TDeviceInfo& volume : logical) {
    if (volume.Extents.empty()) continue;
    const DiskExtent& e = volume.Extents.front();
    volume.Device = static_cast<int>(e.DiskNumber);
    const std::string name = "\\\\.\\PhysicalDrive" + std::to_string(e.DiskNumber);
    for (std::size_t i = 0; i < physical.size(); ++i) {
      TDeviceInfo& disk = physical[i];
      if (disk.DevicePath != name) continue;
      volume.PHYSIndex = static_cast<int>(i);
      for (std::size_t j = 0; j < disk.Layout.size(); ++j)
        if (disk.Layout[j].StartingOffset == e.StartingOffset) {
          volume.LayoutIndex = static_cast<int>(j);
          if (disk.Layout[j].MountPoint.empty()) disk.Layout[j].MountPoint = volume.Drive;
        }
      break;
    }
  }
}

}  // namespace

uint8_t IdentifyDriveHead(int drive) {
  // Not the task file's own device-select form (A0h, or B0h for the second device of a
  // cable): the SMART driver interface takes the drive's number plus one in the high nibble.
  return static_cast<uint8_t>(((drive + 1) << 4) | 0xA0);
}

TDeviceInfo DeviceFromIdentify(const AtaIdentity& id) {
  TDeviceInfo d;
  if (!id.modelPrintable) return d;
  d.Model = id.model;
  d.Revision = id.revision;
  d.SerialNumber = id.serial;
  d.Cylinders = id.cylinders;
  d.Heads = id.heads;
  d.BytesPerTrack = id.bytesPerTrack;
  d.BytesPerSector = id.bytesPerSector;
  d.SectorsPerTrack = id.sectorsPerTrack;
  d.AddressableSectors = id.addressableSectors;
  d.CtlBufSize = id.bufferBytes;
  d.ECCCode = id.eccBytes;
  d.ATAVersion = id.ataVersion;
  d.SMARTSupport = id.smartSupported;
  d.SMARTActive = id.smartEnabled;
  return d;
}

void ApplySizeRule(TDeviceInfo& d) {
  if (!d.Geometry) {
    d.Size = SizeFromIdentify(d);
    return;
  }
  const DiskGeometry& g = *d.Geometry;
  // Unsigned: a damaged answer's product wraps instead of overflowing.
  d.Size = static_cast<int64_t>(static_cast<uint64_t>(g.Cylinders) * g.TracksPerCylinder *
                                g.SectorsPerTrack * g.BytesPerSector);
  d.Cylinders = static_cast<uint32_t>(g.Cylinders);
  d.Heads = g.TracksPerCylinder;
  d.BytesPerSector = g.BytesPerSector;
  d.SectorsPerTrack = g.SectorsPerTrack;
}

void MergeDeviceInfo(TDeviceInfo& into, const TDeviceInfo& from) {
  for (auto text : {&TDeviceInfo::Model, &TDeviceInfo::Revision, &TDeviceInfo::SerialNumber,
                    &TDeviceInfo::Drive, &TDeviceInfo::Vendor})
    if (Blank(into.*text)) into.*text = from.*text;
  for (auto n : {&TDeviceInfo::DeviceType, &TDeviceInfo::MediaType, &TDeviceInfo::Cylinders,
                 &TDeviceInfo::Heads, &TDeviceInfo::BytesPerSector, &TDeviceInfo::BytesPerTrack,
                 &TDeviceInfo::SectorsPerTrack, &TDeviceInfo::CtlBufSize, &TDeviceInfo::ECCCode,
                 &TDeviceInfo::ATAVersion})
    if (into.*n == 0) into.*n = from.*n;
  // 34 is not a bus a driver reports for a real device; another answer knows better.
  if (into.BusType == 0 || (into.BusType == 34 && from.BusType != 0)) into.BusType = from.BusType;
  if (into.Size == 0) into.Size = from.Size;
  if (into.AddressableSectors == 0) into.AddressableSectors = from.AddressableSectors;
  if (into.Temperature == 0) into.Temperature = from.Temperature;
  for (auto n : {&TDeviceInfo::HaId, &TDeviceInfo::Target, &TDeviceInfo::Lun, &TDeviceInfo::PathID,
                 &TDeviceInfo::PHYSIndex, &TDeviceInfo::LayoutIndex})
    if (into.*n == -1) into.*n = from.*n;
  into.SMARTSupport = into.SMARTSupport || from.SMARTSupport;
  into.SMARTActive = into.SMARTActive || from.SMARTActive;
  into.Removable = into.Removable || from.Removable;
  // The device number is not merged: it names the device the record was opened as.
  if (!into.Geometry) into.Geometry = from.Geometry;
  if (into.Layout.empty()) into.Layout = from.Layout;
  if (into.Extents.empty()) into.Extents = from.Extents;
  if (into.SMARTAttributes.empty()) {
    into.SMARTAttributes = from.SMARTAttributes;
    into.Smart = from.Smart;
    into.SmartSource = from.SmartSource;
  }
  if (!into.Optical) {
    into.Optical = from.Optical;
    if (from.Optical) into.OpticalSource = from.OpticalSource;
  }
  if (!into.IdentifySource.ok() && from.IdentifySource.ok())
    into.IdentifySource = from.IdentifySource;
}

WindowsStorage ReadWindowsStorage(const std::shared_ptr<const platform::Services>& services,
                                  bool smart) {
  WindowsStorage out;
  Prober prober(*services->deviceControl, smart);
  // The SMART identify through "\\.\SMARTVSD" belongs to the Windows 9x family, whose disks
  // take no disk controls; a machine of the NT family answers every probe below instead.

  // Volumes by drive letter.
  if (services->storage)
    if (auto volumes = services->storage->WindowsVolumeAnswers()) {
      for (char letter : AvailableDisksFromDriveStrings(volumes->driveStrings)) {
        uint32_t driveType = 0;
        for (const platform::WindowsVolume& v : volumes->volumes)
          if (!v.drive.empty() && (v.drive[0] & ~0x20) == letter) driveType = v.driveType;
        // A network drive is another machine's: there is no device here to ask.
        if (driveType == kDriveTypeRemote) continue;
        auto p = prober.Run(std::string("\\\\.\\") + letter + ":", Kind::kVolume, -1);
        if (!p) continue;
        p->info.Drive = std::string(1, letter) + ":";
        if (driveType == kDriveTypeCdRom && p->info.DeviceType == 0)
          p->info.DeviceType = kDeviceTypeCdRom;
        out.logical.push_back(std::move(p->info));
      }
    }

  // Numbered devices; each kind's numbering ends at its first device that does not open.
  struct Numbered {
    const char* prefix;
    Kind kind;
    bool open = true;
  };
  Numbered kinds[] = {{"\\\\.\\PhysicalDrive", Kind::kDisk},
                      {"\\\\.\\Cdrom", Kind::kOptical},
                      {"\\\\.\\Tape", Kind::kTape}};
  Provenance firstRefusal;
  for (int n = 0; n < 256; ++n) {
    bool any = false;
    for (Numbered& k : kinds) {
      if (!k.open) continue;
      const std::string name = k.prefix + std::to_string(n);
      auto p = prober.Run(name, k.kind, n);
      if (!p) {
        k.open = false;
        if (n == 0 && k.kind == Kind::kDisk)
          firstRefusal = prober.lastOpen().Source("open " + name);
        continue;
      }
      any = true;
      if (!p->answered || p->info.Model.empty()) continue;
      DefaultDeviceType(p->info, k.kind);
      out.physical.push_back(std::move(p->info));
    }
    if (!any) break;
  }

  // Devices the device list knows by their interface link only (a disk behind a driver
  // that numbers its devices otherwise); one already read is completed, not listed twice.
  TVexa_Devices devices(services);
  devices.RefreshData();
  for (const TDevice& dev : devices.List()) {
    const Kind kind = dev.DeviceClass == 2    ? Kind::kDisk
                      : dev.DeviceClass == 4  ? Kind::kOptical
                      : dev.DeviceClass == 33 ? Kind::kTape
                                              : Kind::kVolume;
    if (kind == Kind::kVolume || Blank(dev.SymbolicLink)) continue;
    auto p = prober.Run(dev.SymbolicLink, kind, -1);
    if (!p || !p->answered || p->info.Model.empty()) continue;
    DefaultDeviceType(p->info, kind);
    if (TDeviceInfo* present = Matching(out.physical, p->info))
      MergeDeviceInfo(*present, p->info);
    else
      out.physical.push_back(std::move(p->info));
  }

  CrossReference(out.logical, out.physical);
  out.lastError = prober.lastError();
  out.source = out.physical.empty() && !firstRefusal.source.empty()
                   ? firstRefusal
                   : Provenance::Answered("device controls");
  return out;
}

}  // namespace tavrin::collectors
