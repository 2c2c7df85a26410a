// The drives page: one logical drive's volume, file-system, logical and physical data, and
// the summary beside its pie.
#include <algorithm>

#include "collectors/storage/storage_rules.h"
#include "collectors/storage/vsi_disk.h"
#include "collectors/storage/vsi_storage.h"
#include "collectors/system_info.h"
#include "helpers/accessors.h"
#include "pages/drives_pages.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "pages/value_format.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using collectors::TDiskInfo;
using collectors::TMediaType;
using collectors::TVexa_Disk;
using namespace drives_section;

std::string Exact(uint64_t bytes) {
  return helpers::Helper().FormatBytes(helpers::kFormatExactGrouped, UserThousandSeparator(), bytes,
                                       0, 0, "");
}
std::string Gigabytes(uint64_t bytes) {
  return helpers::Helper().FormatBytes(helpers::kFormatGigabytes, UserThousandSeparator(), bytes, 2,
                                       0, "");
}

RowMeta Count(const platform::Provenance& src, uint64_t n, std::string_view id = {}) {
  return RowMeta{src, false, Quantity::Of(n, QuantityUnit::kCount), id};
}
RowMeta Bytes(const platform::Provenance& src, uint64_t n, std::string_view id = {}) {
  return RowMeta{src, false, Quantity::Of(n, QuantityUnit::kBytes), id};
}

std::string Number(uint64_t n, bool known) {
  return known ? std::to_string(n) : std::string();
}

void AddFlag(const FillContext& ctx, Page& page, const std::string& label, bool set,
             bool advanced) {
  AddItemEx(ctx, page, kFileSystem, set ? 0 : 1, label, set ? lbl::S_YES : lbl::S_NO, "", advanced,
            0);
}

void AddVolumeRows(const FillContext& ctx, Page& page, const TDiskInfo& d) {
  const bool sized = d.MediaPresent;
  const auto& src = d.SizeSource;
  AddItem(ctx, page, kVolume, lbl::S_DISK_LETTER, d.Disk, "", false);
  AddItem(ctx, page, kVolume, lbl::S_DISK_VOLUME, TVexa_Disk::GetMediaTypeStr(d.MediaType), "",
          false);
  AddItem(ctx, page, kVolume, lbl::S_DISK_VOLUMENAME, d.VolumeLabel, "", false,
          {d.LabelSource, true});
  AddItem(ctx, page, kVolume, lbl::S_DISK_SERIAL, d.SerialNumber, "", false, {d.LabelSource, true});
  AddItem(ctx, page, kVolume, lbl::S_DISK_FILESYSTEM, d.FileSystem, "", false);
  AddItem(ctx, page, kVolume, lbl::S_DISK_MOUNTED_FROM, d.MountSource, "", false);
  AddItem(ctx, page, kVolume, lbl::S_DISK_BLOCK_DEVICE, d.BackingDevice, "", false);
  if (!sized && src.status == platform::Status::TimedOut) {
    // A server that stopped answering: say so where the size would be.
    AddItem(ctx, page, kVolume, lbl::S_DISK_TOTALBYTES,
            FormatText(lbl::S_DISK_NOT_ANSWERING, {src.Explain()}), "", false, {src});
  } else {
    AddItem(ctx, page, kVolume, lbl::S_DISK_TOTALBYTES, sized ? Exact(d.Capacity) : "", "", false,
            Bytes(src, d.Capacity));
  }
  AddItem(ctx, page, kVolume, lbl::S_DISK_BYTESFREE, sized ? Exact(d.FreeSpace) : "", "", false,
          Bytes(src, d.FreeSpace));
  const uint64_t used = d.Capacity > d.FreeSpace ? d.Capacity - d.FreeSpace : 0;
  AddItem(ctx, page, kVolume, lbl::S_DISK_BYTESUSED, sized ? Exact(used) : "", "", false,
          Bytes(src, used));
  if (d.RootFreeClusters != d.FreeClusters)
    AddItem(ctx, page, kVolume, lbl::S_DISK_BYTES_FREE_ROOT,
            sized ? Exact(d.RootFreeClusters * d.FragmentSize) : "", "", true,
            Bytes(src, d.RootFreeClusters * d.FragmentSize));
  AddItem(ctx, page, kVolume, lbl::S_DISK_MOUNT_OPTIONS, d.MountOptions, "", true);
}

