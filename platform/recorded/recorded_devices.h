// The device part of a snapshot: devices/devices.json, every answer the device service gave
// while recording (instances, their values and facts, class, driver and service keys, and the
// lines of the id files that were looked up).
#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/devices.h"

namespace tavrin::platform {

inline constexpr std::string_view kDevicesDir = "devices";
inline constexpr std::string_view kDevicesFile = "devices.json";

nlohmann::json DeviceValuesToJson(const DeviceInstanceValues& v);
std::optional<DeviceInstanceValues> DeviceValuesFromJson(const nlohmann::json& j);
std::string DeviceKey(const DeviceInstanceRef& ref);  ///< "PCI\VEN_...\0000:00:03.0"

/// Answers from a recorded devices.json; a request the recording never saw is "missing".
class RecordedDeviceService : public DeviceService {
 public:
  explicit RecordedDeviceService(nlohmann::json recorded);

  Answer<std::vector<DeviceInstanceRef>> Instances() const override;
  Answer<DeviceInstanceValues> Instance(const DeviceInstanceRef& ref) const override;
  Answer<DeviceClassValues> ClassKey(std::string_view guid) const override;
  Answer<DeviceDriverValues> DriverKey(std::string_view driver) const override;
  Answer<DeviceServiceValues> ServiceKey(std::string_view name) const override;
  Answer<std::string> IdEntries(IdDatabase database, const IdKeys& ids) const override;
  DeviceWalkSources WalkSources() const override;

 private:
  const nlohmann::json* Find(const char* table, const std::string& key) const;
  nlohmann::json recorded_;
};

}  // namespace tavrin::platform
