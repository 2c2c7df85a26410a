#include "platform/recording/recording_software.h"

#include <nlohmann/json.hpp>
#include <type_traits>

#include "platform/os_facts_json.h"
#include "platform/recording/first_answers.h"
#include "platform/snapshot_json.h"
#include "platform/software_json.h"

namespace tavrin::platform {
namespace {

using Json = nlohmann::json;

class RecordingSoftwareProbes : public SoftwareProbes {
 public:
  RecordingSoftwareProbes(std::shared_ptr<const SoftwareProbes> live,
                          std::shared_ptr<RecordedJson> answers)
      : live_(std::move(live)), answers_(std::move(answers)) {}

  Answer<std::map<std::string, int64_t>> ModifiedTimes(const std::string& dir,
                                                       const std::string& suffix) const override {
    return Once({"times", ModifiedTimesKey(dir, suffix)},
                [&] { return live_->ModifiedTimes(dir, suffix); });
  }
  Answer<std::vector<RpmPackage>> RpmPackages() const override {
    return Once({"rpm"}, [&] { return live_->RpmPackages(); });
  }
  Answer<std::string> RunVersion(const std::string& id, const std::string& program,
                                 const std::vector<std::string>& args) const override {
    return Once({"runs", id}, [&] { return live_->RunVersion(id, program, args); });
  }

 private:
  template <class Ask>
  std::invoke_result_t<Ask> Once(const std::vector<std::string>& where, Ask ask) const {
    using A = decltype(ask());
    return answers_->Once<A>(where, ask, [](const A& a) { return AnswerJson(a); });
  }

  std::shared_ptr<const SoftwareProbes> live_;
  std::shared_ptr<RecordedJson> answers_;
};

}  // namespace

std::shared_ptr<const SoftwareProbes> RecordSoftwareProbes(
    std::shared_ptr<const SoftwareProbes> live, std::unique_ptr<ServiceRecording>& recording) {
  auto answers = std::make_shared<RecordedJson>();
  recording = WriteAtFinish(answers, kSoftwareJson, /*skip_empty=*/false);
  return std::make_shared<RecordingSoftwareProbes>(std::move(live), std::move(answers));
}

}  // namespace tavrin::platform
