#include "platform/recorded/recorded_devices.h"

#include <iterator>

#include "platform/registry.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"
#include "platform/whole_file.h"

namespace tavrin::platform {
namespace {

using nlohmann::json;

constexpr const char* kResourceKinds[] = {"io", "memory", "irq", "dma"};
constexpr const char* kProblems[] = {"", "no driver", "probe deferred", "probe failed"};
constexpr int kProblemCount = static_cast<int>(std::size(kProblems));

json FactsToJson(const DeviceModelFacts& f) {
  json resources = json::array();
  for (const auto& r : f.resources)
    resources.push_back({kResourceKinds[static_cast<int>(r.kind)], r.start, r.end});
  std::string config;  // hexadecimal, so the JSON stays text
  static const char* digits = "0123456789abcdef";
  for (unsigned char c : f.pciConfig) {
    config.push_back(digits[c >> 4]);
    config.push_back(digits[c & 15]);
  }
  return {{"subsystem", f.subsystem},
          {"devType", f.devType},
          {"kernelName", f.kernelName},
          {"parentSubsystem", f.parentSubsystem},
          {"modalias", f.modalias},
          {"pciConfig", config},
          {"configSource", ProvenanceToJson(f.configSource)},
          {"ids", {f.vendorId, f.deviceId, f.subVendorId, f.subDeviceId, f.revision, f.classCode}},
          {"usb",
           {f.usbClass, f.usbSubClass, f.usbProtocol, f.usbInterfaceNumber, f.usbInterfaceCount,
            f.usbDevNum, f.usbParentDevNum}},
          {"pnpIds", f.pnpIds},
          {"input", {f.inputBus, f.inputEv, f.inputKey, f.inputRel, f.inputAbs}},
          {"scsiType", f.scsiType},
          {"removable", f.removable},
          {"vendorText", f.vendorText},
          {"modelText", f.modelText},
          {"udevVendor", f.udevVendor},
          {"udevModel", f.udevModel},
          {"devNodes", f.devNodes},
          {"driver", f.driver},
          {"module", f.module},
          {"moduleVersion", f.moduleVersion},
          {"moduleTaint", f.moduleTaint},
          {"kernelRelease", f.kernelRelease},
          {"resources", resources},
          {"problem", kProblems[static_cast<int>(f.problem)]},
          {"probeFailure", {f.probeDriver, f.probeError}}};
}

template <class T>
void Get(const json& j, const char* name, T& out) {
  if (auto it = j.find(name); it != j.end()) {
    try {
      out = it->get<T>();
    } catch (const json::exception&) {
      // a value of the wrong type keeps the default
    }
  }
}

DeviceModelFacts FactsFromJson(const json& j) {
  DeviceModelFacts f;
  Get(j, "subsystem", f.subsystem);
  Get(j, "devType", f.devType);
  Get(j, "kernelName", f.kernelName);
  Get(j, "parentSubsystem", f.parentSubsystem);
  Get(j, "modalias", f.modalias);
  std::string config;
  Get(j, "pciConfig", config);
  // Hexadecimal pairs; the bytes end at the first pair that is not one.
  auto nibble = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i + 1 < config.size(); i += 2) {
    const int high = nibble(config[i]), low = nibble(config[i + 1]);
    if (high < 0 || low < 0) break;
    f.pciConfig.push_back(static_cast<char>(high << 4 | low));
  }
  if (auto it = j.find("configSource"); it != j.end())
    f.configSource = ProvenanceFromJson(*it).value_or(Provenance{});
  std::vector<uint32_t> ids;
  Get(j, "ids", ids);
  ids.resize(6);
  f.vendorId = ids[0], f.deviceId = ids[1], f.subVendorId = ids[2], f.subDeviceId = ids[3];
  f.revision = ids[4], f.classCode = ids[5];
  std::vector<int> usb;
  Get(j, "usb", usb);
  usb.resize(7, -1);
  f.usbClass = usb[0], f.usbSubClass = usb[1], f.usbProtocol = usb[2];
  f.usbInterfaceNumber = usb[3], f.usbInterfaceCount = std::max(0, usb[4]);
  f.usbDevNum = std::max(0, usb[5]), f.usbParentDevNum = std::max(0, usb[6]);
  Get(j, "pnpIds", f.pnpIds);
  if (auto it = j.find("input"); it != j.end() && it->is_array() && it->size() == 5) {
    f.inputBus = (*it)[0].is_number() ? (*it)[0].get<int>() : 0;
    std::string* texts[] = {&f.inputEv, &f.inputKey, &f.inputRel, &f.inputAbs};
    for (int i = 0; i < 4; ++i)
      if ((*it)[i + 1].is_string()) *texts[i] = (*it)[i + 1].get<std::string>();
  }
  Get(j, "scsiType", f.scsiType);
  Get(j, "removable", f.removable);
  Get(j, "vendorText", f.vendorText);
  Get(j, "modelText", f.modelText);
  Get(j, "udevVendor", f.udevVendor);
  Get(j, "udevModel", f.udevModel);
  Get(j, "devNodes", f.devNodes);
  Get(j, "driver", f.driver);
  Get(j, "module", f.module);
  Get(j, "moduleVersion", f.moduleVersion);
  Get(j, "moduleTaint", f.moduleTaint);
  Get(j, "kernelRelease", f.kernelRelease);
  if (auto it = j.find("resources"); it != j.end() && it->is_array()) {
    for (const auto& r : *it) {
      if (!r.is_array() || r.size() != 3 || !r[0].is_string() || !r[1].is_number_unsigned() ||
          !r[2].is_number_unsigned())
        continue;
      for (int k = 0; k < 4; ++k)
        if (r[0] == kResourceKinds[k])
          f.resources.push_back(
              {static_cast<DeviceResource::Kind>(k), r[1].get<uint64_t>(), r[2].get<uint64_t>()});
    }
  }
  std::string problem;
  Get(j, "problem", problem);
  for (int k = 0; k < kProblemCount; ++k)
    if (problem == kProblems[k]) f.problem = static_cast<DeviceProblem>(k);
  if (auto it = j.find("probeFailure"); it != j.end() && it->is_array() && it->size() == 2 &&
                                        (*it)[0].is_string() && (*it)[1].is_number_integer()) {
    f.probeDriver = (*it)[0].get<std::string>();
    f.probeError = (*it)[1].get<int>();
  }
  return f;
}

template <class T>
Answer<T> Recorded(const json* entry, const std::string& key, T (*from)(const json&)) {
  if (!entry) return Answer<T>::Fail(Status::Missing, key, "not in the recording");
  auto source = ProvenanceFromJson(*entry).value_or(Provenance::Failure(Status::Malformed, key));
  if (!source.ok() || !entry->contains("value"))
    return Answer<T>::Fail(source.status, source.source, source.detail);
  return Answer<T>::Of(from((*entry)["value"]), source.source);
}

}  // namespace