void AddFileSystemRows(const FillContext& ctx, Page& page, const TDiskInfo& d) {
  using namespace collectors;
  const auto has = [&](TFileFlag f) { return (d.FileFlags & f) != 0; };
  if (d.FileSystem.empty()) {
    // Without media or volume information there are no capabilities to tell; say why.
    if (!d.LabelSource.ok()) page.Sections()[kFileSystem].note = d.LabelSource.Explain();
    return;
  }
  AddFlag(ctx, page, lbl::S_DISK_FC, has(fsFileCompression), false);
  AddFlag(ctx, page, lbl::S_DISK_VC, has(fsVolumeIsCompressed), false);
  AddFlag(ctx, page, lbl::S_DISK_LFN, has(fsLongFileNames), false);
  AddFlag(ctx, page, lbl::S_DISK_UFN, has(fsUnicodeStoredOnDisk), false);
  AddFlag(ctx, page, lbl::S_DISK_FSS, has(fsEncryptedFileSystemSupport), false);
  AddFlag(ctx, page, lbl::S_DISK_CS, has(fsCaseSensitive), true);
  AddFlag(ctx, page, lbl::S_DISK_CP, has(fsCaseIsPreserved), true);
  AddFlag(ctx, page, lbl::S_DISK_P, has(fsPersistentAcls), true);
  AddFlag(ctx, page, lbl::S_DISK_IDS, has(fsObjectIDsSupport), true);
  AddFlag(ctx, page, lbl::S_DISK_RPS, has(fsReparsePointsSupport), true);
  AddFlag(ctx, page, lbl::S_DISK_PFS, has(fsSparseFilesSupport), true);
  AddFlag(ctx, page, lbl::S_DISK_DQS, has(fsDiskQuotasSupport), true);
  if (!d.MountSource.empty()) AddFlag(ctx, page, lbl::S_DISK_READ_ONLY, d.ReadOnly, false);
}

void AddLogicalRows(const FillContext& ctx, Page& page, const TDiskInfo& d) {
  const bool sized = d.MediaPresent;
  const auto& src = d.SizeSource;
  const uint64_t used = d.TotalClusters > d.FreeClusters ? d.TotalClusters - d.FreeClusters : 0;
  AddItem(ctx, page, kLogical, lbl::S_DISK_CLUSTERS, Number(d.TotalClusters, sized), "", false,
          Count(src, d.TotalClusters));
  AddItem(ctx, page, kLogical, lbl::S_DISK_FREECLUSTERS, Number(d.FreeClusters, sized), "", false,
          Count(src, d.FreeClusters));
  AddItem(ctx, page, kLogical, lbl::S_DISK_USEDCLUSTERS, Number(used, sized), "", false,
          Count(src, used));
  const uint64_t perCluster = d.TotalClusters ? d.Capacity / d.TotalClusters : 0;
  AddItem(ctx, page, kLogical, lbl::S_DISK_BPC, Number(perCluster, sized && d.TotalClusters), "",
          false, Bytes(src, perCluster));
  const bool sectors = sized && d.SectorsPerCluster;
  AddItem(ctx, page, kLogical, lbl::S_DISK_SPC, Number(d.SectorsPerCluster, sectors), "", false,
          Count(src, d.SectorsPerCluster));
  AddItem(ctx, page, kLogical, lbl::S_DISK_USEDSECTORS, Number(used * d.SectorsPerCluster, sectors),
          "", false, Count(src, used * d.SectorsPerCluster));
  AddItem(ctx, page, kLogical, lbl::S_DISK_FREESECTORS,
          Number(d.FreeClusters * d.SectorsPerCluster, sectors), "", false,
          Count(src, d.FreeClusters * d.SectorsPerCluster));
  if (d.Files) {
    AddItem(ctx, page, kLogical, lbl::S_DISK_FILES, Number(d.Files, sized), "", true,
            Count(src, d.Files));
    AddItem(ctx, page, kLogical, lbl::S_DISK_FILES_FREE, Number(d.FilesFree, sized), "", true,
            Count(src, d.FilesFree));
  }
  if (d.BlockSize)
    AddItem(ctx, page, kLogical, lbl::S_DISK_IO_SIZE, Number(d.BlockSize, sized), "", true,
            Bytes(src, d.BlockSize));
}

