#include "platform/recording/recording_software.h"

#include <mutex>
#include <nlohmann/json.hpp>

#include "platform/os_facts_json.h"
#include "platform/recording/snapshot_folder.h"
#include "platform/snapshot_json.h"
#include "platform/software_json.h"

namespace tavrin::platform {
namespace {

using Json = nlohmann::json;

struct SoftwareStore {
  std::mutex mutex;
  Json j = Json::object();
};

class RecordingSoftwareProbes : public SoftwareProbes {
 public:
  RecordingSoftwareProbes(std::shared_ptr<const SoftwareProbes> live,
                          std::shared_ptr<SoftwareStore> store)
      : live_(std::move(live)), store_(std::move(store)) {}

  Answer<std::map<std::string, int64_t>> ModifiedTimes(const std::string& dir,
                                                       const std::string& suffix) const override {
    auto answer = live_->ModifiedTimes(dir, suffix);
    std::lock_guard lock(store_->mutex);
    store_->j["times"][ModifiedTimesKey(dir, suffix)] = AnswerJson(answer);
    return answer;
  }
  Answer<std::vector<RpmPackage>> RpmPackages() const override {
    auto answer = live_->RpmPackages();
    std::lock_guard lock(store_->mutex);
    store_->j["rpm"] = AnswerJson(answer);
    return answer;
  }
  Answer<std::string> RunVersion(const std::string& id, const std::string& program,
                                 const std::vector<std::string>& args) const override {
    auto answer = live_->RunVersion(id, program, args);
    std::lock_guard lock(store_->mutex);
    store_->j["runs"][id] = AnswerJson(answer);
    return answer;
  }

 private:
  std::shared_ptr<const SoftwareProbes> live_;
  std::shared_ptr<SoftwareStore> store_;
};

class SoftwareRecording : public ServiceRecording {
 public:
  explicit SoftwareRecording(std::shared_ptr<SoftwareStore> store) : store_(std::move(store)) {}
  bool Finish(const std::filesystem::path& dir, std::string* error) override {
    std::string text;
    {
      std::lock_guard lock(store_->mutex);
      text = DumpJson(store_->j);
    }
    return WriteSnapshotFile(dir / kSoftwareJson, text, error);
  }

 private:
  std::shared_ptr<SoftwareStore> store_;
};

}  // namespace

std::shared_ptr<const SoftwareProbes> RecordSoftwareProbes(
    std::shared_ptr<const SoftwareProbes> live, std::unique_ptr<ServiceRecording>& recording) {
  auto store = std::make_shared<SoftwareStore>();
  recording = std::make_unique<SoftwareRecording>(store);
  return std::make_shared<RecordingSoftwareProbes>(std::move(live), std::move(store));
}

}  // namespace tavrin::platform
