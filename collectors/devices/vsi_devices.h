// Collector of the device list: every present device instance of the machine's device
// database, with its class, names, location, PCI ids, driver, service and resources, sorted by
// class name.
#pragma once

#include <vector>

#include "collectors/collector.h"
#include "collectors/devices/device_classes.h"
#include "collectors/devices/device_record.h"

namespace tavrin::collectors {

class TVexa_Devices : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Devices(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Devices", "Devices", std::move(services)) {}

  void RefreshData() override;

  /// Number of records after the last refresh.
  int32_t DeviceCount() const { return static_cast<int32_t>(devices_.size()); }
  /// A copy of the record at `index` of the sorted list; an empty record outside the list.
  TDevice Devices(int32_t index) const;
  /// Refreshes so far: tells a view built from an earlier list that it is stale.
  uint64_t RefreshCount() const { return refresh_count_; }
  /// The records themselves, for callers that walk them all.
  const std::vector<TDevice>& List() const { return devices_; }

  /// Why the list is empty or incomplete (no device database, a failed walk).
  platform::Provenance Source;
  /// Whether the id files answered (names then come from the devices alone).
  platform::Provenance PciIdsSource, UsbIdsSource;
  /// Where the udev properties came from, and whether the kernel log told of failed probes.
  platform::Provenance UdevSource, KernelLogSource;

 private:
  std::vector<TDevice> devices_;
  uint64_t refresh_count_ = 0;
};

/// Everything the device list does with one instance's values: the semicolon rule, names,
/// location, class and driver and service keys, PCI ids. Nullopt for a device that is not
/// present or has no class name.
std::optional<TDevice> MakeDeviceRecord(const platform::DeviceService& service,
                                        const platform::DeviceInstanceValues& values,
                                        bool windows7ClassTexts);

/// The description of the first device of class Computer; empty when there is none.
std::string ComputerDescription(const TVexa_Devices& devices);

}  // namespace tavrin::collectors
