// Collector of physical storage devices with identification and S.M.A.R.T..
#pragma once

#include <vector>

#include "collectors/collector.h"
#include "collectors/storage/storage_model.h"
#include "platform/storage.h"

namespace tavrin::collectors {

class TVexa_Storage : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Storage(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Storage", "Storage", std::move(services)) {}

  void RefreshData() override;

  /// When true (the default) the S.M.A.R.T. tables are read for each device.
  bool SMARTDetect = true;

  const std::vector<TDeviceInfo>& PhysicalDevices() const { return physical_; }
  /// Volumes by drive letter, from Windows snapshots; empty on Linux, where a disk's
  /// partitions are listed with the disk.
  const std::vector<TDeviceInfo>& LogicalDevices() const { return logical_; }
  int PhysicalCount() const { return static_cast<int>(physical_.size()); }
  int LogicalCount() const { return static_cast<int>(logical_.size()); }
  /// Why the device list is empty, or where it came from.
  const platform::Provenance& ListSource() const { return list_source_; }
  /// How many SCSI generic devices exist (the SCSI command layer programs address directly).
  const platform::Answer<uint32_t>& ScsiGeneric() const { return scsi_generic_; }
  /// Every SCSI device the kernel lists with its INQUIRY texts; empty with the reason when
  /// there are none or the list could not be read.
  const platform::Answer<std::vector<platform::ScsiDeviceRecord>>& ScsiDevices() const {
    return scsi_devices_;
  }
  /// True when the devices were read by device controls (a Windows machine).
  bool ByDeviceControls() const { return by_device_controls_; }
  /// The system's error code after the last device control (0 after a success).
  uint32_t LastError() const { return last_error_; }

 private:
  std::vector<TDeviceInfo> physical_;
  std::vector<TDeviceInfo> logical_;
  platform::Provenance list_source_;
  platform::Answer<uint32_t> scsi_generic_;
  platform::Answer<std::vector<platform::ScsiDeviceRecord>> scsi_devices_;
  bool by_device_controls_ = false;
  uint32_t last_error_ = 0;
};

}  // namespace tavrin::collectors
