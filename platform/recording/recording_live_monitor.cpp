// Recording of the process service: its last answer of each kind into processes.json. The
// process file system is not copied file by file; a few hundred processes' mappings would make
// the snapshot large for nothing the pages show.
#include <fstream>
#include <mutex>

#include "platform/live_monitor_json.h"
#include "platform/recording/recording_live_monitor.h"
#include "platform/snapshot_json.h"

namespace tavrin::platform {
namespace {

using nlohmann::json;

struct Store {
  std::mutex mutex;
  json recorded = json::object();
};

class RecordingProcessService : public ProcessService {
 public:
  RecordingProcessService(std::shared_ptr<const ProcessService> live, std::shared_ptr<Store> store)
      : live_(std::move(live)), store_(std::move(store)) {}

  Answer<std::vector<ProcessRecord>> Processes() const override {
    auto answer = live_->Processes();
    Put("processes", AnswerToJson(answer, ProcessesToJson));
    return answer;
  }
  Answer<std::vector<DriverRecord>> Drivers() const override {
    auto answer = live_->Drivers();
    Put("drivers", AnswerToJson(answer, DriversToJson));
    return answer;
  }
  Answer<std::vector<ServiceRecord>> Services() const override {
    auto answer = live_->Services();
    Put("services", AnswerToJson(answer, ServicesToJson));
    return answer;
  }
  Answer<std::vector<WindowRecord>> Windows() const override {
    auto answer = live_->Windows();
    Put("windows", AnswerToJson(answer, WindowsToJson));
    return answer;
  }
  Answer<std::vector<ProcessorIdle>> IdleTimes() const override { return live_->IdleTimes(); }

 private:
  void Put(const char* name, json entry) const {
    std::lock_guard lock(store_->mutex);
    store_->recorded[name] = std::move(entry);
  }
  std::shared_ptr<const ProcessService> live_;
  std::shared_ptr<Store> store_;
};

class ProcessesRecording : public ServiceRecording {
 public:
  explicit ProcessesRecording(std::shared_ptr<Store> store) : store_(std::move(store)) {}
  bool Finish(const std::filesystem::path& dir, std::string* error) override {
    std::lock_guard lock(store_->mutex);
    const auto file = dir / kProcessesFile;
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (store_->recorded.empty()) return true;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << DumpJson(store_->recorded);
    out.close();
    if (!out && error) *error = file.string() + ": cannot be written";
    return static_cast<bool>(out);
  }

 private:
  std::shared_ptr<Store> store_;
};

}  // namespace

std::shared_ptr<const ProcessService> RecordProcesses(std::shared_ptr<const ProcessService> live,
                                                      ServiceRecordings& recordings) {
  if (!live) return live;
  auto store = std::make_shared<Store>();
  recordings.push_back(std::make_unique<ProcessesRecording>(store));
  return std::make_shared<RecordingProcessService>(std::move(live), std::move(store));
}

}  // namespace tavrin::platform
