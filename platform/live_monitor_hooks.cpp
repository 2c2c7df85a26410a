// Where the live monitor services (memory status, processes) plug into the live, recorded and
// recording service sets.
#include "platform/linux/linux_memory_status.h"
#include "platform/linux/linux_processes.h"
#include "platform/live_monitor_json.h"
#include "platform/recorded/recorded_live_monitor.h"
#include "platform/recording/recording_live_monitor.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"
#include "platform/whole_file.h"

namespace tavrin::platform {

void AddLinuxLiveMonitor(Services& services) {
  services.memory = MakeLinuxMemoryStatus(services.files, true);
  services.processes = MakeLinuxProcessService(services.files, true);
}

void LoadRecordedLiveMonitor(const std::filesystem::path& dir, Services& services,
                             std::vector<std::string>& warnings) {
  // The memory status replays from the recorded memory summary.
  services.memory = MakeLinuxMemoryStatus(services.files, false);
  const auto file = dir / kProcessesFile;
  auto text = ReadSnapshotFile(file, kMaxWholeFileBytes);
  if (!text) {
    // A captured tree may hold a process file system of its own.
    services.processes = MakeLinuxProcessService(services.files, false);
    return;
  }
  auto j = nlohmann::json::parse(*text, nullptr, false);
  if (j.is_discarded() || !j.is_object()) {
    warnings.push_back(std::string(kProcessesFile) + ": not a JSON object; processes not replayed");
    return;
  }
  services.processes = MakeRecordedProcessService(std::move(j));
}

void RecordLiveMonitor(const Services& live, Services& recording, ServiceRecordings& recordings) {
  // Read through the recording file service, the memory summary lands in the snapshot's files.
  recording.memory = live.memory ? MakeLinuxMemoryStatus(recording.files, true) : nullptr;
  recording.processes = RecordProcesses(live.processes, recordings);
}

}  // namespace tavrin::platform
