// Where the input/output services (USB, Bluetooth, sound, power, printers) plug into the live,
// recorded and recording service sets. The sysfs and procfs parts read through the set's file
// reader, so snapshots and recordings carry them as files; the other answers travel in
// io.json.
#include "platform/input_output_json.h"
#include "platform/linux/linux_input_output.h"
#include "platform/recording/first_answers.h"
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
  auto answers = std::make_shared<RecordedJson>();
  recordings.push_back(WriteAtFinish(answers, kInputOutputFile, /*skip_empty=*/false));
  // The sysfs and procfs parts read through the recording file reader; the probes ask the
  // live machine once and keep what it answered.
  auto ids = UsbIdFileProbe(live.files);
  if (live.usb)
    recording.usb = MakeLinuxUsbService(recording.files, [ids, answers](const IdKeys& keys) {
      return answers->Once<Answer<std::string>>(
          {"UsbIds"}, [&] { return ids(keys); }, StringAnswer);
    });
  if (live.power)
    recording.power = MakeLinuxPowerService(recording.files, [answers] {
      return answers->Once<Answer<PowerEstimates>>(
          {"PowerEstimates"}, UpowerProbe(kBusLimit), [](const Answer<PowerEstimates>& a) {
            return AnswerToJson(a, [](const PowerEstimates& e) { return ToJson(e); });
          });
    });
  if (live.audio)
    recording.audio = MakeLinuxAudioService(recording.files, [answers] {
      return answers->Once<Answer<std::string>>({"SoundServer"}, SoundServerProbe(), StringAnswer);
    });
  if (live.bluetooth)
    recording.bluetooth = MakeLinuxBluetoothService(recording.files, [answers] {
      return answers->Once<Answer<BluetoothRecord>>(
          {"Bluetooth"}, BluezProbe(kBusLimit), [](const Answer<BluetoothRecord>& a) {
            return AnswerToJson(a, [](const BluetoothRecord& r) { return ToJson(r); });
          });
    });
  if (live.printers)
    recording.printers = MakePrinterService([answers] {
      return answers->Once<Answer<std::vector<PrinterRecord>>>(
          {"Printers"}, CupsProbe(kPrintLimit), [](const Answer<std::vector<PrinterRecord>>& a) {
            return AnswerToJson(a, [](const std::vector<PrinterRecord>& l) { return ToJson(l); });
          });
    });
}

}  // namespace tavrin::platform
