#include "collectors/storage/vsi_disk.h"

#include <algorithm>
#include <map>

#include "collectors/storage/fs_features.h"
#include "collectors/storage/mount_table.h"
#include "platform/storage.h"

namespace tavrin::collectors {
namespace {

using platform::Provenance;
using platform::Status;

// Mount options that turn quotas on (ext4, xfs and others name them differently).
bool QuotaOption(const MountEntry& m) {
  for (std::string_view o : {"quota", "usrquota", "grpquota", "prjquota", "uquota", "gquota",
                             "pquota", "usrjquota", "grpjquota"})
    if (m.HasOption(o)) return true;
  return false;
}

TFileFlags FlagsOf(const MountEntry& m, const platform::FsStats* stats) {
  TFileFlags flags = 0;
  if (stats && stats->nameMax >= 255) flags |= fsLongFileNames;
  const FsFeatures* f = FindFsFeatures(m.fsType);
  if (!f) return flags;
  if (f->caseSensitive) flags |= fsCaseSensitive;
  if (f->caseIsPreserved) flags |= fsCaseIsPreserved;
  if (f->unicodeNames) flags |= fsUnicodeStoredOnDisk;
  if (f->permissions) flags |= fsPersistentAcls;
  if (f->compression) flags |= fsFileCompression;
  // btrfs compresses new data when mounted with compress=...; so does zfs by property.
  if (f->compression && (m.mountOptions.find("compress") != std::string::npos ||
                         m.superOptions.find("compress") != std::string::npos))
    flags |= fsVolumeIsCompressed;
  if (f->encryption) flags |= fsEncryptedFileSystemSupport;
  if (f->objectIds) flags |= fsObjectIDsSupport;
  if (f->reparsePoints) flags |= fsReparsePointsSupport;
  if (f->sparseFiles) flags |= fsSparseFilesSupport;
  if (f->quotas && QuotaOption(m)) flags |= fsDiskQuotasSupport;
  return flags;
}

struct BackingDisk {
  const platform::BlockDeviceRecord* disk = nullptr;
  const std::map<std::string, std::string>* udev = nullptr;
  std::string name;
};

// The disk (and partition) whose device number a mount names.
BackingDisk FindBacking(const std::vector<platform::BlockDeviceRecord>& devices,
                        const std::string& number) {
  for (const auto& d : devices) {
    if (d.deviceNumber == number) return {&d, &d.udev, d.name};
    for (const auto& p : d.partitions)
      if (p.deviceNumber == number) return {&d, &p.udev, p.name};
  }
  return {};
}

TMediaType MediaTypeOf(const platform::BlockDeviceRecord* disk, bool network) {
  if (network) return TMediaType::dtRemote;
  if (!disk) return TMediaType::dtUnknown;
  if (disk->scsiType == 5 || disk->name.starts_with("sr")) return TMediaType::dtCDROM;
  if (disk->transport == "ram") return TMediaType::dtRAMDisk;
  if (disk->removable.value_or(false) || disk->transport == "usb" || disk->transport == "mmc")
    return TMediaType::dtRemovable;
  return TMediaType::dtFixed;
}

std::string UdevValue(const std::map<std::string, std::string>* udev, const char* key) {
  if (!udev) return {};
  auto it = udev->find(key);
  return it == udev->end() ? std::string() : it->second;
}

// udev keeps labels with blanks and other bytes escaped ("\x20"); the _ENC form is exact.
std::string DecodeUdevEscapes(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    auto hex = [](char c) {
      return c >= '0' && c <= '9'   ? c - '0'
             : c >= 'a' && c <= 'f' ? c - 'a' + 10
             : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                    : -1;
    };
    if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x' && hex(s[i + 2]) >= 0 &&
        hex(s[i + 3]) >= 0) {
      out.push_back(static_cast<char>(hex(s[i + 2]) * 16 + hex(s[i + 3])));
      i += 3;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

}  // namespace

std::string TVexa_Disk::GetMediaTypeStr(TMediaType type) {
  switch (type) {
    case TMediaType::dtNotExists:
      return "<not exists>";
    case TMediaType::dtRemovable:
      return "Removable";
    case TMediaType::dtFixed:
      return "Fixed";
    case TMediaType::dtRemote:
      return "Remote";
    case TMediaType::dtCDROM:
      return "CDROM";
    case TMediaType::dtRAMDisk:
      return "RAM";
    default:
      return "<unknown>";
  }
}

TDiskInfo TVexa_Disk::Selected() const {
  for (const TDiskInfo& d : drives_)
    if (d.Disk == drive_) return d;
  TDiskInfo none;
  none.Disk = drive_;
  none.MediaType = TMediaType::dtNotExists;
  return none;
}

void TVexa_Disk::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  available_disks_.clear();
  drives_.clear();
  drive_.clear();
  by_mount_point_ = false;
  const platform::StorageService* storage = Platform().storage.get();
  if (!storage) {
    list_source_ = Provenance::Failure(Status::NotSupported, "storage service",
                                       "this source has no storage data");
    return;
  }
  if (auto letters = storage->WindowsVolumeAnswers()) {
    RefreshLetters(*letters, letters.source);
    return;
  }
  RefreshMounts(*storage);
}

void TVexa_Disk::RefreshLetters(const platform::WindowsVolumes& v, const Provenance& src) {
  list_source_ = src;
  available_disks_ = AvailableDisksFromDriveStrings(v.driveStrings);
  for (char letter : available_disks_) {
    TDiskInfo d;
    d.Disk = std::string(1, letter) + ":";
    d.MediaType = TMediaType::dtNotExists;
    d.UNCPath = d.Disk;
    auto it = std::find_if(v.volumes.begin(), v.volumes.end(), [&](const auto& vol) {
      return !vol.drive.empty() && (vol.drive[0] & ~0x20) == letter;
    });
    if (it != v.volumes.end()) {
      const platform::WindowsVolume& vol = *it;
      d.MediaType = MediaTypeFromCode(vol.driveType);
      if (!vol.uncPath.empty()) d.UNCPath = vol.uncPath;
      d.MediaPresent = vol.mediaPresent;
      if (vol.mediaPresent) {
        d.SectorsPerCluster = vol.sectorsPerCluster;
        d.BytesPerSector = vol.bytesPerSector;
        d.FreeClusters = vol.freeClusters;
        d.TotalClusters = vol.totalClusters;
        d.FreeSpace = vol.freeBytes;
        d.Capacity = vol.totalBytes;
        if (vol.volumeInfoOk) {
          d.VolumeLabel = vol.label.substr(0, 255);
          d.FileSystem = vol.fileSystem.substr(0, 255);
          d.Serial = vol.serial;
          d.SerialNumber = VolumeSerialText(vol.serial);
          d.FileFlags =
              FileFlagsFromVolume(vol.volumeFlags, vol.maxComponentLength, vol.rootCompressed);
        }
      }
    }
    d.SizeSource = src;
    d.LabelSource = src;
    // Say why a letter's values are empty: the pages show these reasons in their place.
    if (it == v.volumes.end()) {
      d.SizeSource = d.LabelSource =
          Provenance::Failure(Status::NotSupported, std::string("drive ") + letter, "not recorded");
    } else if (!it->mediaPresent) {
      d.SizeSource = d.LabelSource = Provenance::Failure(
          Status::Missing, std::string("drive ") + letter, "no medium in the drive");
    } else if (!it->volumeInfoOk) {
      d.LabelSource =
          Provenance::Failure(Status::Failed, std::string("volume information of drive ") + letter,
                              "the volume did not answer");
    }
    drives_.push_back(std::move(d));
  }
  drive_ = v.systemDrive.substr(0, 2);
}

void TVexa_Disk::RefreshMounts(const platform::StorageService& storage) {
  by_mount_point_ = true;
  auto table = storage.MountTable();
  list_source_ = table.source;
  if (!table) return;
  auto devices = storage.BlockDevices();
  static const std::vector<platform::BlockDeviceRecord> kNone;
  const auto& blocks = devices ? *devices : kNone;
  for (const MountEntry& m : UserDrives(ParseMountInfo(*table))) {
    TDiskInfo d;
    d.Disk = m.mountPoint;
    d.Network = IsNetworkFileSystem(m.fsType);
    d.FileSystem = m.fsType;
    d.MountSource = m.source;
    d.MountOptions = m.mountOptions;
    d.ReadOnly = m.HasOption("ro");
    d.UNCPath = d.Network ? m.source : m.mountPoint;
    const std::string number = std::to_string(m.major) + ":" + std::to_string(m.minor);
    const BackingDisk backing = d.Network ? BackingDisk{} : FindBacking(blocks, number);
    d.BackingDevice = backing.name;
    d.MediaType = MediaTypeOf(backing.disk, d.Network);
    if (backing.disk) d.BytesPerSector = backing.disk->logicalBlockSize;
    if (backing.udev && !backing.udev->empty()) {
      d.VolumeLabel = DecodeUdevEscapes(UdevValue(backing.udev, "ID_FS_LABEL_ENC"));
      if (d.VolumeLabel.empty()) d.VolumeLabel = UdevValue(backing.udev, "ID_FS_LABEL");
      d.SerialNumber = UdevValue(backing.udev, "ID_FS_UUID");
      d.LabelSource = Provenance::Answered("udev database record of " + number);
    } else if (!d.Network) {
      d.LabelSource = Provenance::Failure(Status::Missing, "udev database record of " + number,
                                          "udev keeps no record of this device");
    }
    auto stats = storage.FileSystemStats(m.mountPoint, d.Network);
    d.SizeSource = stats.source;
    if (stats) {
      const platform::FsStats& s = *stats;
      d.MediaPresent = true;
      d.BlockSize = s.blockSize;
      d.FragmentSize = s.fragmentSize;
      d.TotalClusters = s.blocks;
      d.FreeClusters = s.blocksAvailable;
      d.RootFreeClusters = s.blocksFree;
      d.Files = s.files;
      d.FilesFree = s.filesFree;
      d.NameMax = s.nameMax;
      d.Capacity = static_cast<int64_t>(s.blocks * s.fragmentSize);
      d.FreeSpace = static_cast<int64_t>(s.blocksAvailable * s.fragmentSize);
      if (d.BytesPerSector && s.fragmentSize >= d.BytesPerSector)
        d.SectorsPerCluster = static_cast<uint32_t>(s.fragmentSize / d.BytesPerSector);
      if (s.flags & 1 /* ST_RDONLY */) d.ReadOnly = true;
    }
    d.FileFlags = FlagsOf(m, stats ? &*stats : nullptr);
    drives_.push_back(std::move(d));
  }
  // The root file system stands where a Windows system shows its system drive.
  drive_ = drives_.empty() ? std::string() : drives_.front().Disk;
  for (const TDiskInfo& d : drives_)
    if (d.Disk == "/") drive_ = d.Disk;
}

}  // namespace tavrin::collectors
