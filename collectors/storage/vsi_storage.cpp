#include "collectors/storage/vsi_storage.h"

#include <map>
#include <span>

#include "collectors/storage/mount_table.h"
#include "collectors/storage/storage_rules.h"
#include "collectors/storage/windows_storage.h"
#include "platform/storage.h"

namespace tavrin::collectors {
namespace {

using platform::DeviceQuery;
using platform::Provenance;
using platform::Status;

std::span<const uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

std::string Value(const std::map<std::string, std::string>& m, const char* key) {
  auto it = m.find(key);
  return it == m.end() ? std::string() : it->second;
}

// Mount points by device number ("8:1"), first mount first.
using MountIndex = std::map<std::string, std::vector<const MountEntry*>>;

void AddPartitions(TDeviceInfo& d, const platform::BlockDeviceRecord& r, const MountIndex& mounts) {
  for (const platform::BlockPartition& p : r.partitions) {
    TPartitionInfo part;
    part.Name = p.name;
    part.Number = p.number;
    part.StartingOffset = static_cast<int64_t>(p.startSector * 512);
    part.Length = static_cast<int64_t>(p.sizeSectors * 512);
    part.FileSystem = Value(p.udev, "ID_FS_TYPE");
    part.Label = Value(p.udev, "ID_FS_LABEL");
    if (auto it = mounts.find(p.deviceNumber); it != mounts.end()) {
      part.MountPoint = it->second.front()->mountPoint;
      if (part.FileSystem.empty()) part.FileSystem = it->second.front()->fsType;
    }
    d.Layout.push_back(std::move(part));
  }
  if (auto it = mounts.find(r.deviceNumber); it != mounts.end())
    for (const MountEntry* m : it->second) d.MountPoints.push_back(m->mountPoint);
}

// A disk's power mode, asked before any other command. A sleeping disk is left alone: some
// drives read their IDENTIFY data from the medium, and S.M.A.R.T. data always needs it.
// Optical drives are not asked; their commands do not spin them up.
bool LeaveAsleep(TDeviceInfo& d, const platform::StorageService& storage,
                 const std::string& runtimeStatus) {
  if (d.DeviceType == kDeviceTypeCdRom) return false;
  const PowerCheck check = CheckPower(runtimeStatus, d.Name, [&] {
    return storage.DeviceCommand(d.Name, DeviceQuery::kAtaCheckPowerMode);
  });
  d.PowerMode = check.mode;
  d.PowerSource = check.source;
  if (!check.asleep()) return false;
  d.LeftAsleep = true;
  d.IdentifySource = d.SmartSource = Provenance::Failure(
      Status::NotSupported, check.source.source,
      *check.mode == AtaPowerMode::kSuspended ? "the kernel has stopped the disk; it was not woken"
                                              : "the disk is in standby; it was not woken");
  return true;
}

void ReadAta(TDeviceInfo& d, const platform::StorageService& storage, bool smart,
             const std::string& runtimeStatus) {
  if (LeaveAsleep(d, storage, runtimeStatus)) return;
  const DeviceQuery identify = d.DeviceType == kDeviceTypeCdRom ? DeviceQuery::kAtaIdentifyPacket
                                                                : DeviceQuery::kAtaIdentify;
  auto id = storage.DeviceCommand(d.Name, identify);
  d.IdentifySource = id.source;
  d.SmartSource = id.source;  // no S.M.A.R.T. without an answer to IDENTIFY
  if (!id) return;
  auto decoded = DecodeAtaIdentify(Bytes(*id));
  if (!decoded) {
    d.IdentifySource = Provenance::Failure(Status::Malformed, id.source.source, "short answer");
    return;
  }
  ApplyIdentify(d, *decoded);
  if (!decoded->smartSupported) {
    d.SmartSource = Provenance::Failure(Status::NotSupported, id.source.source,
                                        "the drive has no S.M.A.R.T. feature set");
    return;
  }
  if (!decoded->smartEnabled) {
    d.SmartSource = Provenance::Failure(Status::NotSupported, id.source.source,
                                        "S.M.A.R.T. is turned off on the drive");
    return;
  }
  if (!smart) return;
  auto data = storage.DeviceCommand(d.Name, DeviceQuery::kAtaSmartData);
  d.SmartSource = data.source;
  if (!data) return;
  d.Smart = DecodeSmartData(Bytes(*data));
  if (!d.Smart) {
    d.SmartSource =
        Provenance::Failure(Status::Malformed, data.source.source, "the attribute table is empty");
    return;
  }
  if (auto thresholds = storage.DeviceCommand(d.Name, DeviceQuery::kAtaSmartThresholds))
    ApplySmartThresholds(*d.Smart, Bytes(*thresholds));
  d.SMARTAttributes = d.Smart->attributes;
  if (d.Smart->temperature) d.Temperature = *d.Smart->temperature;
}

void ReadNvme(TDeviceInfo& d, const platform::StorageService& storage, bool smart) {
  auto id = storage.DeviceCommand(d.Name, DeviceQuery::kNvmeIdentifyController);
  d.IdentifySource = id.source;
  if (id) {
    if (auto c = DecodeNvmeIdentifyController(Bytes(*id)))
      ApplyNvmeController(d, *c);
    else
      d.IdentifySource = Provenance::Failure(Status::Malformed, id.source.source, "no model");
  }
  if (!smart) return;
  auto log = storage.DeviceCommand(d.Name, DeviceQuery::kNvmeHealthLog);
  d.SmartSource = log.source;
  if (!log) return;
  d.Nvme = DecodeNvmeHealthLog(Bytes(*log));
  if (!d.Nvme) {
    d.SmartSource = Provenance::Failure(Status::Malformed, log.source.source, "no health data");
    return;
  }
  d.SMARTSupport = d.SMARTActive = true;
  d.Temperature = d.Nvme->temperatureCelsius;
}

}  // namespace

void TVexa_Storage::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  physical_.clear();
  logical_.clear();
  by_device_controls_ = Platform().deviceControl != nullptr;
  if (by_device_controls_) {
    // A Windows machine: its devices answer device controls, not the kernel's records.
    WindowsStorage w = ReadWindowsStorage(SharedPlatform(), SMARTDetect);
    physical_ = std::move(w.physical);
    logical_ = std::move(w.logical);
    last_error_ = w.lastError;
    list_source_ = w.source;
    scsi_generic_ = {std::nullopt, Provenance::Failure(Status::NotSupported, "ASPI",
                                                       "not recorded in the snapshot")};
    scsi_devices_ = {std::nullopt, scsi_generic_.source};
    return;
  }
  const platform::StorageService* storage = Platform().storage.get();
  if (!storage) {
    list_source_ = Provenance::Failure(Status::NotSupported, "storage service",
                                       "this source has no storage data");
    scsi_generic_ = {std::nullopt, list_source_};
    scsi_devices_ = {std::nullopt, list_source_};
    return;
  }
  scsi_generic_ = storage->ScsiGenericCount();
  scsi_devices_ = storage->ScsiDevices();
  if (scsi_devices_ && scsi_devices_->empty())
    scsi_devices_ = {std::nullopt, Provenance::Failure(Status::Missing, scsi_devices_.source.source,
                                                       "the kernel knows no SCSI devices")};
  auto devices = storage->BlockDevices();
  list_source_ = devices.source;
  if (!devices) return;
  std::vector<MountEntry> mounts;
  if (auto table = storage->MountTable()) mounts = ParseMountInfo(*table);
  MountIndex byNumber;
  for (const MountEntry& m : mounts)
    byNumber[std::to_string(m.major) + ":" + std::to_string(m.minor)].push_back(&m);
  int index = 0;
  for (const platform::BlockDeviceRecord& r : *devices) {
    TDeviceInfo d = DeviceFromKernelRecord(r, index++);
    AddPartitions(d, r, byNumber);
    switch (CommandSetOf(d)) {
      case CommandSet::kAta:
        ReadAta(d, *storage, SMARTDetect, r.runtimeStatus);
        break;
      case CommandSet::kNvme:
        ReadNvme(d, *storage, SMARTDetect);
        break;
      case CommandSet::kNone:
        d.IdentifySource = d.SmartSource = Provenance::Failure(
            Status::NotSupported, r.name,
            "a " + TransportName(d.Transport) + " device answers no drive commands");
        break;
    }
    physical_.push_back(std::move(d));
  }
}

}  // namespace tavrin::collectors
