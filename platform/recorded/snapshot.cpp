#include "platform/recorded/snapshot.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/recorded/recorded_file_reader.h"
#include "platform/os_services.h"
#include "platform/recorded/recorded_system_facts.h"
#include "platform/reg_text.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"
#include "platform/snapshot_layout.h"
#include "platform/whole_file.h"

namespace tavrin::platform {
namespace {

// A JSON file of the snapshot; a missing optional file is an empty object.
std::optional<nlohmann::json> ReadJson(const std::filesystem::path& file, bool required,
                                       std::string& error) {
  auto text = ReadWholeFile(file);
  if (!text) {
    if (!required && !std::filesystem::exists(file)) return nlohmann::json::object();
    error = file.string() + ": cannot be read";
    return std::nullopt;
  }
  auto j = nlohmann::json::parse(*text, nullptr, false);
  if (j.is_discarded() || !j.is_object()) {
    error = file.string() + ": not valid JSON";
    return std::nullopt;
  }
  return j;
}

// The file service of a single dump: it holds no files at all.
class NoFiles : public FileReader {
 public:
  Answer<std::string> ReadFile(std::string_view path, std::size_t) const override {
    return Answer<std::string>::Fail(Status::NotSupported, std::string(path), "not in the dump");
  }
  Answer<std::vector<std::string>> ListDir(std::string_view path) const override {
    return Answer<std::vector<std::string>>::Fail(Status::NotSupported, std::string(path),
                                                  "not in the dump");
  }
  Answer<std::string> ReadLink(std::string_view path) const override {
    return Answer<std::string>::Fail(Status::NotSupported, std::string(path), "not in the dump");
  }
  Answer<int64_t> BirthTime(std::string_view path) const override {
    return Answer<int64_t>::Fail(Status::NotSupported, std::string(path), "not in the dump");
  }
};

RecordedFilesIndex ParseFilesIndex(const nlohmann::json& j, std::vector<std::string>& warnings) {
  RecordedFilesIndex index;
  if (auto it = j.find("dirs"); it != j.end() && it->is_object()) {
    for (const auto& [path, names] : it->items()) {
      if (!names.is_array()) continue;
      auto& list = index.dirs[path];
      for (const auto& n : names)
        if (n.is_string()) list.push_back(n.get<std::string>());
    }
  }
  if (auto it = j.find("links"); it != j.end() && it->is_object()) {
    for (const auto& [path, target] : it->items())
      if (target.is_string()) index.links[path] = target.get<std::string>();
  }
  if (auto it = j.find("failed"); it != j.end() && it->is_object()) {
    for (const auto& [path, entry] : it->items()) {
      if (auto p = ProvenanceFromJson(entry)) {
        index.failed[path] = *p;
      } else {
        warnings.push_back(std::string(snapshot::kFilesIndex) + ": bad entry for " + path);
      }
    }
  }
  if (auto it = j.find("births"); it != j.end() && it->is_object()) {
    for (const auto& [path, entry] : it->items()) {
      auto p = ProvenanceFromJson(entry);
      if (!p) {
        warnings.push_back(std::string(snapshot::kFilesIndex) + ": bad birth time of " + path);
        continue;
      }
      Answer<int64_t> answer{std::nullopt, *p};
      if (p->ok() && entry.contains("value") && entry["value"].is_number_integer())
        answer.value = entry["value"].get<int64_t>();
      if (p->ok() && !answer.value) answer.source = {Status::Malformed, path, "no time"};
      index.births[path] = answer;
    }
  }
  return index;
}

}  // namespace

SnapshotOpen OpenSnapshot(const std::filesystem::path& dir) {
  SnapshotOpen result;
  std::error_code ec;
  if (!std::filesystem::exists(dir, ec)) {
    result.error = dir.string() + ": no such directory";
    return result;
  }
  if (!std::filesystem::is_directory(dir, ec)) {
    // A single dump file (processor registers, a firmware table) is a snapshot holding just
    // that service, recognised by its content.
    // Dumps are small; a device node or a huge file is refused before anything reads it.
    constexpr std::uintmax_t kMaxDumpBytes = 64u << 20;
    const auto size = std::filesystem::file_size(dir, ec);
    if (!std::filesystem::is_regular_file(dir, ec) || ec || size > kMaxDumpBytes) {
      result.error = dir.string() + ": not a snapshot directory nor a dump file";
      return result;
    }
    Services services;
    services.processor = LoadProcessorDumpFile(dir);
    services.firmware = LoadFirmwareDumpFile(dir);
    if (!services.processor && !services.firmware) {
      result.error = dir.string() + ": not a snapshot directory nor a known dump file";
      return result;
    }
    services.files = std::make_shared<NoFiles>();
    services.registry = std::make_shared<RegistryTree>("snapshot registry");
    services.system = std::make_shared<RecordedSystemFacts>(nlohmann::json::object());
    SetUnsupportedOs(services, "not in the dump");
    services.live = false;
    services.origin = "dump " + dir.string();
    result.services = std::move(services);
    return result;
  }
  auto manifest = ReadJson(dir / snapshot::kManifest, true, result.error);
  if (!manifest) {
    if (!std::filesystem::exists(dir / snapshot::kManifest))
      result.error =
          dir.string() + ": not a snapshot (no " + std::string(snapshot::kManifest) + ")";
    return result;
  }
  if (manifest->value("format", std::string()) != snapshot::kFormat) {
    result.error = (dir / snapshot::kManifest).string() + ": not a Tavrin snapshot";
    return result;
  }
  if (manifest->value("version", 0) > snapshot::kVersion) {
    result.error = (dir / snapshot::kManifest).string() + ": snapshot version " +
                   std::to_string(manifest->value("version", 0)) + " is newer than this program";
    return result;
  }

  auto registry = std::make_shared<RegistryTree>("snapshot registry");
  const auto registry_dir = dir / snapshot::kRegistryDir;
  if (std::filesystem::is_directory(registry_dir, ec)) {
    std::vector<std::filesystem::path> reg_files;
    for (const auto& entry : std::filesystem::directory_iterator(registry_dir, ec))
      if (entry.path().extension() == ".reg") reg_files.push_back(entry.path());
    std::sort(reg_files.begin(), reg_files.end());
    for (const auto& file : reg_files) {
      auto text = ReadWholeFile(file);
      if (!text) {
        result.error = file.string() + ": cannot be read";
        return result;
      }
      RegParseResult parsed = ParseRegText(*text, *registry);
      if (!parsed.ok) {
        result.error = file.string() + ": " + parsed.error;
        return result;
      }
      for (const auto& issue : parsed.issues)
        result.warnings.push_back(file.filename().string() + " line " + std::to_string(issue.line) +
                                  ": " + issue.message);
    }
  }

  auto files_index = ReadJson(dir / snapshot::kFilesIndex, false, result.error);
  if (!files_index) return result;
  auto facts = ReadJson(dir / snapshot::kSystemFacts, false, result.error);
  if (!facts) return result;

  Services services;
  services.files = std::make_shared<RecordedFileReader>(
      dir / snapshot::kFilesDir, ParseFilesIndex(*files_index, result.warnings));
  services.registry = std::move(registry);
  services.system = std::make_shared<RecordedSystemFacts>(std::move(*facts));
  services.processor = LoadRecordedProcessor(dir, result.warnings);
  services.firmware = LoadRecordedFirmware(dir, result.warnings);
  services.devices = LoadRecordedDevices(dir, services.registry, result.warnings);
  services.machine = MakeLinuxMachineFacts(services.files, false);
  LoadRecordedOs(dir, services, result.warnings);
  services.live = false;
  services.origin = "snapshot " + dir.string();
  result.services = std::move(services);
  return result;
}

}  // namespace tavrin::platform
