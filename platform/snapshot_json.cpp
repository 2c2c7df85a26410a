#include "platform/snapshot_json.h"

#include "platform/whole_file.h"

namespace tavrin::platform {

nlohmann::json ProvenanceToJson(const Provenance& p) {
  nlohmann::json j;
  j["status"] = std::string(StatusName(p.status));
  j["source"] = p.source;
  if (!p.detail.empty()) j["detail"] = p.detail;
  return j;
}

std::optional<Provenance> ProvenanceFromJson(const nlohmann::json& j) {
  if (!j.is_object() || !j.contains("status") || !j["status"].is_string()) return std::nullopt;
  auto status = StatusFromName(j["status"].get<std::string>());
  if (!status) return std::nullopt;
  Provenance p;
  p.status = *status;
  if (j.contains("source") && j["source"].is_string()) p.source = j["source"].get<std::string>();
  if (j.contains("detail") && j["detail"].is_string()) p.detail = j["detail"].get<std::string>();
  return p;
}

nlohmann::json OsVersionToJson(const OsVersion& v) {
  return {{"platform", static_cast<uint32_t>(v.platform)},
          {"major", v.major},
          {"minor", v.minor},
          {"build", v.build},
          {"csd", v.csd}};
}

std::optional<OsVersion> OsVersionFromJson(const nlohmann::json& j) {
  if (!j.is_object()) return std::nullopt;
  OsVersion v;
  try {
    v.platform = static_cast<OsPlatform>(j.at("platform").get<uint32_t>());
    v.major = j.at("major").get<uint32_t>();
    v.minor = j.at("minor").get<uint32_t>();
    v.build = j.at("build").get<uint32_t>();
    v.csd = j.value("csd", std::string());
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;
  }
  return v;
}

std::optional<std::string> ReadSnapshotFile(const std::filesystem::path& file, std::size_t limit) {
  WholeFile read = ReadWholeFileChecked(file, limit);
  if (read.bytes) return std::move(read.bytes);
  if (read.missing) return std::nullopt;
  throw SnapshotFileError(file.string() + ": " + read.error);
}

void detail::ThrowWrongField(std::string_view file, std::string_view name, std::string_view wanted,
                             const nlohmann::json& found) {
  std::string shown = found.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  if (shown.size() > 40) shown = shown.substr(0, 37) + "...";
  throw SnapshotFileError(std::string(file) + ": field \"" + std::string(name) + "\" is " + shown +
                          ", not " + std::string(wanted));
}

std::string DumpJson(const nlohmann::json& j) {
  return j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace tavrin::platform
