// Collector of the monitors and their identification blocks.
#pragma once

#include <vector>

#include "collectors/collector.h"
#include "collectors/display/edid_types.h"

namespace tavrin::collectors {

struct TMonitorRecord {
  std::string RegistryKey;        ///< the device's key, or the connector's sysfs folder
  std::string DeviceDescription;  ///< the device's description, or "card0 HDMI-A-1"
  std::string Model;              ///< the device's name, or the block's monitor name
  std::string Manufacturer;       ///< the maker's name (PNP id list), else the device's
  std::string Name;               ///< monitor name descriptor texts
  std::string ProductNumber;      ///< serial number descriptor texts
  uint8_t Width = 0, Height = 0;  ///< maximum image size, cm
  uint32_t SerialNumber = 0;
  uint16_t Week = 0;
  uint16_t Year = 1990;
  uint16_t ManufacturerCode = 0;  ///< the raw id word
  uint16_t ProductCode = 0;
  double Gamma = 1.0;
  std::string EDID_Version = "0.0";

  // Beyond the registry's record.
  std::string Connector;  ///< "HDMI-A-1" on Linux
  std::string Card;       ///< "card0"
  std::string Status, Enabled, Dpms;
  bool HasBlock = false;  ///< an identification block was read
  edid::Edid Block;       ///< all of it, decoded
  platform::Provenance BlockSource;
  platform::Provenance ManufacturerSource;  ///< the PNP id list, or why it is missing
};

class TVexa_Monitor : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Monitor(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Monitor", "Monitor", std::move(services)) {}

  void RefreshData() override;

  uint32_t Count() const { return static_cast<uint32_t>(records_.size()); }
  /// A copy of record `i`; an empty record outside the list.
  TMonitorRecord Record(uint32_t i) const {
    return i < records_.size() ? records_[i] : TMonitorRecord{};
  }
  const std::vector<TMonitorRecord>& Records() const { return records_; }
  /// Why the list is empty (no display service, no connector with a monitor).
  platform::Provenance Source;

 private:
  std::vector<TMonitorRecord> records_;
};

/// Fills the block's fields of `record` from its decoded identification block.
void TakeBlock(const edid::Edid& block, TMonitorRecord& record);

}  // namespace tavrin::collectors
