#include "platform/storage.h"

#include <array>
#include <utility>

namespace tavrin::platform {
namespace {

constexpr std::array<std::pair<DeviceQuery, std::string_view>, 7> kQueryNames = {{
    {DeviceQuery::kAtaIdentify, "ata-identify"},
    {DeviceQuery::kAtaIdentifyPacket, "ata-identify-packet"},
    {DeviceQuery::kAtaSmartData, "ata-smart-data"},
    {DeviceQuery::kAtaSmartThresholds, "ata-smart-thresholds"},
    {DeviceQuery::kAtaCheckPowerMode, "ata-check-power-mode"},
    {DeviceQuery::kNvmeIdentifyController, "nvme-identify-controller"},
    {DeviceQuery::kNvmeHealthLog, "nvme-health-log"},
}};

}  // namespace

std::string_view DeviceQueryName(DeviceQuery query) {
  for (const auto& [q, name] : kQueryNames)
    if (q == query) return name;
  return "unknown";
}

std::optional<DeviceQuery> DeviceQueryFromName(std::string_view name) {
  for (const auto& [q, n] : kQueryNames)
    if (n == name) return q;
  return std::nullopt;
}

bool IsNvmeQuery(DeviceQuery query) {
  return query == DeviceQuery::kNvmeIdentifyController || query == DeviceQuery::kNvmeHealthLog;
}

}  // namespace tavrin::platform