void AddPhysicalRows(const FillContext& ctx, Page& page, const TDiskInfo& d) {
  const bool sectors = d.MediaPresent && d.BytesPerSector;
  AddItem(ctx, page, kPhysical, lbl::S_DISK_BYTESPS, Number(d.BytesPerSector, sectors), "", false,
          Bytes(d.SizeSource, d.BytesPerSector));
  const uint64_t total = d.TotalClusters * d.SectorsPerCluster;
  AddItem(ctx, page, kPhysical, lbl::S_DISK_TOTALSECTORS,
          Number(total, sectors && d.SectorsPerCluster), "", false, Count(d.SizeSource, total));
  if (!d.MediaPresent) return;
  if (d.Network) NoteEmptySection(page, kPhysical, lbl::S_DISK_NETWORK_NO_SECTORS);
}

// The device behind a drive letter, as its volume's device controls described it, and the
// disk and partition its first extent lies on.
void AddVolumeDeviceRows(const FillContext& ctx, Page& page, const TDiskInfo& d) {
  using namespace collectors;
  const auto storage = ctx.info.Find<TVexa_Storage>();
  if (!storage) return;
  for (const TDeviceInfo& v : storage->LogicalDevices()) {
    if (v.Drive != d.Disk.substr(0, 2)) continue;
    AddItem(ctx, page, kPhysical, lbl::S_IDE_MODEL, v.Model, "", false, {v.IdentifySource});
    const std::string bus = BusTypeName(v.BusType);
    if (v.DeviceType == kDeviceTypeDisk)
      AddItem(ctx, page, kPhysical, lbl::S_IDE_DEVICETYPE_HARD, bus + lbl::S_COUNT_HARD_DRIVE, "",
              false);
    else if (v.DeviceType == kDeviceTypeCdRom)
      AddItem(ctx, page, kPhysical, lbl::S_IDE_DEVICETYPE_CD, bus + lbl::S_COUNT_CD_DVD, "", false);
    const auto& disks = storage->PhysicalDevices();
    if (v.PHYSIndex >= 0 && v.PHYSIndex < static_cast<int>(disks.size())) {
      const TDeviceInfo& disk = disks[v.PHYSIndex];
      const auto& layout = disk.Layout;
      const bool known = v.LayoutIndex >= 0 && v.LayoutIndex < static_cast<int>(layout.size());
      const std::string label = known
                                    ? FormatText(lbl::S_IDE_PARTITION, {layout[v.LayoutIndex].Name})
                                    : lbl::S_IDE_DEVICE_NAME;
      AddItem(ctx, page, kPhysical, label, disk.Model + " (" + disk.DevicePath + ")", "", false,
              {disk.Source});
    }
    return;
  }
}

}  // namespace

