// The operating-system services of a snapshot: the answers kept in os.json, or, in a snapshot
// of an earlier version without that file, what its copied files hold.
#include <map>

#include "platform/os_facts_json.h"
#include "platform/os_services.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"
#include "platform/snapshot_layout.h"
#include "platform/whole_file.h"

namespace tavrin::platform {
namespace {

using Json = nlohmann::json;

// The recorded answers, shared by the four services.
class Recorded {
 public:
  explicit Recorded(Json j) : j_(std::move(j)) {}
  const Json* Entry(const char* key) const {
    auto it = j_.find(key);
    return it == j_.end() ? nullptr : &*it;
  }
  const Json* Entry(const char* group, const std::string& key) const {
    const Json* g = Entry(group);
    if (g == nullptr || !g->is_object()) return nullptr;
    auto it = g->find(key);
    return it == g->end() ? nullptr : &*it;
  }

 private:
  Json j_;
};

class RecordedOsFacts : public OsFacts {
 public:
  explicit RecordedOsFacts(std::shared_ptr<const Recorded> r) : r_(std::move(r)) {}
  Answer<std::string> OsRelease() const override { return Get<std::string>("OsRelease"); }
  Answer<KernelNames> Kernel() const override { return Get<KernelNames>("Kernel"); }
  Answer<std::string> MachineId() const override { return Get<std::string>("MachineId"); }
  Answer<UserAccount> CurrentUser() const override { return Get<UserAccount>("CurrentUser"); }
  Answer<int64_t> RootBirthTime() const override { return Get<int64_t>("RootBirthTime"); }
  Answer<int64_t> OldestPackageRecord() const override {
    return Get<int64_t>("OldestPackageRecord");
  }
  Answer<ZoneFacts> TimeZone() const override { return Get<ZoneFacts>("TimeZone"); }
  Answer<FolderList> SystemFolders() const override { return Get<FolderList>("SystemFolders"); }
  Answer<FolderList> UserFolders() const override { return Get<FolderList>("UserFolders"); }
  Answer<std::vector<NamedText>> DefaultApplicationLists() const override {
    return Get<std::vector<NamedText>>("DefaultApplicationLists");
  }
  Answer<NamedText> DesktopEntry(const std::string& id) const override {
    return AnswerFromJson<NamedText>(r_->Entry("DesktopEntry", id), id);
  }
  Answer<NamedText> KdeProxyConfig() const override { return Get<NamedText>("KdeProxyConfig"); }

 private:
  template <class T>
  Answer<T> Get(const char* key) const {
    return AnswerFromJson<T>(r_->Entry(key), key);
  }
  std::shared_ptr<const Recorded> r_;
};

class RecordedEnvironment : public EnvironmentSource {
 public:
  explicit RecordedEnvironment(std::shared_ptr<const Recorded> r) : r_(std::move(r)) {}
  Answer<std::vector<std::string>> Variables() const override {
    return AnswerFromJson<std::vector<std::string>>(r_->Entry("Environment"),
                                                    "process environment");
  }

 private:
  std::shared_ptr<const Recorded> r_;
};

class RecordedLocales : public LocaleDatabase {
 public:
  explicit RecordedLocales(std::shared_ptr<const Recorded> r) : r_(std::move(r)) {}
  Answer<LocaleFacts> Describe(std::string_view name) const override {
    const std::string key(name);
    return AnswerFromJson<LocaleFacts>(r_->Entry("Locales", key), "locale " + key);
  }

 private:
  std::shared_ptr<const Recorded> r_;
};

class RecordedDesktopProxy : public DesktopProxySource {
 public:
  explicit RecordedDesktopProxy(std::shared_ptr<const Recorded> r) : r_(std::move(r)) {}
  Answer<GnomeProxySettings> GnomeProxy() const override {
    return AnswerFromJson<GnomeProxySettings>(r_->Entry("GnomeProxy"), "GNOME settings");
  }

 private:
  std::shared_ptr<const Recorded> r_;
};

}  // namespace

void LoadRecordedOs(const std::filesystem::path& dir, Services& services,
                    std::vector<std::string>& warnings) {
  const auto file = dir / snapshot::kOsFacts;
  auto text = ReadSnapshotFile(file, kMaxWholeFileBytes);
  if (!text) {
    SetFileTreeOs(services);
    return;
  }
  auto j = Json::parse(*text, nullptr, false);
  if (j.is_discarded() || !j.is_object()) {
    warnings.push_back(file.string() + ": not valid JSON; the operating-system facts are missing");
    SetUnsupportedOs(services, std::string(snapshot::kOsFacts) + " unreadable");
    return;
  }
  auto recorded = std::make_shared<const Recorded>(std::move(j));
  services.os = std::make_shared<RecordedOsFacts>(recorded);
  services.environment = std::make_shared<RecordedEnvironment>(recorded);
  services.locales = std::make_shared<RecordedLocales>(recorded);
  services.desktopProxy = std::make_shared<RecordedDesktopProxy>(recorded);
}

}  // namespace tavrin::platform
