// The snapshot form of the process service's answers (processes.json), shared by the recorder
// and the replayer. The memory status needs none: it is read through the file service and
// replays from the snapshot's recorded files.
#pragma once

#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

#include "platform/processes.h"

namespace tavrin::platform {

inline constexpr std::string_view kProcessesFile = "processes.json";

nlohmann::json ProcessesToJson(const std::vector<ProcessRecord>& processes);
std::vector<ProcessRecord> ProcessesFromJson(const nlohmann::json& j);
nlohmann::json DriversToJson(const std::vector<DriverRecord>& drivers);
std::vector<DriverRecord> DriversFromJson(const nlohmann::json& j);
nlohmann::json ServicesToJson(const std::vector<ServiceRecord>& services);
std::vector<ServiceRecord> ServicesFromJson(const nlohmann::json& j);
nlohmann::json WindowsToJson(const std::vector<WindowRecord>& windows);
std::vector<WindowRecord> WindowsFromJson(const nlohmann::json& j);

}  // namespace tavrin::platform
