// Recording the storage answers that are not file reads (statvfs, device commands) into
// storage.json; the file reads are recorded by the recording file reader.
#include "platform/linux/linux_storage.h"
#include "platform/os_facts_json.h"
#include "platform/recording/first_answers.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_layout.h"
#include "platform/storage_json.h"

namespace tavrin::platform {
namespace {

using Json = nlohmann::json;

class RecordingStorageProbes : public StorageProbes {
 public:
  RecordingStorageProbes(std::shared_ptr<const StorageProbes> live,
                         std::shared_ptr<RecordedJson> answers)
      : live_(std::move(live)), answers_(std::move(answers)) {}

  Answer<FsStats> Stat(const std::string& mountPoint, bool network) const override {
    return answers_->Once<Answer<FsStats>>(
        {"stats", mountPoint}, [&] { return live_->Stat(mountPoint, network); },
        [](const Answer<FsStats>& a) { return AnswerJson(a); });
  }
  Answer<std::string> Command(const std::string& name, DeviceQuery query) const override {
    return answers_->Once<Answer<std::string>>(
        {"commands", name, std::string(DeviceQueryName(query))},
        [&] { return live_->Command(name, query); },
        [](const Answer<std::string>& a) {
          Json entry = ProvenanceToJson(a.source);
          if (a.value) entry["value"] = Base64Encode(*a.value);
          return entry;
        });
  }

 private:
  std::shared_ptr<const StorageProbes> live_;
  std::shared_ptr<RecordedJson> answers_;
};

}  // namespace

std::shared_ptr<const StorageService> RecordStorageProbes(
    std::shared_ptr<const FileReader> recordingFiles, std::shared_ptr<const StorageProbes> live,
    ServiceRecordings& recordings) {
  auto answers = std::make_shared<RecordedJson>();
  recordings.push_back(WriteAtFinish(answers, snapshot::kStorage, /*skip_empty=*/true));
  return MakeSysfsStorageService(
      std::move(recordingFiles),
      std::make_shared<RecordingStorageProbes>(std::move(live), answers));
}

}  // namespace tavrin::platform
