// Where the input/output services (USB, Bluetooth, sound, power, printers) plug into the live,
// recorded and recording service sets. The sysfs and procfs parts read through the set's file
// reader, so snapshots and recordings carry them as files; the other answers travel in
// io.json.
#include <fstream>
#include <mutex>

#include "platform/input_output_json.h"
#include "platform/linux/linux_input_output.h"
#include "platform/service_hooks.h"

namespace tavrin::platform {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

// The system bus and the print scheduler get this long before their section says why not.
constexpr auto kBusLimit = 2000ms;
constexpr auto kPrintLimit = 3000ms;

json StringAnswer(const Answer<std::string>& a) {
  return AnswerToJson(a, [](const std::string& s) { return json(s); });
}

// The answers a recording collects, written to io.json when it finishes.
struct Store {
  std::mutex mutex;
  json answers = json::object();
  void Put(const char* key, json entry) {
    std::lock_guard lock(mutex);
    answers[key] = std::move(entry);
  }
};

class InputOutputRecording : public ServiceRecording {
 public:
  explicit InputOutputRecording(std::shared_ptr<Store> store) : store_(std::move(store)) {}
  bool Finish(const std::filesystem::path& dir, std::string* error) override {
    std::lock_guard lock(store_->mutex);
    std::ofstream out(dir / kInputOutputFile, std::ios::binary | std::ios::trunc);
    out << DumpJson(store_->answers) << '\n';
    if (out) return true;
    if (error) *error = (dir / kInputOutputFile).string() + ": cannot be written";
    return false;
  }

 private:
  std::shared_ptr<Store> store_;
};

}  // namespace

void AddLinuxInputOutput(Services& services) {
  services.usb = MakeLinuxUsbService(services.files, UsbIdFileProbe(services.files));
  services.power = MakeLinuxPowerService(services.files, UpowerProbe(kBusLimit));
  services.audio = MakeLinuxAudioService(services.files, SoundServerProbe());
  services.bluetooth = MakeLinuxBluetoothService(services.files, BluezProbe(kBusLimit));
  services.printers = MakePrinterService(CupsProbe(kPrintLimit));
}

void LoadRecordedInputOutput(const std::filesystem::path& dir, Services& services,
                             std::vector<std::string>&) {
  const auto file = dir / kInputOutputFile;
  auto text = ReadSnapshotFile(file, std::size_t{32} << 20);
  // Snapshots without the file were made before these services, or on another system.
  if (!text) return;
  const std::string name = file.string();
  auto parsed = json::parse(*text, nullptr, false);
  if (parsed.is_discarded() || !parsed.is_object())
    throw SnapshotFileError(name + ": not a JSON object");
  const json* root = &parsed;
  // Every answer is read now, so a wrong field refuses the snapshot when it is opened.
  auto text_of = [&](const json& v) {
    if (!v.is_string()) throw SnapshotFileError(name + ": a text answer holds no text");
    return v.get<std::string>();
  };
  auto ids = AnswerFromJson<std::string>(*root, "UsbIds", name, text_of);
  auto server = AnswerFromJson<std::string>(*root, "SoundServer", name, text_of);
  auto estimates = AnswerFromJson<PowerEstimates>(
      *root, "PowerEstimates", name, [&](const json& v) { return EstimatesFromJson(v, name); });
  auto bluez = AnswerFromJson<BluetoothRecord>(
      *root, "Bluetooth", name, [&](const json& v) { return BluetoothFromJson(v, name); });
  auto printers = AnswerFromJson<std::vector<PrinterRecord>>(
      *root, "Printers", name, [&](const json& v) { return PrintersFromJson(v, name); });
  services.usb = MakeLinuxUsbService(services.files, [ids](const IdKeys&) { return ids; });
  services.power = MakeLinuxPowerService(services.files, [estimates] { return estimates; });
  services.audio = MakeLinuxAudioService(services.files, [server] { return server; });
  services.bluetooth = MakeLinuxBluetoothService(services.files, [bluez] { return bluez; });
  services.printers = MakePrinterService([printers] { return printers; });
}

void RecordInputOutput(const Services& live, Services& recording, ServiceRecordings& recordings) {
  if (!live.usb && !live.power && !live.audio && !live.bluetooth && !live.printers) return;
  auto store = std::make_shared<Store>();
  recordings.push_back(std::make_unique<InputOutputRecording>(store));
  // The sysfs and procfs parts read through the recording file reader; the probes ask the
  // live machine and keep what it answered.
  auto ids = UsbIdFileProbe(live.files);
  if (live.usb)
    recording.usb = MakeLinuxUsbService(recording.files, [ids, store](const IdKeys& keys) {
      auto a = ids(keys);
      store->Put("UsbIds", StringAnswer(a));
      return a;
    });
  if (live.power)
    recording.power = MakeLinuxPowerService(recording.files, [store] {
      auto a = UpowerProbe(kBusLimit)();
      store->Put("PowerEstimates",
                 AnswerToJson(a, [](const PowerEstimates& e) { return ToJson(e); }));
      return a;
    });
  if (live.audio)
    recording.audio = MakeLinuxAudioService(recording.files, [store] {
      auto a = SoundServerProbe()();
      store->Put("SoundServer", StringAnswer(a));
      return a;
    });
  if (live.bluetooth)
    recording.bluetooth = MakeLinuxBluetoothService(recording.files, [store] {
      auto a = BluezProbe(kBusLimit)();
      store->Put("Bluetooth", AnswerToJson(a, [](const BluetoothRecord& r) { return ToJson(r); }));
      return a;
    });
  if (live.printers)
    recording.printers = MakePrinterService([store] {
      auto a = CupsProbe(kPrintLimit)();
      store->Put("Printers",
                 AnswerToJson(a, [](const std::vector<PrinterRecord>& l) { return ToJson(l); }));
      return a;
    });
}

}  // namespace tavrin::platform
