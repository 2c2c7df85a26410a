// The storage devices of a Windows machine, read by device controls on the device names
// the machine answers to: the drive letters' volumes, the numbered disks, optical and tape
// drives, and the disk, optical and tape devices the device list knows by interface link.
#pragma once

#include <cstdint>
#include <vector>

#include "collectors/storage/storage_model.h"
#include "platform/services.h"

namespace tavrin::collectors {

struct WindowsStorage {
  std::vector<TDeviceInfo> physical, logical;
  uint32_t lastError = 0;  ///< the system's error code after the last control
  /// Where the list came from, or why it is empty (the first disk's refused open).
  platform::Provenance source;
};

/// Reads every device through `services.deviceControl` (which must be set); `smart` adds the
/// S.M.A.R.T. attribute tables of the disks.
WindowsStorage ReadWindowsStorage(const std::shared_ptr<const platform::Services>& services,
                                  bool smart);

/// Fills `into` from another answer of the same device: empty texts and zero numbers (-1 for
/// the SCSI address and the two indices) take the other's, the S.M.A.R.T. flags are or-ed,
/// and a bus type of 34 is replaced.
void MergeDeviceInfo(TDeviceInfo& into, const TDeviceInfo& from);

/// The fields IDENTIFY data gives a record. Data with an unprintable model gives nothing.
TDeviceInfo DeviceFromIdentify(const AtaIdentity& id);

/// The drive/head register of the SMART identify for drive number N.
uint8_t IdentifyDriveHead(int drive);

/// The capacity: the geometry's product when the driver reported one (its values then also
/// replace IDENTIFY's), else the IDENTIFY rule of SizeFromIdentify.
void ApplySizeRule(TDeviceInfo& device);

}  // namespace tavrin::collectors
