#include "platform/software_json.h"

namespace tavrin::platform {

void to_json(nlohmann::json& j, const RpmPackage& v) {
  j = {{"name", v.name}, {"version", v.version}, {"release", v.release},
       {"arch", v.arch}, {"vendor", v.vendor},   {"packager", v.packager}};
  if (v.sizeBytes) j["size"] = *v.sizeBytes;
  if (v.installTime) j["installTime"] = *v.installTime;
}

void from_json(const nlohmann::json& j, RpmPackage& v) {
  v.name = j.value("name", "");
  v.version = j.value("version", "");
  v.release = j.value("release", "");
  v.arch = j.value("arch", "");
  v.vendor = j.value("vendor", "");
  v.packager = j.value("packager", "");
  if (j.contains("size")) v.sizeBytes = j.at("size").get<uint64_t>();
  if (j.contains("installTime")) v.installTime = j.at("installTime").get<int64_t>();
}

std::string ModifiedTimesKey(const std::string& dir, const std::string& suffix) {
  return dir + "/*" + suffix;
}

}  // namespace tavrin::platform
