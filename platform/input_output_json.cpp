#include "platform/input_output_json.h"

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

}  // namespace tavrin::platform
