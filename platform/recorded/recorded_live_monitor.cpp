// The process service of a snapshot: the answers its processes.json recorded. A snapshot has no
// clock to sample, so it never answers processor idle times.
#include "platform/recorded/recorded_live_monitor.h"
#include "platform/live_monitor_json.h"
#include "platform/snapshot_json.h"

namespace tavrin::platform {
namespace {

using nlohmann::json;

template <class T, class FromJson>
Answer<T> AnswerFrom(const json& file, const char* name, FromJson fromJson) {
  auto it = file.find(name);
  if (it == file.end())
    return Answer<T>::Fail(Status::NotSupported, std::string(kProcessesFile),
                           std::string("no ") + name + " recorded");
  auto provenance = ProvenanceFromJson(*it);
  if (!provenance)
    return Answer<T>::Fail(Status::Malformed, std::string(kProcessesFile),
                           std::string("bad ") + name + " entry");
  Answer<T> answer{std::nullopt, *provenance};
  if (provenance->ok()) {
    if (auto value = it->find("value"); value != it->end()) answer.value = fromJson(*value);
  }
  return answer;
}

class RecordedProcessService : public ProcessService {
 public:
  explicit RecordedProcessService(json file) : file_(std::move(file)) {}

  Answer<std::vector<ProcessRecord>> Processes() const override {
    return AnswerFrom<std::vector<ProcessRecord>>(file_, "processes", ProcessesFromJson);
  }
  Answer<std::vector<DriverRecord>> Drivers() const override {
    return AnswerFrom<std::vector<DriverRecord>>(file_, "drivers", DriversFromJson);
  }
  Answer<std::vector<ServiceRecord>> Services() const override {
    return AnswerFrom<std::vector<ServiceRecord>>(file_, "services", ServicesFromJson);
  }
  Answer<std::vector<WindowRecord>> Windows() const override {
    return AnswerFrom<std::vector<WindowRecord>>(file_, "windows", WindowsFromJson);
  }
  Answer<std::vector<ProcessorIdle>> IdleTimes() const override {
    return Answer<std::vector<ProcessorIdle>>::Fail(Status::NotSupported, "snapshot",
                                                    "a snapshot is not sampled");
  }

 private:
  json file_;
};

}  // namespace

std::shared_ptr<const ProcessService> MakeRecordedProcessService(nlohmann::json file) {
  return std::make_shared<RecordedProcessService>(std::move(file));
}

}  // namespace tavrin::platform
