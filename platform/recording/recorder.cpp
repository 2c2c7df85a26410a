#include "platform/recording/recorder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <stdexcept>
#include <type_traits>

#include "platform/recording/first_answers.h"
#include "platform/recording/snapshot_folder.h"
#include "platform/reg_text.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"
#include "platform/snapshot_layout.h"

namespace tavrin::platform {

struct SnapshotRecorder::Store {
  std::filesystem::path dir;
  std::mutex mutex;
  RegistryTree registry{"snapshot registry"};
  nlohmann::json dirs = nlohmann::json::object();
  nlohmann::json links = nlohmann::json::object();
  nlohmann::json failed = nlohmann::json::object();
  nlohmann::json births = nlohmann::json::object();
  nlohmann::json facts = nlohmann::json::object();
  std::string write_error;                    // why the first file could not be copied
  FirstAnswers first;                         // the file answers of this recording's moment
  std::map<std::string, std::size_t> copied;  // bytes of each file copy

  void NoteFailure(const std::string& path, const Provenance& p) {
    // Only real answers of the machine are worth replaying; a path the program merely probed
    // and found missing replays as missing anyway.
    if (p.status != Status::Missing) failed[path] = ProvenanceToJson(p);
  }
};

namespace {

class RecordingFileReader : public FileReader {
 public:
  RecordingFileReader(std::shared_ptr<const FileReader> live,
                      std::shared_ptr<SnapshotRecorder::Store> store)
      : FileReader(live->root()), live_(std::move(live)), store_(std::move(store)) {}

  Answer<std::string> ReadFile(std::string_view path, std::size_t limit) const override {
    // A header read and a whole read of one file are different questions.
    return Once(
        "read", path, std::to_string(limit), [&] { return live_->ReadFile(path, limit); },
        [&](const Answer<std::string>& answer) {
          if (answer) {
            Copy(path, *answer);
          } else {
            store_->NoteFailure(std::string(path), answer.source);
          }
        });
  }

  Answer<std::vector<std::string>> ListDir(std::string_view path) const override {
    return Once(
        "list", path, "", [&] { return live_->ListDir(path); },
        [&](const Answer<std::vector<std::string>>& answer) {
          if (answer) {
            store_->dirs[std::string(path)] = *answer;
          } else {
            store_->NoteFailure(std::string(path), answer.source);
          }
        });
  }

  Answer<std::string> ReadLink(std::string_view path) const override {
    return Once(
        "link", path, "", [&] { return live_->ReadLink(path); },
        [&](const Answer<std::string>& answer) {
          if (answer) {
            store_->links[std::string(path)] = *answer;
          } else {
            store_->NoteFailure(std::string(path), answer.source);
          }
        });
  }

  Answer<int64_t> BirthTime(std::string_view path) const override {
    return Once(
        "birth", path, "", [&] { return live_->BirthTime(path); },
        [&](const Answer<int64_t>& answer) {
          store_->births[std::string(path)] = AnswerToJson(answer, [](int64_t t) { return t; });
        });
  }

 private:
  template <class Ask, class Keep>
  std::invoke_result_t<Ask> Once(std::string_view kind, std::string_view path,
                                 const std::string& detail, Ask ask, Keep keep) const {
    using A = decltype(ask());
    std::string key(kind);
    key.append(1, '\0').append(path).append(1, '\0').append(detail);
    return store_->first.Once<A>(key, ask, [&](const A& answer) {
      std::lock_guard lock(store_->mutex);
      keep(answer);
    });
  }

  void Copy(std::string_view path, const std::string& content) const {
    // A path with ".." in it could climb out of files/: such a copy is not kept.
    const auto relative = std::filesystem::path(path).relative_path().lexically_normal();
    if (relative.empty() || *relative.begin() == "..") return;
    // A header read after the whole file must not cut the copy short.
    auto& copied = store_->copied[relative.string()];
    if (copied != 0 && content.size() <= copied) return;
    copied = content.size();
    const auto target = store_->dir / snapshot::kFilesDir / relative;
    std::string error;
    if (!WriteSnapshotFile(target, content, &error) && store_->write_error.empty())
      store_->write_error = error;
  }

  std::shared_ptr<const FileReader> live_;
  std::shared_ptr<SnapshotRecorder::Store> store_;
};

class RecordingRegistry : public Registry {
 public:
  RecordingRegistry(std::shared_ptr<const Registry> live,
                    std::shared_ptr<SnapshotRecorder::Store> store)
      : live_(std::move(live)), store_(std::move(store)) {}

  bool KeyExists(RegRoot root, std::string_view path) const override {
    const bool exists = live_->KeyExists(root, path);
    if (exists) {
      std::lock_guard lock(store_->mutex);
      store_->registry.CreateKey(root, path);
    }
    return exists;
  }

  Answer<RegValue> ReadValue(RegRoot root, std::string_view path,
                             std::string_view name) const override {
    auto answer = live_->ReadValue(root, path, name);
    if (answer) {
      std::lock_guard lock(store_->mutex);
      store_->registry.SetValue(root, path, name, *answer);
    }
    return answer;
  }

  std::vector<std::string> SubKeys(RegRoot root, std::string_view path) const override {
    auto keys = live_->SubKeys(root, path);
    std::lock_guard lock(store_->mutex);
    for (const auto& key : keys) store_->registry.CreateKey(root, std::string(path) + "\\" + key);
    return keys;
  }

  std::vector<std::string> ValueNames(RegRoot root, std::string_view path) const override {
    auto names = live_->ValueNames(root, path);
    // A listing replays only with its values, so read each of them now.
    for (const auto& name : names) ReadValue(root, path, name);
    return names;
  }

