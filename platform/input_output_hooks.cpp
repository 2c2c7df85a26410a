// Where the input/output services (USB, Bluetooth, sound, power, printers) plug into the live,
// recorded and recording service sets. The sysfs and procfs parts read through the set's file
// reader, so snapshots and recordings carry them as files; the other answers travel in
// io.json. A Windows machine's answers come from io.json's "windows" object instead.
#include <algorithm>

#include "base/strings.h"
#include "platform/input_output_json.h"
#include "platform/linux/linux_input_output.h"
#include "platform/recording/first_answers.h"
#include "platform/registry_source.h"
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

template <class T>
Answer<T> NotRecorded(std::string what) {
  return Answer<T>::Fail(Status::NotSupported, std::move(what), "not recorded in the snapshot");
}

// The same failure for an answer of another type.
template <class T, class U>
Answer<T> FailureOf(const Answer<U>& a) {
  return {std::nullopt, a.source};
}

// The services of a replayed Windows machine: they answer the Windows calls from io.json's
// "windows" object, and the Linux questions as not recorded.
class WindowsBluetooth : public BluetoothService {
 public:
  explicit WindowsBluetooth(std::shared_ptr<const WindowsInputOutput> w) : w_(std::move(w)) {}
  Answer<BluetoothRecord> Bluetooth() const override {
    return NotRecorded<BluetoothRecord>("BlueZ");
  }
  Answer<std::vector<WindowsBluetoothDevice>> WindowsDevices() const override {
    return w_->bluetooth;
  }

 private:
  std::shared_ptr<const WindowsInputOutput> w_;
};

class WindowsAudio : public AudioService {
 public:
  explicit WindowsAudio(std::shared_ptr<const WindowsInputOutput> w) : w_(std::move(w)) {}
  Answer<AudioRecord> Sound() const override { return NotRecorded<AudioRecord>("/proc/asound"); }
  Answer<std::string> SoundServer() const override {
    return NotRecorded<std::string>("sound server");
  }
  Answer<std::vector<Answer<MultimediaCapsRecord>>> MultimediaDevices(
      MultimediaFamily family) const override {
    using Result = Answer<std::vector<Answer<MultimediaCapsRecord>>>;
    if (!w_->multimedia)
      return FailureOf<std::vector<Answer<MultimediaCapsRecord>>>(w_->multimedia);
    return Result{(*w_->multimedia)[static_cast<std::size_t>(family)], w_->multimedia.source};
  }

 private:
  std::shared_ptr<const WindowsInputOutput> w_;
};

class WindowsPower : public PowerService {
 public:
  explicit WindowsPower(std::shared_ptr<const WindowsInputOutput> w) : w_(std::move(w)) {}
  Answer<std::vector<PowerSupplyRecord>> Supplies() const override {
    return NotRecorded<std::vector<PowerSupplyRecord>>("/sys/class/power_supply");
  }
  Answer<std::vector<ProcessorPowerRecord>> Processors() const override {
    return NotRecorded<std::vector<ProcessorPowerRecord>>("/sys/devices/system/cpu");
  }
  Answer<PowerEstimates> Estimates() const override {
    return NotRecorded<PowerEstimates>("UPower");
  }
  // Only the processor information level was recorded; a buffer too small for the recorded
  // bytes gets the status the system gives, so the caller grows it as it would there.
  Answer<NtPowerReply> PowerInformation(uint32_t level, std::size_t outputSize) const override {
    constexpr uint32_t kProcessorInformation = 11;
    if (level != kProcessorInformation)
      return NotRecorded<NtPowerReply>("CallNtPowerInformation level " + std::to_string(level));
    if (!w_->processorPower) return FailureOf<NtPowerReply>(w_->processorPower);
    NtPowerReply r;
    if (outputSize < w_->processorPower->size())
      r.status = kStatusBufferTooSmall;
    else
      r.output = *w_->processorPower;
    return {std::move(r), w_->processorPower.source};
  }
  Answer<std::string> SystemPowerStatus() const override { return w_->systemPowerStatus; }

 private:
  std::shared_ptr<const WindowsInputOutput> w_;
};

class WindowsPrinters : public PrinterService {
 public:
  WindowsPrinters(std::shared_ptr<const WindowsInputOutput> w,
                  std::shared_ptr<const Registry> registry)
      : w_(std::move(w)), registry_(std::move(registry)) {}
  Answer<std::vector<PrinterRecord>> Printers() const override {
    return NotRecorded<std::vector<PrinterRecord>>("CUPS");
  }
  // The recorded list is the local printers and the connections; the other flags pick from it.
  Answer<WindowsPrinterList> EnumPrinters(uint32_t flags) const override {
    if (!w_->printers) return FailureOf<WindowsPrinterList>(w_->printers);
    constexpr uint32_t kNetworkAttribute = 0x10;
    WindowsPrinterList list;
    for (const auto& e : *w_->printers) {
      const bool network = e.info.attributes & kNetworkAttribute;
      const bool wanted = (flags & kPrinterEnumDefault)       ? e.isDefault
                          : (flags & kPrinterEnumConnections) ? true
                                                              : !network;
      if (wanted) list.printers.push_back(e.info);
      // The spooler names one default printer.
      if (wanted && (flags & kPrinterEnumDefault)) break;
    }
    return {std::move(list), w_->printers.source};
  }
  Answer<WindowsDriverInfo> PrinterDriver(const std::string& printer) const override {
    if (w_->printers)
      for (const auto& e : *w_->printers)
        if (base::Lower(e.info.printerName) == base::Lower(printer)) return e.driver;
    return Answer<WindowsDriverInfo>::Fail(Status::Failed, "OpenPrinterW " + printer,
                                           "error 1801 (The printer name is invalid.)");
  }
  // On the NT family the profile's "windows" section is kept in the user's registry.
  Answer<std::string> ProfileString(const std::string& section,
                                    const std::string& key) const override {
    constexpr std::string_view kWindowsSection =
        "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
    if (base::Lower(section) != "windows" || !registry_)
      return NotRecorded<std::string>("profile section " + section);
    auto value = registry_->ReadValue(RegRoot::CurrentUser, kWindowsSection, key);
    const std::string source = RegistryValueName(RegRoot::CurrentUser, kWindowsSection, key);
    if (!value) return Answer<std::string>{std::nullopt, value.source};
    return Answer<std::string>::Of(value->AsString().value_or(""), source);
  }

 private:
  std::shared_ptr<const WindowsInputOutput> w_;
  std::shared_ptr<const Registry> registry_;
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
  // A Windows machine: its USB tree is described by device controls, so it has no USB
  // service here.
  if (auto windows = root->find("windows"); windows != root->end()) {
    auto w = std::make_shared<const WindowsInputOutput>(WindowsInputOutputFromJson(*windows, name));
    services.bluetooth = std::make_shared<WindowsBluetooth>(w);
    services.audio = std::make_shared<WindowsAudio>(w);
    services.power = std::make_shared<WindowsPower>(w);
    services.printers = std::make_shared<WindowsPrinters>(w, services.registry);
    return;
  }
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
