// The storage answers of a snapshot: file reads come from its recorded files, statvfs and the
// device commands from its storage.json.
#include "platform/linux/linux_storage.h"
#include "platform/os_facts_json.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_layout.h"
#include "platform/storage_json.h"
#include "platform/whole_file.h"

namespace tavrin::platform {
namespace {

using Json = nlohmann::json;

// The answer an entry of storage.json holds; "not recorded" when there is no entry. A
// malformed entry is a malformed answer naming the entry; it never throws.
template <class T>
Answer<T> StorageAnswer(const Json* entry, const std::string& what) {
  if (entry == nullptr)
    return Answer<T>::Fail(Status::NotSupported, what, "not recorded in the snapshot");
  auto p = ProvenanceFromJson(*entry);
  if (!p) return Answer<T>::Fail(Status::Malformed, what, "storage.json: not an answer");
  if (!p->ok()) return {std::nullopt, *p};
  try {
    return {entry->at("value").get<T>(), *p};
  } catch (const nlohmann::json::exception& e) {
    return Answer<T>::Fail(Status::Malformed, what, std::string("storage.json: ") + e.what());
  }
}

const Json* Find(const Json& j, std::string_view group, const std::string& key) {
  auto g = j.find(group);
  if (g == j.end() || !g->is_object()) return nullptr;
  auto e = g->find(key);
  return e == g->end() ? nullptr : &*e;
}

class RecordedStorageProbes : public StorageProbes {
 public:
  explicit RecordedStorageProbes(Json j) : j_(std::move(j)) {}

  Answer<FsStats> Stat(const std::string& mountPoint, bool) const override {
    return StorageAnswer<FsStats>(Find(j_, "stats", mountPoint), "statvfs " + mountPoint);
  }
  Answer<std::string> Command(const std::string& name, DeviceQuery query) const override {
    const std::string what = std::string(DeviceQueryName(query)) + " on " + name;
    const Json* device = Find(j_, "commands", name);
    const Json* entry = nullptr;
    if (device && device->is_object())
      if (auto it = device->find(DeviceQueryName(query)); it != device->end()) entry = &*it;
    auto text = StorageAnswer<std::string>(entry, what);
    if (!text) return text;
    auto bytes = Base64Decode(*text);
    if (!bytes) return Answer<std::string>::Fail(Status::Malformed, what, "bad base64 in snapshot");
    return {std::move(bytes), text.source};
  }
  Answer<WindowsVolumes> Windows() const override {
    auto it = j_.find("windows");
    if (it == j_.end()) return StorageProbes::Windows();
    return StorageAnswer<WindowsVolumes>(&*it, "drive letters");
  }

 private:
  Json j_;
};

}  // namespace

void LoadRecordedStorage(const std::filesystem::path& dir, Services& services,
                         std::vector<std::string>& warnings) {
  const auto file = dir / snapshot::kStorage;
  Json j = Json::object();
  if (auto text = ReadSnapshotFile(file, kMaxWholeFileBytes)) {
    j = Json::parse(*text, nullptr, false);
    if (j.is_discarded() || !j.is_object()) {
      warnings.push_back(file.string() +
                         ": not valid JSON; file-system sizes and device "
                         "answers are missing");
      j = Json::object();
    }
  }
  if (!services.files) return;
  services.storage = MakeSysfsStorageService(services.files,
                                             std::make_shared<RecordedStorageProbes>(std::move(j)));
}

}  // namespace tavrin::platform