std::string DeviceKey(const DeviceInstanceRef& ref) {
  return ref.enumerator + "\\" + ref.device + "\\" + ref.instance;
}

json DeviceValuesToJson(const DeviceInstanceValues& v) {
  json j = {{"ref", {v.ref.enumerator, v.ref.device, v.ref.instance}},
            {"keyPath", v.keyPath},
            {"present", v.present},
            {"FriendlyName", v.friendlyName},
            {"DeviceDesc", v.deviceDesc},
            {"Mfg", v.mfg},
            {"LocationInformation", v.locationInformation},
            {"ClassGUID", v.classGuid},
            {"Class", v.className},
            {"Driver", v.driver},
            {"Service", v.service},
            {"HardwareID", v.hardwareIds},
            {"ResourceListKey", v.resourceListKey},
            {"ResourceListValue", v.resourceListValue},
            {"SymbolicLink", v.symbolicLink},
            {"DeviceParam", v.deviceParam}};
  if (v.controlWriteTime) j["ControlWriteTime"] = *v.controlWriteTime;
  if (v.model) j["model"] = FactsToJson(*v.model);
  return j;
}

std::optional<DeviceInstanceValues> DeviceValuesFromJson(const json& j) {
  if (!j.is_object()) return std::nullopt;
  DeviceInstanceValues v;
  std::vector<std::string> ref;
  Get(j, "ref", ref);
  if (ref.size() != 3) return std::nullopt;
  v.ref = {ref[0], ref[1], ref[2]};
  Get(j, "keyPath", v.keyPath);
  Get(j, "present", v.present);
  Get(j, "FriendlyName", v.friendlyName);
  Get(j, "DeviceDesc", v.deviceDesc);
  Get(j, "Mfg", v.mfg);
  Get(j, "LocationInformation", v.locationInformation);
  Get(j, "ClassGUID", v.classGuid);
  Get(j, "Class", v.className);
  Get(j, "Driver", v.driver);
  Get(j, "Service", v.service);
  Get(j, "HardwareID", v.hardwareIds);
  Get(j, "ResourceListKey", v.resourceListKey);
  Get(j, "ResourceListValue", v.resourceListValue);
  Get(j, "SymbolicLink", v.symbolicLink);
  Get(j, "DeviceParam", v.deviceParam);
  if (auto it = j.find("ControlWriteTime"); it != j.end() && it->is_number_integer())
    v.controlWriteTime = it->get<int64_t>();
  if (auto it = j.find("model"); it != j.end() && it->is_object()) v.model = FactsFromJson(*it);
  return v;
}

