// Where the software service plugs into the live, recorded and recording service sets.
//
// The same Linux service serves all three: over this machine's files and probes, over a
// snapshot's copied files and its software.json, or over the recording file reader with probes
// that keep their answers. A snapshot of a Windows machine gets none; its collectors read the
// registry.
#include <nlohmann/json.hpp>

#include "platform/os_facts.h"
#include "platform/recorded/recorded_software.h"
#include "platform/recording/recording_software.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"
#include "platform/software_json.h"
#include "platform/software_probes.h"
#include "platform/whole_file.h"

namespace tavrin::platform {
namespace {

// The user's home folder, for the user's own autostart, application and unit folders.
std::string HomeOf(const Services& services) {
  if (!services.os) return {};
  auto user = services.os->CurrentUser();
  return user ? user->home : std::string();
}

bool DescribesWindows(const Services& services) {
  if (!services.system) return false;
  auto record = services.system->OsVersionRecord();
  return record && record->platform != OsPlatform::Linux;
}

}  // namespace

void AddLinuxSoftware(Services& services) {
  services.software = MakeLinuxSoftwareService(
      services.files, MakeLiveSoftwareProbes(services.files->root()), HomeOf(services));
}

void LoadRecordedSoftware(const std::filesystem::path& dir, Services& services,
                          std::vector<std::string>& warnings) {
  if (DescribesWindows(services) || !services.files) return;
  nlohmann::json j = nlohmann::json::object();
  const auto file = dir / kSoftwareJson;
  if (auto text = ReadSnapshotFile(file, kMaxWholeFileBytes)) {
    j = nlohmann::json::parse(*text, nullptr, false);
    if (j.is_discarded() || !j.is_object()) {
      warnings.push_back(file.string() +
                         ": not valid JSON; package times, RPM packages and runtime "
                         "versions are missing");
      j = nlohmann::json::object();
    }
  }
  services.software = MakeLinuxSoftwareService(
      services.files, MakeRecordedSoftwareProbes(std::move(j)), HomeOf(services));
}

void RecordSoftware(const Services& live, Services& recording, ServiceRecordings& recordings) {
  if (!live.software || !recording.files) return;
  std::unique_ptr<ServiceRecording> part;
  auto probes = RecordSoftwareProbes(MakeLiveSoftwareProbes(live.files->root()), part);
  recordings.push_back(std::move(part));
  recording.software =
      MakeLinuxSoftwareService(recording.files, std::move(probes), HomeOf(recording));
}

}  // namespace tavrin::platform
