// The two storage pages' choices and details: the drives page shows one logical drive, the
// storage page one physical device, each chosen from a drop-down list the window builds from
// the entries below. The fillers show the selection the collectors start with.
#pragma once

#include <string>
#include <vector>

#include "pages/fill_context.h"
#include "pages/page_model.h"

namespace tavrin::collectors {
class TVexa_Disk;
class TVexa_Storage;
struct TDiskInfo;
}  // namespace tavrin::collectors

namespace tavrin::pages {

/// One item of a page's drop-down list.
struct ChoiceEntry {
  std::string caption;
  std::string key;  ///< the drive (mount point or letter), or the device index as text
  int image = 3;    ///< 1 fixed drive or hard disk, 2 optical drive, 3 anything else
};

/// The drives the drives page offers: on a Windows snapshot its fixed, optical and RAM drives
/// ("SYSTEM (C:)"); here every mounted drive, removable and network ones too ("data (/srv)").
std::vector<ChoiceEntry> DriveChoices(const collectors::TVexa_Disk& disk);
/// The drive the list starts on: the collector's selection (the system drive, or "/").
std::string DefaultDrive(const collectors::TVexa_Disk& disk);
/// Fills the drives page for `drive`.
void FillDriveDetails(const FillContext& ctx, const std::string& drive, Page& page);

/// The texts beside the drives page's pie, and its two values.
struct DriveSummary {
  std::string total, used, free, fileSystem, compression, encryption, bytesPerCluster;
  uint64_t usedBytes = 0, freeBytes = 0;
  bool known = false;  ///< false when the sizes could not be read (the pie stays empty)
};
DriveSummary SummaryOf(const collectors::TDiskInfo& drive);

/// The physical devices the storage page offers (upper-case model, kernel name).
std::vector<ChoiceEntry> StorageChoices(const collectors::TVexa_Storage& storage);
/// Fills the storage page for physical device `index`.
void FillStorageDeviceDetails(const FillContext& ctx, int index, Page& page);

}  // namespace tavrin::pages
