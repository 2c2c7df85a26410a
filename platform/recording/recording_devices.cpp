// Recording of the device service: every answer into devices/devices.json, so a replay builds
// the same device list. Only what the device list asked for is kept: the instances it walked,
// the keys their values named, and the id-file lines of the vendors it looked up.
#include "platform/recorded/recorded_devices.h"
#include "platform/recording/first_answers.h"
#include "platform/snapshot_json.h"

namespace tavrin::platform {
namespace {

using nlohmann::json;

class RecordingDeviceService : public DeviceService {
 public:
  RecordingDeviceService(std::shared_ptr<const DeviceService> live,
                         std::shared_ptr<RecordedJson> answers)
      : live_(std::move(live)), answers_(std::move(answers)) {}

  Answer<std::vector<DeviceInstanceRef>> Instances() const override {
    return Once(
        {"instances"}, [&] { return live_->Instances(); },
        [](const std::vector<DeviceInstanceRef>& refs) {
          json list = json::array();
          for (const auto& r : refs) list.push_back({r.enumerator, r.device, r.instance});
          return list;
        });
  }
  Answer<DeviceInstanceValues> Instance(const DeviceInstanceRef& ref) const override {
    return Once(
        {"values", DeviceKey(ref)}, [&] { return live_->Instance(ref); }, DeviceValuesToJson);
  }
  Answer<DeviceClassValues> ClassKey(std::string_view guid) const override {
    return Once(
        {"classes", std::string(guid)}, [&] { return live_->ClassKey(guid); },
        [](const DeviceClassValues& c) {
          return json{{"Class", c.className}, {"Icon", c.icon}, {"Description", c.description}};
        });
  }
  Answer<DeviceDriverValues> DriverKey(std::string_view driver) const override {
    return Once(
        {"drivers", std::string(driver)}, [&] { return live_->DriverKey(driver); },
        [](const DeviceDriverValues& d) {
          return json{{"DriverDate", d.date},
                      {"DriverVersion", d.version},
                      {"ProviderName", d.provider},
                      {"InfPath", d.infPath}};
        });
  }
  Answer<DeviceServiceValues> ServiceKey(std::string_view name) const override {
    return Once(
        {"services", std::string(name)}, [&] { return live_->ServiceKey(name); },
        [](const DeviceServiceValues& s) {
          return json{{"DisplayName", s.displayName}, {"Group", s.group}, {"Type", s.type}};
        });
  }
  Answer<std::string> IdEntries(IdDatabase database, const IdKeys& ids) const override {
    // One lookup per database and gathering, for the vendors that gathering found.
    const std::string name = database == IdDatabase::Pci ? "pci.ids" : "usb.ids";
    return Once(
        {"ids", name}, [&] { return live_->IdEntries(database, ids); },
        [](const std::string& text) { return json(text); });
  }
  DeviceWalkSources WalkSources() const override {
    return answers_->Once<DeviceWalkSources>(
        {"walkSources"}, [&] { return live_->WalkSources(); },
        [](const DeviceWalkSources& sources) {
          return json{{"udev", ProvenanceToJson(sources.udev)},
                      {"kernelLog", ProvenanceToJson(sources.kernelLog)}};
        });
  }

 private:
  template <class Ask, class ToJson>
  std::invoke_result_t<Ask> Once(const std::vector<std::string>& where, Ask ask,
                                 ToJson to_json) const {
    using A = decltype(ask());
    return answers_->Once<A>(where, ask,
                             [&](const A& answer) { return AnswerToJson(answer, to_json); });
  }

  std::shared_ptr<const DeviceService> live_;
  std::shared_ptr<RecordedJson> answers_;
};

}  // namespace

std::shared_ptr<const DeviceService> RecordDevices(std::shared_ptr<const DeviceService> live,
                                                   std::unique_ptr<ServiceRecording>& recording) {
  if (!live) return live;
  auto answers = std::make_shared<RecordedJson>();
  recording = WriteAtFinish(answers, std::filesystem::path(kDevicesDir) / kDevicesFile,
                            /*skip_empty=*/true);
  return std::make_shared<RecordingDeviceService>(std::move(live), std::move(answers));
}

}  // namespace tavrin::platform
