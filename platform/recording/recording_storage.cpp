// Recording the storage answers that are not file reads (statvfs, device commands) into
// storage.json; the file reads are recorded by the recording file reader.
#include <mutex>

#include "platform/linux/linux_storage.h"
#include "platform/os_facts_json.h"
#include "platform/recording/snapshot_folder.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_layout.h"
#include "platform/storage_json.h"

namespace tavrin::platform {
namespace {

using Json = nlohmann::json;

struct StorageStore {
  std::mutex mutex;
  Json j = Json::object();
};

class RecordingStorageProbes : public StorageProbes {
 public:
  RecordingStorageProbes(std::shared_ptr<const StorageProbes> live,
                         std::shared_ptr<StorageStore> store)
      : live_(std::move(live)), store_(std::move(store)) {}

  Answer<FsStats> Stat(const std::string& mountPoint, bool network) const override {
    auto a = live_->Stat(mountPoint, network);
    std::lock_guard lock(store_->mutex);
    store_->j["stats"][mountPoint] = AnswerJson(a);
    return a;
  }
  Answer<std::string> Command(const std::string& name, DeviceQuery query) const override {
    auto a = live_->Command(name, query);
    Json entry = ProvenanceToJson(a.source);
    if (a.value) entry["value"] = Base64Encode(*a.value);
    std::lock_guard lock(store_->mutex);
    store_->j["commands"][name][std::string(DeviceQueryName(query))] = std::move(entry);
    return a;
  }

 private:
  std::shared_ptr<const StorageProbes> live_;
  std::shared_ptr<StorageStore> store_;
};

class StorageRecording : public ServiceRecording {
 public:
  explicit StorageRecording(std::shared_ptr<StorageStore> store) : store_(std::move(store)) {}
  bool Finish(const std::filesystem::path& dir, std::string* error) override {
    std::string text;
    {
      std::lock_guard lock(store_->mutex);
      if (store_->j.empty()) return true;
      text = DumpJson(store_->j);
    }
    return WriteSnapshotFile(dir / snapshot::kStorage, text, error);
  }

 private:
  std::shared_ptr<StorageStore> store_;
};

}  // namespace

std::shared_ptr<const StorageService> RecordStorageProbes(
    std::shared_ptr<const FileReader> recordingFiles, std::shared_ptr<const StorageProbes> live,
    ServiceRecordings& recordings) {
  auto store = std::make_shared<StorageStore>();
  recordings.push_back(std::make_unique<StorageRecording>(store));
  return MakeSysfsStorageService(std::move(recordingFiles),
                                 std::make_shared<RecordingStorageProbes>(std::move(live), store));
}

}  // namespace tavrin::platform
