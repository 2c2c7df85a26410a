// Recording the operating-system services: each answer is kept for os.json as it is given,
// so a replay answers the same questions the same way.
#include <fstream>
#include <mutex>

#include "platform/os_facts_json.h"
#include "platform/os_services.h"
#include "platform/recording/snapshot_folder.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_layout.h"

namespace tavrin::platform {
namespace {

using Json = nlohmann::json;

struct OsStore {
  std::mutex mutex;
  Json j = Json::object();

  template <class T>
  Answer<T> Keep(const char* key, Answer<T> answer) {
    std::lock_guard lock(mutex);
    j[key] = AnswerJson(answer);
    return answer;
  }
  template <class T>
  Answer<T> Keep(const char* group, const std::string& key, Answer<T> answer) {
    std::lock_guard lock(mutex);
    j[group][key] = AnswerJson(answer);
    return answer;
  }
};

class RecordingOsFacts : public OsFacts {
 public:
  RecordingOsFacts(std::shared_ptr<const OsFacts> live, std::shared_ptr<OsStore> store)
      : live_(std::move(live)), store_(std::move(store)) {}
  Answer<std::string> OsRelease() const override {
    return store_->Keep("OsRelease", live_->OsRelease());
  }
  Answer<KernelNames> Kernel() const override { return store_->Keep("Kernel", live_->Kernel()); }
  Answer<std::string> MachineId() const override {
    return store_->Keep("MachineId", live_->MachineId());
  }
  Answer<UserAccount> CurrentUser() const override {
    return store_->Keep("CurrentUser", live_->CurrentUser());
  }
  Answer<int64_t> RootBirthTime() const override {
    return store_->Keep("RootBirthTime", live_->RootBirthTime());
  }
  Answer<int64_t> OldestPackageRecord() const override {
    return store_->Keep("OldestPackageRecord", live_->OldestPackageRecord());
  }
  Answer<ZoneFacts> TimeZone() const override {
    return store_->Keep("TimeZone", live_->TimeZone());
  }
  Answer<FolderList> SystemFolders() const override {
    return store_->Keep("SystemFolders", live_->SystemFolders());
  }
  Answer<FolderList> UserFolders() const override {
    return store_->Keep("UserFolders", live_->UserFolders());
  }
  Answer<std::vector<NamedText>> DefaultApplicationLists() const override {
    return store_->Keep("DefaultApplicationLists", live_->DefaultApplicationLists());
  }
  Answer<NamedText> DesktopEntry(const std::string& id) const override {
    return store_->Keep("DesktopEntry", id, live_->DesktopEntry(id));
  }
  Answer<NamedText> KdeProxyConfig() const override {
    return store_->Keep("KdeProxyConfig", live_->KdeProxyConfig());
  }

 private:
  std::shared_ptr<const OsFacts> live_;
  std::shared_ptr<OsStore> store_;
};

class RecordingEnvironment : public EnvironmentSource {
 public:
  RecordingEnvironment(std::shared_ptr<const EnvironmentSource> live,
                       std::shared_ptr<OsStore> store)
      : live_(std::move(live)), store_(std::move(store)) {}
  Answer<std::vector<std::string>> Variables() const override {
    return store_->Keep("Environment", live_->Variables());
  }

 private:
  std::shared_ptr<const EnvironmentSource> live_;
  std::shared_ptr<OsStore> store_;
};

class RecordingLocales : public LocaleDatabase {
 public:
  RecordingLocales(std::shared_ptr<const LocaleDatabase> live, std::shared_ptr<OsStore> store)
      : live_(std::move(live)), store_(std::move(store)) {}
  Answer<LocaleFacts> Describe(std::string_view name) const override {
    return store_->Keep("Locales", std::string(name), live_->Describe(name));
  }

 private:
  std::shared_ptr<const LocaleDatabase> live_;
  std::shared_ptr<OsStore> store_;
};

class RecordingDesktopProxy : public DesktopProxySource {
 public:
  RecordingDesktopProxy(std::shared_ptr<const DesktopProxySource> live,
                        std::shared_ptr<OsStore> store)
      : live_(std::move(live)), store_(std::move(store)) {}
  Answer<GnomeProxySettings> GnomeProxy() const override {
    return store_->Keep("GnomeProxy", live_->GnomeProxy());
  }

 private:
  std::shared_ptr<const DesktopProxySource> live_;
  std::shared_ptr<OsStore> store_;
};

class OsRecording : public ServiceRecording {
 public:
  explicit OsRecording(std::shared_ptr<OsStore> store) : store_(std::move(store)) {}
  bool Finish(const std::filesystem::path& dir, std::string* error) override {
    std::string text;
    {
      std::lock_guard lock(store_->mutex);
      text = DumpJson(store_->j);
    }
    return WriteSnapshotFile(dir / snapshot::kOsFacts, text, error);
  }

 private:
  std::shared_ptr<OsStore> store_;
};

}  // namespace

void RecordOs(const Services& live, Services& recording,
              std::unique_ptr<ServiceRecording>& osRecording) {
  const OsServices os = OsServicesOf(live);
  auto store = std::make_shared<OsStore>();
  recording.os = std::make_shared<RecordingOsFacts>(os.facts, store);
  recording.environment = std::make_shared<RecordingEnvironment>(os.environment, store);
  recording.locales = std::make_shared<RecordingLocales>(os.locales, store);
  recording.desktopProxy = std::make_shared<RecordingDesktopProxy>(os.desktopProxy, store);
  osRecording = std::make_unique<OsRecording>(std::move(store));
}

}  // namespace tavrin::platform
