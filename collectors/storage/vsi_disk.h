// Collector of logical drives and their file systems.
#pragma once

#include <string>
#include <vector>

#include "collectors/collector.h"
#include "collectors/storage/disk_model.h"

namespace tavrin::platform {
class StorageService;
struct WindowsVolumes;
}  // namespace tavrin::platform

namespace tavrin::collectors {

class TVexa_Disk : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Disk(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Disk", "Disk", std::move(services)) {}

  /// Reads every drive once: choosing a drive afterwards never waits on a slow file system.
  void RefreshData() override;

  /// One upper-case letter per drive letter (Windows snapshots); empty here.
  const std::string& AvailableDisks() const { return available_disks_; }
  /// Every drive, in the platform's order (drive letters, or the mount table's order).
  const std::vector<TDiskInfo>& Drives() const { return drives_; }
  /// True when the drives are mounted file systems named by mount point.
  bool ByMountPoint() const { return by_mount_point_; }
  /// Why the list is empty, or where it came from.
  const platform::Provenance& ListSource() const { return list_source_; }

  /// The selected drive: the system drive (or "/") after a refresh.
  const std::string& Drive() const { return drive_; }
  /// Selects a drive of the list; an unknown one selects nothing.
  void SetDrive(const std::string& drive) { drive_ = drive; }
  /// The selected drive's record; a record with only `Disk` set and dtNotExists when the
  /// drive is not in the list.
  TDiskInfo Selected() const;

  static std::string GetMediaTypeStr(TMediaType type);

 private:
  void RefreshMounts(const platform::StorageService& storage);
  void RefreshLetters(const platform::WindowsVolumes& volumes, const platform::Provenance& src);

  std::string available_disks_;
  std::vector<TDiskInfo> drives_;
  bool by_mount_point_ = false;
  platform::Provenance list_source_;
  std::string drive_;
};

}  // namespace tavrin::collectors
