// The device controls of a replayed Windows snapshot, from its controls.json.
#include <map>

#include "base/strings.h"
#include "platform/device_control.h"
#include "platform/os_facts_json.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"
#include "platform/snapshot_layout.h"

namespace tavrin::platform {
namespace {

using nlohmann::json;

// Windows names devices without regard to case.
std::string Folded(std::string_view name) {
  return base::Lower(name);
}

ControlReply Refusal(uint32_t error, std::string message) {
  ControlReply r;
  r.error = error;
  r.message = std::move(message);
  return r;
}

// One recorded reply: {"output": base64} or {"error": code, "message": words}.
ControlReply ReplyFromJson(const json& j, const std::string& where) {
  if (!j.is_object()) throw SnapshotFileError(where + ": a reply is not an object");
  if (auto out = j.find("output"); out != j.end()) {
    auto bytes = out->is_string() ? Base64Decode(out->get<std::string>()) : std::nullopt;
    if (!bytes) throw SnapshotFileError(where + ": \"output\" is not base64 text");
    ControlReply r;
    r.ok = true;
    r.output = std::move(*bytes);
    return r;
  }
  auto error = j.find("error");
  if (error == j.end() || !error->is_number_unsigned())
    throw SnapshotFileError(where + ": a reply has neither \"output\" nor an \"error\" code");
  return Refusal(error->get<uint32_t>(), j.value("message", std::string()));
}

// A control key as written by hand may use upper case or a "0x" prefix; it is stored in the
// form ControlKey makes, so lookups compare equal texts.
std::string NormalKey(std::string_view key, const std::string& where) {
  const auto colon = key.find(':');
  std::string_view code = key.substr(0, colon);
  if (code.size() > 2 && code[0] == '0' && (code[1] == 'x' || code[1] == 'X'))
    code.remove_prefix(2);
  uint32_t value = 0;
  if (code.empty() || code.size() > 8) throw SnapshotFileError(where + ": bad control code");
  for (char c : code) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) throw SnapshotFileError(where + ": bad control code");
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  std::string normal = ControlKey(value, {});
  if (colon != std::string_view::npos) normal += ":" + Folded(key.substr(colon + 1));
  return normal;
}

struct RecordedDevice {
  std::map<std::string, ControlReply> controls;
};

class RecordedDeviceControl : public DeviceControlService {
 public:
  RecordedDeviceControl(std::map<std::string, RecordedDevice> devices,
                        std::map<std::string, ControlReply> failedOpens)
      : devices_(std::move(devices)), failed_opens_(std::move(failedOpens)) {}

  ControlReply Open(const std::string& device) const override {
    const std::string name = Folded(device);
    if (auto it = failed_opens_.find(name); it != failed_opens_.end()) return it->second;
    if (devices_.count(name) == 0) return Refusal(2, "The system cannot find the file specified.");
    ControlReply r;
    r.ok = true;
    return r;
  }

  // A control recorded with its input answers that input only; one recorded without input
  // answers any input, which keeps hand-written snapshots short.
  ControlReply Control(const std::string& device, uint32_t code,
                       std::string_view input) const override {
    auto opened = Open(device);
    if (!opened.ok) return opened;
    const auto& controls = devices_.at(Folded(device)).controls;
    if (auto it = controls.find(ControlKey(code, input)); it != controls.end()) return it->second;
    if (auto it = controls.find(ControlKey(code, {})); it != controls.end()) return it->second;
    return Refusal(1, "not recorded in the snapshot");
  }

 private:
  std::map<std::string, RecordedDevice> devices_;
  std::map<std::string, ControlReply> failed_opens_;
};

}  // namespace

std::shared_ptr<const DeviceControlService> LoadRecordedDeviceControl(
    const std::filesystem::path& dir) {
  const auto file = dir / snapshot::kControls;
  auto text = ReadSnapshotFile(file, std::size_t{32} << 20);
  if (!text) return nullptr;  // a Linux snapshot, or a Windows one without device answers
  const std::string name = file.string();
  auto root = json::parse(*text, nullptr, false);
  if (root.is_discarded() || !root.is_object())
    throw SnapshotFileError(name + ": not a JSON object");
  std::map<std::string, RecordedDevice> devices;
  std::map<std::string, ControlReply> failed;
  if (auto it = root.find("devices"); it != root.end()) {
    if (!it->is_object()) throw SnapshotFileError(name + ": \"devices\" is not an object");
    for (const auto& [device, entry] : it->items()) {
      const std::string where = name + ": " + device;
      RecordedDevice d;
      if (!entry.is_object()) throw SnapshotFileError(where + ": not an object");
      for (const auto& [key, reply] : entry.items())
        d.controls[NormalKey(key, where)] = ReplyFromJson(reply, where + " " + key);
      devices[Folded(device)] = std::move(d);
    }
  }
  if (auto it = root.find("failedOpens"); it != root.end()) {
    if (!it->is_object()) throw SnapshotFileError(name + ": \"failedOpens\" is not an object");
    for (const auto& [device, reply] : it->items()) {
      ControlReply r = ReplyFromJson(reply, name + ": " + device);
      if (r.ok) throw SnapshotFileError(name + ": " + device + ": a failed open holds no error");
      failed[Folded(device)] = std::move(r);
    }
  }
  return std::make_shared<RecordedDeviceControl>(std::move(devices), std::move(failed));
}

}  // namespace tavrin::platform
