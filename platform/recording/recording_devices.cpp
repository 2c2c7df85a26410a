// Recording of the device service: every answer into devices/devices.json, so a replay builds
// the same device list. Only what the device list asked for is kept: the instances it walked,
// the keys their values named, and the id-file lines of the vendors it looked up.
#include <fstream>
#include <mutex>

#include "platform/recorded/recorded_devices.h"
#include "platform/recording/snapshot_folder.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"

namespace tavrin::platform {
namespace {

using nlohmann::json;

struct Store {
  std::mutex mutex;
  json recorded = json::object();
};

class RecordingDeviceService : public DeviceService {
 public:
  RecordingDeviceService(std::shared_ptr<const DeviceService> live, std::shared_ptr<Store> store)
      : live_(std::move(live)), store_(std::move(store)) {}

  Answer<std::vector<DeviceInstanceRef>> Instances() const override {
    auto answer = live_->Instances();
    Put(nullptr, "instances", AnswerToJson(answer, [](const std::vector<DeviceInstanceRef>& refs) {
          json list = json::array();
          for (const auto& r : refs) list.push_back({r.enumerator, r.device, r.instance});
          return list;
        }));
    return answer;
  }
  Answer<DeviceInstanceValues> Instance(const DeviceInstanceRef& ref) const override {
    auto answer = live_->Instance(ref);
    Put("values", DeviceKey(ref), AnswerToJson(answer, DeviceValuesToJson));
    return answer;
  }
  Answer<DeviceClassValues> ClassKey(std::string_view guid) const override {
    auto answer = live_->ClassKey(guid);
    Put("classes", std::string(guid), AnswerToJson(answer, [](const DeviceClassValues& c) {
          return json{{"Class", c.className}, {"Icon", c.icon}, {"Description", c.description}};
        }));
    return answer;
  }
  Answer<DeviceDriverValues> DriverKey(std::string_view driver) const override {
    auto answer = live_->DriverKey(driver);
    Put("drivers", std::string(driver), AnswerToJson(answer, [](const DeviceDriverValues& d) {
          return json{{"DriverDate", d.date},
                      {"DriverVersion", d.version},
                      {"ProviderName", d.provider},
                      {"InfPath", d.infPath}};
        }));
    return answer;
  }
  Answer<DeviceServiceValues> ServiceKey(std::string_view name) const override {
    auto answer = live_->ServiceKey(name);
    Put("services", std::string(name), AnswerToJson(answer, [](const DeviceServiceValues& s) {
          return json{{"DisplayName", s.displayName}, {"Group", s.group}, {"Type", s.type}};
        }));
    return answer;
  }
  Answer<std::string> IdEntries(IdDatabase database, const IdKeys& ids) const override {
    auto answer = live_->IdEntries(database, ids);
    Put("ids", database == IdDatabase::Pci ? "pci.ids" : "usb.ids",
        AnswerToJson(answer, [](const std::string& s) { return json(s); }));
    return answer;
  }
  DeviceWalkSources WalkSources() const override {
    auto sources = live_->WalkSources();
    Put(nullptr, "walkSources",
        json{{"udev", ProvenanceToJson(sources.udev)},
             {"kernelLog", ProvenanceToJson(sources.kernelLog)}});
    return sources;
  }

 private:
  void Put(const char* table, const std::string& key, json entry) const {
    std::lock_guard lock(store_->mutex);
    if (table) {
      store_->recorded[table][key] = std::move(entry);
    } else {
      store_->recorded[key] = std::move(entry);
    }
  }

  std::shared_ptr<const DeviceService> live_;
  std::shared_ptr<Store> store_;
};

class DevicesRecording : public ServiceRecording {
 public:
  explicit DevicesRecording(std::shared_ptr<Store> store) : store_(std::move(store)) {}

  bool Finish(const std::filesystem::path& dir, std::string* error) override {
    std::lock_guard lock(store_->mutex);
    const auto folder = dir / kDevicesDir;
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);  // no stale answers of an earlier recording
    if (store_->recorded.empty()) return true;
    return WriteSnapshotFile(folder / kDevicesFile, DumpJson(store_->recorded), error);
  }

 private:
  std::shared_ptr<Store> store_;
};

}  // namespace

std::shared_ptr<const DeviceService> RecordDevices(std::shared_ptr<const DeviceService> live,
                                                   std::unique_ptr<ServiceRecording>& recording) {
  if (!live) return live;
  auto store = std::make_shared<Store>();
  recording = std::make_unique<DevicesRecording>(store);
  return std::make_shared<RecordingDeviceService>(std::move(live), std::move(store));
}

}  // namespace tavrin::platform