std::vector<ChoiceEntry> DriveChoices(const TVexa_Disk& disk) {
  std::vector<ChoiceEntry> entries;
  for (const TDiskInfo& d : disk.Drives()) {
    const std::string name =
        d.VolumeLabel.empty() ? TVexa_Disk::GetMediaTypeStr(d.MediaType) : d.VolumeLabel;
    ChoiceEntry e;
    e.key = d.Disk;
    e.image = d.MediaType == TMediaType::dtFixed ? 1 : d.MediaType == TMediaType::dtCDROM ? 2 : 3;
    if (disk.ByMountPoint()) {
      // Mount points are case-sensitive paths: shown as they are.
      e.caption = name + " (" + d.Disk + ")";
    } else {
      // Drive letters: fixed, optical and RAM drives only, as the letters' list shows them.
      if (d.MediaType != TMediaType::dtFixed && d.MediaType != TMediaType::dtCDROM &&
          d.MediaType != TMediaType::dtRAMDisk)
        continue;
      e.caption = name + " (" + d.Disk.substr(0, 1) + ":)";
      std::transform(e.caption.begin(), e.caption.end(), e.caption.begin(),
                     [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    }
    entries.push_back(std::move(e));
  }
  if (!disk.ByMountPoint())
    std::sort(entries.begin(), entries.end(),
              [](const ChoiceEntry& a, const ChoiceEntry& b) { return a.key < b.key; });
  return entries;
}

std::string DefaultDrive(const TVexa_Disk& disk) {
  const auto choices = DriveChoices(disk);
  for (const ChoiceEntry& c : choices)
    if (c.key == disk.Drive()) return c.key;
  return choices.empty() ? std::string() : choices.front().key;
}

DriveSummary SummaryOf(const TDiskInfo& d) {
  using namespace collectors;
  DriveSummary s;
  s.known = d.MediaPresent && d.Capacity > 0;
  s.fileSystem = d.FileSystem.empty() ? lbl::S_NA : d.FileSystem;
  s.compression = d.FileSystem.empty()                ? lbl::S_NA
                  : (d.FileFlags & fsFileCompression) ? lbl::S_YES
                                                      : lbl::S_NO;
  s.encryption = d.FileSystem.empty()                           ? lbl::S_NA
                 : (d.FileFlags & fsEncryptedFileSystemSupport) ? lbl::S_YES
                                                                : lbl::S_NO;
  if (!s.known) {
    s.total = s.used = s.free = s.bytesPerCluster = lbl::S_NA;
    return s;
  }
  s.freeBytes = static_cast<uint64_t>(d.FreeSpace);
  s.usedBytes = static_cast<uint64_t>(d.Capacity - std::min(d.Capacity, d.FreeSpace));
  s.total = Gigabytes(d.Capacity);
  s.used = Gigabytes(s.usedBytes);
  s.free = Gigabytes(s.freeBytes);
  s.bytesPerCluster = d.TotalClusters ? std::to_string(d.Capacity / d.TotalClusters) : lbl::S_NA;
  return s;
}

void FillDriveDetails(const FillContext& ctx, const std::string& drive, Page& page) {
  const auto disk = ctx.info.Find<TVexa_Disk>();
  if (!disk) return;
  if (disk->Drives().empty()) {
    // Not refreshed yet: the sections' own reasons ("not gathered yet") say it better.
    if (disk->ListSource().source.empty()) return;
    const std::string why = FormatText(lbl::S_DISK_NO_DRIVES, {disk->ListSource().Explain()});
    for (int s = 0; s < kCount; ++s) NoteEmptySection(page, s, why);
    return;
  }
  TDiskInfo d;
  d.Disk = drive;
  d.MediaType = TMediaType::dtNotExists;
  for (const TDiskInfo& each : disk->Drives())
    if (each.Disk == drive) d = each;
  AddVolumeRows(ctx, page, d);
  AddFileSystemRows(ctx, page, d);
  AddLogicalRows(ctx, page, d);
  AddPhysicalRows(ctx, page, d);
  if (!disk->ByMountPoint()) AddVolumeDeviceRows(ctx, page, d);
}

void FillDrivesPage(const FillContext& ctx, Page& page) {
  const auto disk = ctx.info.Find<TVexa_Disk>();
  if (!disk) return;
  FillDriveDetails(ctx, DefaultDrive(*disk), page);
}

}  // namespace tavrin::pages
