#include "platform/recorded/snapshot.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/display_session.h"
#include "platform/os_services.h"
#include "platform/recorded/recorded_file_reader.h"
#include "platform/recorded/recorded_firmware.h"
#include "platform/recorded/recorded_processor.h"
#include "platform/recorded/recorded_system_facts.h"
#include "platform/reg_text.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"
#include "platform/snapshot_layout.h"
#include "platform/whole_file.h"

namespace tavrin::platform {
namespace {

// A JSON object file of the snapshot; a missing optional file is an empty object. Anything
// else that keeps it from being used throws SnapshotFileError naming the file and why.
nlohmann::json ReadJson(const std::filesystem::path& file, bool required) {
  auto text = ReadSnapshotFile(file, kMaxWholeFileBytes);
  if (!text) {
    if (required) throw SnapshotFileError(file.string() + ": no such file");
    return nlohmann::json::object();
  }
  auto j = nlohmann::json::parse(*text, nullptr, false);
  if (j.is_discarded()) throw SnapshotFileError(file.string() + ": not valid JSON");
  if (!j.is_object()) throw SnapshotFileError(file.string() + ": not a JSON object");
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

namespace {

// A single dump file (processor registers, a firmware table) is a snapshot holding just that
// service, recognised by its content.
SnapshotOpen OpenDumpFile(const std::filesystem::path& file) {
  SnapshotOpen result;
  // Dumps are small; a device node or a huge file is refused before anything reads it.
  constexpr std::size_t kMaxDumpBytes = std::size_t{16} << 20;
  WholeFile read = ReadWholeFileChecked(file, kMaxDumpBytes);
  if (!read.bytes) {
    result.error = file.string() + ": " + read.error;
    return result;
  }
  std::string why;
  Services services;
  // A monitor's identification block (EDID) as the kernel or a registry export gives it.
  services.display = LoadDisplayDump(*read.bytes, file);
  if (!services.display) services.processor = LoadProcessorDump(*read.bytes, file, why);
  if (!services.display && !services.processor) {
    std::string firmware_why;
    services.firmware = LoadFirmwareDump(*read.bytes, file, firmware_why);
    if (!services.firmware) {
      result.error = file.string() + ": not a snapshot directory, nor a processor register dump (" +
                     why + "), nor a firmware table dump (" + firmware_why +
                     "), nor a monitor identification block";
      return result;
    }
  }
  services.files = std::make_shared<NoFiles>();
  services.registry = std::make_shared<RegistryTree>("snapshot registry");
  services.system = std::make_shared<RecordedSystemFacts>(nlohmann::json::object());
  SetUnsupportedOs(services, "not in the dump");
  services.live = false;
  services.origin = "dump " + file.string();
  result.services = std::move(services);
  return result;
}

void CheckManifest(const std::filesystem::path& file, const nlohmann::json& manifest) {
  const std::string name = file.string();
  if (!manifest.contains("format"))
    throw SnapshotFileError(name + ": no \"format\" field; not a Tavrin snapshot");
  if (FieldOr(manifest, "format", std::string(), name) != snapshot::kFormat)
    throw SnapshotFileError(name + ": not a Tavrin snapshot");
  if (!manifest.contains("version")) throw SnapshotFileError(name + ": no \"version\" field");
  // FieldOr accepts only a whole number that fits; below 1 there never was a version.
  const int version = FieldOr(manifest, "version", 0, name);
  if (version < 1)
    throw SnapshotFileError(name + ": field \"version\" is " + std::to_string(version) +
                            ", not a snapshot version");
  if (version > snapshot::kVersion)
    throw SnapshotFileError(name + ": snapshot version " + std::to_string(version) +
                            " is newer than this program");
}

SnapshotOpen OpenSnapshotDirectory(const std::filesystem::path& dir) {
  SnapshotOpen result;
  std::error_code ec;
  const auto manifest_file = dir / snapshot::kManifest;
  auto manifest_text = ReadSnapshotFile(manifest_file, kMaxWholeFileBytes);
  if (!manifest_text) {
    result.error = dir.string() + ": not a snapshot (no " + std::string(snapshot::kManifest) + ")";
    return result;
  }
  auto manifest = nlohmann::json::parse(*manifest_text, nullptr, false);
  if (manifest.is_discarded() || !manifest.is_object())
    throw SnapshotFileError(manifest_file.string() + ": not valid JSON");
  CheckManifest(manifest_file, manifest);

  auto registry = std::make_shared<RegistryTree>("snapshot registry");
  const auto registry_dir = dir / snapshot::kRegistryDir;
  if (std::filesystem::is_directory(registry_dir, ec)) {
    std::vector<std::filesystem::path> reg_files;
    for (const auto& entry : std::filesystem::directory_iterator(registry_dir, ec))
      if (entry.path().extension() == ".reg") reg_files.push_back(entry.path());
    std::sort(reg_files.begin(), reg_files.end());
    for (const auto& file : reg_files) {
      // A directory or a FIFO named x.reg says so rather than "missing header line".
      auto text = ReadSnapshotFile(file, kMaxWholeFileBytes);
      if (!text) throw SnapshotFileError(file.string() + ": no such file");
      RegParseResult parsed = ParseRegText(*text, *registry);
      if (!parsed.ok) throw SnapshotFileError(file.string() + ": " + parsed.error);
      for (const auto& issue : parsed.issues)
        result.warnings.push_back(file.filename().string() + " line " + std::to_string(issue.line) +
                                  ": " + issue.message);
    }
  }

  auto files_index = ReadJson(dir / snapshot::kFilesIndex, false);
  auto facts = ReadJson(dir / snapshot::kSystemFacts, false);

  Services services;
  services.files = std::make_shared<RecordedFileReader>(
      dir / snapshot::kFilesDir, ParseFilesIndex(files_index, result.warnings));
  services.registry = std::move(registry);
  services.system = std::make_shared<RecordedSystemFacts>(std::move(facts));
  services.processor = LoadRecordedProcessor(dir, result.warnings);
  services.firmware = LoadRecordedFirmware(dir, result.warnings);
  services.devices = LoadRecordedDevices(dir, services.registry, result.warnings);
  services.machine = MakeLinuxMachineFacts(services.files, false);
  LoadRecordedOs(dir, services, result.warnings);
  LoadRecordedLiveMonitor(dir, services, result.warnings);
  LoadRecordedDisplay(dir, services, result.warnings);
  LoadRecordedStorage(dir, services, result.warnings);
  LoadRecordedNetwork(dir, services, result.warnings);
  LoadRecordedInputOutput(dir, services, result.warnings);
  LoadRecordedSoftware(dir, services, result.warnings);
  LoadRecordedPorts(dir, services, result.warnings);
  services.deviceControl = LoadRecordedDeviceControl(dir);
  services.live = false;
  services.origin = "snapshot " + dir.string();
  result.services = std::move(services);
  return result;
}

}  // namespace

SnapshotOpen OpenSnapshot(const std::filesystem::path& dir) {
  // The path itself is examined without following a last link first, so that a link loop or
  // a dangling link is named as such rather than as "no such directory".
  std::error_code ec;
  const auto status = std::filesystem::status(dir, ec);
  if (ec || !std::filesystem::exists(status)) {
    SnapshotOpen result;
    const auto link = std::filesystem::symlink_status(dir, ec);
    if (!ec && std::filesystem::is_symlink(link)) {
      WholeFile probe = ReadWholeFileChecked(dir, 0);  // names ELOOP or the dangling target
      result.error = dir.string() + ": " + (probe.missing ? "a link to nothing" : probe.error);
    } else {
      result.error = dir.string() + ": no such directory or dump file";
    }
    return result;
  }
  try {
    if (!std::filesystem::is_directory(status)) return OpenDumpFile(dir);
    return OpenSnapshotDirectory(dir);
  } catch (const SnapshotFileError& e) {
    SnapshotOpen result;
    result.error = e.what();
    return result;
  } catch (const nlohmann::json::exception& e) {
    // Every field is checked where it is read; this is the last guard against one that is not.
    SnapshotOpen result;
    result.error =
        dir.string() + ": a snapshot file holds a value of the wrong type (" + e.what() + ")";
    return result;
  }
}

}  // namespace tavrin::platform
