// Recording of the process service: its first answer of each kind into processes.json. The
// process file system is not copied file by file; a few hundred processes' mappings would make
// the snapshot large for nothing the pages show.
#include "platform/recording/recording_live_monitor.h"

#include "platform/live_monitor_json.h"
#include "platform/recording/first_answers.h"
#include "platform/snapshot_json.h"

namespace tavrin::platform {
namespace {

class RecordingProcessService : public ProcessService {
 public:
  RecordingProcessService(std::shared_ptr<const ProcessService> live,
                          std::shared_ptr<RecordedJson> answers)
      : live_(std::move(live)), answers_(std::move(answers)) {}

  Answer<std::vector<ProcessRecord>> Processes() const override {
    return Once(
        "processes", [&] { return live_->Processes(); }, ProcessesToJson);
  }
  Answer<std::vector<DriverRecord>> Drivers() const override {
    return Once(
        "drivers", [&] { return live_->Drivers(); }, DriversToJson);
  }
  Answer<std::vector<ServiceRecord>> Services() const override {
    return Once(
        "services", [&] { return live_->Services(); }, ServicesToJson);
  }
  Answer<std::vector<WindowRecord>> Windows() const override {
    return Once(
        "windows", [&] { return live_->Windows(); }, WindowsToJson);
  }
  // Load is measured between two readings, so it always asks the machine.
  Answer<std::vector<ProcessorIdle>> IdleTimes() const override { return live_->IdleTimes(); }

 private:
  template <class Ask, class ToJson>
  std::invoke_result_t<Ask> Once(const char* name, Ask ask, ToJson to_json) const {
    using A = decltype(ask());
    return answers_->Once<A>({name}, ask,
                             [&](const A& answer) { return AnswerToJson(answer, to_json); });
  }

  std::shared_ptr<const ProcessService> live_;
  std::shared_ptr<RecordedJson> answers_;
};

}  // namespace

std::shared_ptr<const ProcessService> RecordProcesses(std::shared_ptr<const ProcessService> live,
                                                      ServiceRecordings& recordings) {
  if (!live) return live;
  auto answers = std::make_shared<RecordedJson>();
  recordings.push_back(WriteAtFinish(answers, kProcessesFile, /*skip_empty=*/true));
  return std::make_shared<RecordingProcessService>(std::move(live), std::move(answers));
}

}  // namespace tavrin::platform
