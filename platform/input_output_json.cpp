#include "platform/input_output_json.h"

#include "platform/os_facts_json.h"

namespace tavrin::platform {

using nlohmann::json;

namespace {

template <class T>
json Optional(const std::optional<T>& v) {
  return v ? json(*v) : json(nullptr);
}

template <class T>
std::optional<T> OptionalField(const json& j, const char* name, const std::string& file) {
  if (!j.is_object() || !j.contains(name) || j[name].is_null()) return std::nullopt;
  return FieldOr<T>(j, name, T{}, file);
}

const json& ArrayField(const json& j, const char* name, const std::string& file) {
  static const json empty = json::array();
  if (!j.is_object() || !j.contains(name)) return empty;
  if (!j[name].is_array()) throw SnapshotFileError(file + ": field \"" + name + "\" is not a list");
  return j[name];
}

}  // namespace

json ToJson(const PowerEstimates& e) {
  return {{"timeToEmpty", Optional(e.timeToEmpty)},
          {"timeToFull", Optional(e.timeToFull)},
          {"percentage", Optional(e.percentage)},
          {"onBattery", e.onBattery}};
}

PowerEstimates EstimatesFromJson(const json& j, const std::string& file) {
  PowerEstimates e;
  e.timeToEmpty = OptionalField<int64_t>(j, "timeToEmpty", file);
  e.timeToFull = OptionalField<int64_t>(j, "timeToFull", file);
  e.percentage = OptionalField<double>(j, "percentage", file);
  e.onBattery = FieldOr(j, "onBattery", false, file);
  return e;
}

json ToJson(const BluetoothRecord& r) {
  json adapters = json::array(), devices = json::array();
  for (const auto& a : r.adapters)
    adapters.push_back({{"name", a.name},
                        {"address", a.address},
                        {"alias", a.alias},
                        {"powered", Optional(a.powered)}});
  for (const auto& d : r.devices)
    devices.push_back({{"adapter", d.adapter},
                       {"address", d.address},
                       {"name", d.name},
                       {"class", Optional(d.deviceClass)},
                       {"paired", d.paired},
                       {"trusted", d.trusted},
                       {"connected", d.connected},
                       {"blocked", d.blocked},
                       {"lastSeen", Optional(d.lastSeen)},
                       {"lastUsed", Optional(d.lastUsed)}});
  return {{"adapters", adapters}, {"devices", devices}, {"service", ProvenanceToJson(r.service)}};
}

BluetoothRecord BluetoothFromJson(const json& j, const std::string& file) {
  BluetoothRecord r;
  for (const auto& a : ArrayField(j, "adapters", file))
    r.adapters.push_back(
        {FieldOr(a, "name", std::string(), file), FieldOr(a, "address", std::string(), file),
         FieldOr(a, "alias", std::string(), file), OptionalField<bool>(a, "powered", file)});
  for (const auto& d : ArrayField(j, "devices", file)) {
    BluetoothDeviceRecord x;
    x.adapter = FieldOr(d, "adapter", std::string(), file);
    x.address = FieldOr(d, "address", std::string(), file);
    x.name = FieldOr(d, "name", std::string(), file);
    x.deviceClass = OptionalField<uint32_t>(d, "class", file);
    x.paired = FieldOr(d, "paired", false, file);
    x.trusted = FieldOr(d, "trusted", false, file);
    x.connected = FieldOr(d, "connected", false, file);
    x.blocked = FieldOr(d, "blocked", false, file);
    x.lastSeen = OptionalField<int64_t>(d, "lastSeen", file);
    x.lastUsed = OptionalField<int64_t>(d, "lastUsed", file);
    r.devices.push_back(std::move(x));
  }
  if (j.is_object() && j.contains("service"))
    if (auto p = ProvenanceFromJson(j["service"])) r.service = *p;
  return r;
}

json ToJson(const std::vector<PrinterRecord>& list) {
  json out = json::array();
  for (const auto& p : list)
    out.push_back({{"name", p.name},
                   {"instance", p.instance},
                   {"isDefault", p.isDefault},
                   {"options", p.options}});
  return out;
}

std::vector<PrinterRecord> PrintersFromJson(const json& j, const std::string& file) {
  if (!j.is_array()) throw SnapshotFileError(file + ": the printers are not a list");
  std::vector<PrinterRecord> list;
  for (const auto& p : j) {
    PrinterRecord r;
    r.name = FieldOr(p, "name", std::string(), file);
    r.instance = FieldOr(p, "instance", std::string(), file);
    r.isDefault = FieldOr(p, "isDefault", false, file);
    if (p.is_object() && p.contains("options")) {
      if (!p["options"].is_object())
        throw SnapshotFileError(file + ": printer options are not an object");
      for (const auto& [k, v] : p["options"].items())
        if (v.is_string()) r.options[k] = v.get<std::string>();
    }
    list.push_back(std::move(r));
  }
  return list;
}

namespace {

std::array<uint8_t, 6> AddressFromJson(const json& d, const std::string& file) {
  std::array<uint8_t, 6> bytes{};
  if (!d.is_object() || !d.contains("address")) return bytes;
  const json& a = d["address"];
  if (!a.is_array() || a.size() != 6)
    throw SnapshotFileError(file + ": a Bluetooth address is not a list of six bytes");
  for (std::size_t i = 0; i < 6; ++i) {
    if (!a[i].is_number_unsigned() || a[i].get<uint64_t>() > 255)
      throw SnapshotFileError(file + ": a Bluetooth address byte is not a number 0 to 255");
    bytes[i] = static_cast<uint8_t>(a[i].get<uint64_t>());
  }
  return bytes;
}

// A SYSTEMTIME as its eight fields in order: year, month, day of week, day, hour, minute,
// second, milliseconds.
SystemTimeRecord SystemTimeFromJson(const json& d, const char* name, const std::string& file) {
  SystemTimeRecord t;
  if (!d.is_object() || !d.contains(name) || d[name].is_null()) return t;
  const json& a = d[name];
  if (!a.is_array() || a.size() != 8)
    throw SnapshotFileError(file + ": \"" + name + "\" is not a list of eight numbers");
  uint16_t* fields[] = {&t.year, &t.month,  &t.dayOfWeek, &t.day,
                        &t.hour, &t.minute, &t.second,    &t.milliseconds};
  for (std::size_t i = 0; i < 8; ++i) {
    if (!a[i].is_number_unsigned() || a[i].get<uint64_t>() > 0xFFFF)
      throw SnapshotFileError(file + ": \"" + name + "\" holds a field that is not a number");
    *fields[i] = static_cast<uint16_t>(a[i].get<uint64_t>());
  }
  return t;
}

std::vector<WindowsBluetoothDevice> WindowsBluetoothFromJson(const json& j,
                                                             const std::string& file) {
  if (!j.is_array()) throw SnapshotFileError(file + ": the Bluetooth devices are not a list");
  std::vector<WindowsBluetoothDevice> list;
  for (const auto& d : j) {
    WindowsBluetoothDevice x;
    x.name = FieldOr(d, "name", std::string(), file);
    x.address = AddressFromJson(d, file);
    x.classOfDevice = FieldOr<uint32_t>(d, "class", 0, file);
    x.authenticated = FieldOr(d, "authenticated", false, file);
    x.remembered = FieldOr(d, "remembered", false, file);
    x.connected = FieldOr(d, "connected", false, file);
    x.lastSeen = SystemTimeFromJson(d, "lastSeen", file);
    x.lastUsed = SystemTimeFromJson(d, "lastUsed", file);
    list.push_back(std::move(x));
  }
  return list;
}

// A device entry is its capabilities, or an answer ({"status", "source", "detail"}) when the
// capability query failed.
Answer<MultimediaCapsRecord> CapsFromJson(const json& d, const std::string& file) {
  if (!d.is_object()) throw SnapshotFileError(file + ": a multimedia device is not an object");
  if (d.contains("status")) {
    auto source = ProvenanceFromJson(d);
    if (!source) throw SnapshotFileError(file + ": a multimedia device is not an answer");
    if (!source->ok()) return {std::nullopt, *source};
  }
  MultimediaCapsRecord caps{FieldOr(d, "name", std::string(), file),
                            FieldOr<uint32_t>(d, "driverVersion", 0, file)};
  return Answer<MultimediaCapsRecord>::Of(std::move(caps), "device capabilities");
}

std::array<std::vector<Answer<MultimediaCapsRecord>>, 6> MultimediaFromJson(
    const json& j, const std::string& file) {
  if (!j.is_object()) throw SnapshotFileError(file + ": the multimedia devices are not an object");
  static constexpr const char* kFamilies[] = {"waveOut", "waveIn", "midiOut",
                                              "midiIn",  "aux",    "mixer"};
  std::array<std::vector<Answer<MultimediaCapsRecord>>, 6> families;
  for (std::size_t f = 0; f < 6; ++f)
    for (const auto& d : ArrayField(j, kFamilies[f], file))
      families[f].push_back(CapsFromJson(d, file));
  return families;
}

std::string BytesFromJson(const json& j, const std::string& file) {
  auto bytes = j.is_string() ? Base64Decode(j.get<std::string>()) : std::nullopt;
  if (!bytes) throw SnapshotFileError(file + ": a structure's bytes are not base64 text");
  return *bytes;
}

Answer<WindowsDriverInfo> DriverFromJson(const json& p, const std::string& printer,
                                         const std::string& file) {
  const std::string source = "GetPrinterDriverW " + printer;
  if (!p.contains("driver"))
    return Answer<WindowsDriverInfo>::Fail(Status::NotSupported, source,
                                           "not recorded in the snapshot");
  const json& d = p["driver"];
  if (!d.is_object()) throw SnapshotFileError(file + ": a printer driver is not an object");
  if (d.contains("error")) {
    const auto code = FieldOr<uint32_t>(d, "error", 0, file);
    std::string detail = "error " + std::to_string(code);
    const auto message = FieldOr(d, "message", std::string(), file);
    if (!message.empty()) detail += " (" + message + ")";
    return Answer<WindowsDriverInfo>::Fail(Status::Failed, "OpenPrinterW " + printer, detail);
  }
  WindowsDriverInfo info{FieldOr(d, "name", std::string(), file),
                         FieldOr(d, "driverPath", std::string(), file),
                         FieldOr(d, "monitorName", std::string(), file)};
  return Answer<WindowsDriverInfo>::Of(std::move(info), source);
}

std::vector<WindowsPrinterEntry> WindowsPrintersFromJson(const json& j, const std::string& file) {
  if (!j.is_array()) throw SnapshotFileError(file + ": the printers are not a list");
  std::vector<WindowsPrinterEntry> list;
  for (const auto& p : j) {
    if (!p.is_object()) throw SnapshotFileError(file + ": a printer is not an object");
    WindowsPrinterEntry e;
    e.info.serverName = FieldOr(p, "serverName", std::string(), file);
    e.info.printerName = FieldOr(p, "printerName", std::string(), file);
    e.info.shareName = FieldOr(p, "shareName", std::string(), file);
    e.info.portName = FieldOr(p, "portName", std::string(), file);
    e.info.driverName = FieldOr(p, "driverName", std::string(), file);
    e.info.comment = FieldOr(p, "comment", std::string(), file);
    e.info.location = FieldOr(p, "location", std::string(), file);
    e.info.attributes = FieldOr<uint32_t>(p, "attributes", 0, file);
    e.isDefault = FieldOr(p, "default", false, file);
    e.driver = DriverFromJson(p, e.info.printerName, file);
    list.push_back(std::move(e));
  }
  return list;
}

}  // namespace

WindowsInputOutput WindowsInputOutputFromJson(const json& windows, const std::string& file) {
  if (!windows.is_object()) throw SnapshotFileError(file + ": \"windows\" is not an object");
  WindowsInputOutput w;
  w.bluetooth = AnswerFromJson<std::vector<WindowsBluetoothDevice>>(
      windows, "bluetooth", file, [&](const json& v) { return WindowsBluetoothFromJson(v, file); });
  w.multimedia = AnswerFromJson<std::array<std::vector<Answer<MultimediaCapsRecord>>, 6>>(
      windows, "multimedia", file, [&](const json& v) { return MultimediaFromJson(v, file); });
  auto bytes = [&](const json& v) { return BytesFromJson(v, file); };
  w.processorPower = AnswerFromJson<std::string>(windows, "processorPower", file, bytes);
  w.systemPowerStatus = AnswerFromJson<std::string>(windows, "systemPowerStatus", file, bytes);
  w.printers = AnswerFromJson<std::vector<WindowsPrinterEntry>>(
      windows, "printers", file, [&](const json& v) { return WindowsPrintersFromJson(v, file); });
  return w;
}

}  // namespace tavrin::platform