 private:
  std::shared_ptr<const Registry> live_;
  std::shared_ptr<SnapshotRecorder::Store> store_;
};

class RecordingSystemFacts : public SystemFacts {
 public:
  RecordingSystemFacts(std::shared_ptr<const SystemFacts> live,
                       std::shared_ptr<SnapshotRecorder::Store> store)
      : live_(std::move(live)), store_(std::move(store)) {}

  Answer<std::string> UserName() const override { return Text("UserName", live_->UserName()); }
  Answer<std::string> UserId() const override { return Text("UserId", live_->UserId()); }
  Answer<std::string> ComputerName() const override {
    return Text("ComputerName", live_->ComputerName());
  }
  Answer<std::string> ProgramPath() const override {
    return Text("ProgramPath", live_->ProgramPath());
  }
  Answer<OsVersion> OsVersionRecord() const override {
    auto answer = live_->OsVersionRecord();
    std::lock_guard lock(store_->mutex);
    store_->facts["OsVersionRecord"] = AnswerToJson(answer, OsVersionToJson);
    return answer;
  }

 private:
  Answer<std::string> Text(const char* name, Answer<std::string> answer) const {
    std::lock_guard lock(store_->mutex);
    store_->facts[name] = AnswerToJson(answer, [](const std::string& s) { return s; });
    return answer;
  }

  std::shared_ptr<const SystemFacts> live_;
  std::shared_ptr<SnapshotRecorder::Store> store_;
};

bool WriteFile(const std::filesystem::path& file, const std::string& content, std::string* error) {
  return WriteSnapshotFile(file, content, error);
}

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&now, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return text;
}

}  // namespace

SnapshotRecorder::SnapshotRecorder(std::filesystem::path dir, Services live)
    : dir_(std::move(dir)), store_(std::make_shared<Store>()) {
  replaces_snapshot_ = PrepareSnapshotFolder(dir_) == SnapshotFolderState::Snapshot;
  // An earlier snapshot is rewritten whole, so its stale files cannot mix in. Only its own
  // parts go; anything else a user put beside them stays.
  std::error_code ec;
  for (auto name : {snapshot::kFilesDir, snapshot::kRegistryDir})
    std::filesystem::remove_all(dir_ / name, ec);
  if (::mkdir((dir_ / snapshot::kFilesDir).c_str(), 0700) != 0)
    throw std::runtime_error(dir_.string() + ": cannot be written (" + std::strerror(errno) + ")");
  store_->dir = dir_;

  recording_ = live;
  recording_.files = std::make_shared<RecordingFileReader>(live.files, store_);
  recording_.registry = std::make_shared<RecordingRegistry>(live.registry, store_);
  recording_.system = std::make_shared<RecordingSystemFacts>(live.system, store_);
  std::unique_ptr<ServiceRecording> processor_recording;
  recording_.processor = RecordProcessor(live.processor, processor_recording);
  if (processor_recording) service_recordings_.push_back(std::move(processor_recording));
  std::unique_ptr<ServiceRecording> firmware_recording;
  recording_.firmware = RecordFirmware(live.firmware, firmware_recording);
  if (firmware_recording) service_recordings_.push_back(std::move(firmware_recording));
  std::unique_ptr<ServiceRecording> devices_recording;
  recording_.devices = RecordDevices(live.devices, devices_recording);
  if (devices_recording) service_recordings_.push_back(std::move(devices_recording));
  std::unique_ptr<ServiceRecording> os_recording;
  RecordOs(live, recording_, os_recording);
  if (os_recording) service_recordings_.push_back(std::move(os_recording));
  RecordLiveMonitor(live, recording_, service_recordings_);
  RecordDisplay(live, recording_, service_recordings_);
  RecordStorage(live, recording_, service_recordings_);
  RecordNetwork(live, recording_, service_recordings_);
  RecordInputOutput(live, recording_, service_recordings_);
  RecordSoftware(live, recording_, service_recordings_);
  RecordPorts(live, recording_, service_recordings_);
  recording_.machine = MakeLinuxMachineFacts(recording_.files, true);
}

SnapshotRecorder::~SnapshotRecorder() = default;

bool SnapshotRecorder::Finish(std::string* error) {
  store_->first.Seal();  // before the store's lock: answers are written down under both
  std::lock_guard lock(store_->mutex);
  if (!store_->write_error.empty()) {
    if (error) *error = store_->write_error;
    return false;
  }
  nlohmann::json manifest = {{"format", snapshot::kFormat},
                             {"version", snapshot::kVersion},
                             {"recorded", UtcNow()},
                             {"origin", recording_.origin}};
  nlohmann::json index = {
      {"dirs", store_->dirs}, {"links", store_->links}, {"failed", store_->failed}};
  if (!store_->births.empty()) index["births"] = store_->births;
  for (const auto& recording : service_recordings_)
    if (!recording->Finish(dir_, error)) return false;
  const bool written = WriteFile(dir_ / snapshot::kRegistryDir / snapshot::kRegistryFile,
                                 WriteRegText(store_->registry), error) &&
                       WriteFile(dir_ / snapshot::kFilesIndex, DumpJson(index), error) &&
                       WriteFile(dir_ / snapshot::kSystemFacts, DumpJson(store_->facts), error) &&
                       // The manifest last: a snapshot without it is recognisably incomplete.
                       WriteFile(dir_ / snapshot::kManifest, DumpJson(manifest), error);
  // Parts written elsewhere with the default modes become private too.
  MakeSnapshotPrivate(dir_);
  return written;
}

}  // namespace tavrin::platform