RecordedDeviceService::RecordedDeviceService(json recorded) : recorded_(std::move(recorded)) {}

const json* RecordedDeviceService::Find(const char* table, const std::string& key) const {
  auto t = recorded_.find(table);
  if (t == recorded_.end() || !t->is_object()) return nullptr;
  auto it = t->find(key);
  return it == t->end() ? nullptr : &*it;
}

Answer<std::vector<DeviceInstanceRef>> RecordedDeviceService::Instances() const {
  auto it = recorded_.find("instances");
  return Recorded<std::vector<
      DeviceInstanceRef>>(it == recorded_.end() ? nullptr : &*it, "devices", [](const json& list) {
    std::vector<DeviceInstanceRef> refs;
    if (!list.is_array()) return refs;
    for (const auto& r : list)
      if (r.is_array() && r.size() == 3 && r[0].is_string() && r[1].is_string() && r[2].is_string())
        refs.push_back({r[0].get<std::string>(), r[1].get<std::string>(), r[2].get<std::string>()});
    return refs;
  });
}

Answer<DeviceInstanceValues> RecordedDeviceService::Instance(const DeviceInstanceRef& ref) const {
  const std::string key = DeviceKey(ref);
  auto answer = Recorded<DeviceInstanceValues>(Find("values", key), key, [](const json& j) {
    return DeviceValuesFromJson(j).value_or(DeviceInstanceValues{});
  });
  if (answer && answer->ref != ref)
    return Answer<DeviceInstanceValues>::Fail(Status::Malformed, key, "recorded entry is bad");
  return answer;
}

Answer<DeviceClassValues> RecordedDeviceService::ClassKey(std::string_view guid) const {
  return Recorded<DeviceClassValues>(Find("classes", std::string(guid)), std::string(guid),
                                     [](const json& j) {
                                       DeviceClassValues c;
                                       Get(j, "Class", c.className);
                                       Get(j, "Icon", c.icon);
                                       Get(j, "Description", c.description);
                                       return c;
                                     });
}

Answer<DeviceDriverValues> RecordedDeviceService::DriverKey(std::string_view driver) const {
  return Recorded<DeviceDriverValues>(Find("drivers", std::string(driver)), std::string(driver),
                                      [](const json& j) {
                                        DeviceDriverValues d;
                                        Get(j, "DriverDate", d.date);
                                        Get(j, "DriverVersion", d.version);
                                        Get(j, "ProviderName", d.provider);
                                        Get(j, "InfPath", d.infPath);
                                        return d;
                                      });
}

Answer<DeviceServiceValues> RecordedDeviceService::ServiceKey(std::string_view name) const {
  return Recorded<DeviceServiceValues>(Find("services", std::string(name)), std::string(name),
                                       [](const json& j) {
                                         DeviceServiceValues s;
                                         Get(j, "DisplayName", s.displayName);
                                         Get(j, "Group", s.group);
                                         Get(j, "Type", s.type);
                                         return s;
                                       });
}

DeviceWalkSources RecordedDeviceService::WalkSources() const {
  DeviceWalkSources sources;
  auto it = recorded_.find("walkSources");
  if (it == recorded_.end() || !it->is_object()) return sources;
  auto read = [&](const char* name, Provenance& out) {
    if (auto p = it->find(name); p != it->end()) out = ProvenanceFromJson(*p).value_or(out);
  };
  read("udev", sources.udev);
  read("kernelLog", sources.kernelLog);
  return sources;
}

Answer<std::string> RecordedDeviceService::IdEntries(IdDatabase database, const IdKeys&) const {
  const std::string key = database == IdDatabase::Pci ? "pci.ids" : "usb.ids";
  return Recorded<std::string>(Find("ids", key), key, [](const json& j) {
    return j.is_string() ? j.get<std::string>() : std::string();
  });
}

std::shared_ptr<const DeviceService> LoadRecordedDevices(const std::filesystem::path& dir,
                                                         std::shared_ptr<const Registry> registry,
                                                         std::vector<std::string>& warnings) {
  const auto file = dir / kDevicesDir / kDevicesFile;
  if (auto text = ReadSnapshotFile(file, kMaxWholeFileBytes)) {
    auto j = json::parse(*text, nullptr, false);
    if (j.is_object()) return std::make_shared<RecordedDeviceService>(std::move(j));
    warnings.push_back(std::string(kDevicesDir) + "/" + std::string(kDevicesFile) +
                       ": not valid JSON");
  }
  // A Windows machine's registry holds its device database itself.
  if (registry && RegistryHasDeviceTree(*registry)) return MakeRegistryDeviceService(registry);
  return nullptr;
}

}  // namespace tavrin::platform
