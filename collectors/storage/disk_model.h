// The data model of the logical drives collector: one record per drive, in raw units.
#pragma once

#include <cstdint>
#include <string>

#include "collectors/storage/volume_rules.h"
#include "platform/provenance.h"

namespace tavrin::collectors {

/// One logical drive: a drive letter of a Windows snapshot, or a mounted file system here
/// (then `Disk` is the mount point). Counts are 64-bit: a large Linux volume exceeds 2^32
/// fragments.
struct TDiskInfo {
  std::string Disk;
  TMediaType MediaType = TMediaType::dtUnknown;
  TFileFlags FileFlags = 0;
  uint32_t SectorsPerCluster = 0;
  uint32_t BytesPerSector = 0;
  uint64_t FreeClusters = 0;  ///< free to the user (statvfs f_bavail)
  uint64_t TotalClusters = 0;
  uint32_t Serial = 0;  ///< the raw volume serial (Windows snapshots)
  int64_t Capacity = 0;
  int64_t FreeSpace = 0;  ///< bytes free and available to the user
  std::string VolumeLabel;
  std::string SerialNumber;  ///< "1C2A-3F4B", or the file system's UUID here
  std::string FileSystem;
  std::string UNCPath;  ///< a network share's path (server:/export, //server/share)
  bool MediaPresent = false;

  // Mounted file systems only.
  std::string MountSource;    ///< what was mounted: a device node, or "server:/export"
  std::string BackingDevice;  ///< kernel name of the block device: "sda2"
  std::string MountOptions;
  bool ReadOnly = false;
  bool Network = false;
  uint64_t BlockSize = 0;         ///< preferred I/O size (f_bsize)
  uint64_t FragmentSize = 0;      ///< the allocation unit the counts are in (f_frsize)
  uint64_t RootFreeClusters = 0;  ///< free including the part kept for root (f_bfree)
  uint64_t Files = 0, FilesFree = 0;
  uint64_t NameMax = 0;
  platform::Provenance SizeSource;   ///< statvfs: TimedOut for a server that does not answer
  platform::Provenance LabelSource;  ///< where label and UUID came from, or why not
};

}  // namespace tavrin::collectors
