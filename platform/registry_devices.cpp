// The device database of a Windows registry: the Plug and Play "Enum" tree with the class,
// driver and service keys its values name. A replayed ".reg" snapshot answers through this.
#include <algorithm>

#include "platform/devices.h"
#include "platform/registry.h"
#include "platform/registry_path.h"

namespace tavrin::platform {
namespace {

constexpr RegRoot kLM = RegRoot::LocalMachine;
constexpr std::string_view kEnumRoot = "\\SYSTEM\\CurrentControlSet\\Enum";
constexpr std::string_view kClassRoot = "\\SYSTEM\\CurrentControlSet\\Control\\Class";
constexpr std::string_view kServicesRoot = "\\SYSTEM\\CurrentControlSet\\Services\\";
constexpr std::string_view kDeviceClasses = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses";

class RegistryDeviceService : public DeviceService {
 public:
  explicit RegistryDeviceService(std::shared_ptr<const Registry> registry)
      : reg_(std::move(registry)) {}

  Answer<std::vector<DeviceInstanceRef>> Instances() const override {
    std::vector<DeviceInstanceRef> refs;
    if (!reg_->KeyExists(kLM, kEnumRoot))
      return Answer<std::vector<DeviceInstanceRef>>::Fail(Status::Missing, Source(kEnumRoot));
    // A level whose key cannot be opened lists no subkeys and so contributes nothing.
    for (const auto& e : reg_->SubKeys(kLM, kEnumRoot)) {
      const std::string e_path = std::string(kEnumRoot) + "\\" + e;
      for (const auto& d : reg_->SubKeys(kLM, e_path))
        for (const auto& i : reg_->SubKeys(kLM, e_path + "\\" + d)) refs.push_back({e, d, i});
    }
    return Answer<std::vector<DeviceInstanceRef>>::Of(std::move(refs), Source(kEnumRoot));
  }

  Answer<DeviceInstanceValues> Instance(const DeviceInstanceRef& ref) const override {
    DeviceInstanceValues v;
    v.ref = ref;
    v.keyPath =
        std::string(kEnumRoot) + "\\" + ref.enumerator + "\\" + ref.device + "\\" + ref.instance;
    if (!reg_->KeyExists(kLM, v.keyPath))
      return Answer<DeviceInstanceValues>::Fail(Status::Missing, Source(v.keyPath));
    v.present = reg_->KeyExists(kLM, v.keyPath + "\\Control");
    v.friendlyName = Text(v.keyPath, "FriendlyName");
    v.deviceDesc = Text(v.keyPath, "DeviceDesc");
    v.mfg = Text(v.keyPath, "Mfg");
    v.locationInformation = Text(v.keyPath, "LocationInformation");
    v.classGuid = Text(v.keyPath, "ClassGUID");
    v.className = Text(v.keyPath, "Class");
    v.driver = Text(v.keyPath, "Driver");
    v.service = Text(v.keyPath, "Service");
    if (auto id = reg_->ReadValue(kLM, v.keyPath, "HardwareID")) {
      if (auto list = id->AsMultiString()) {
        v.hardwareIds = *list;
      } else {
        v.hardwareIds.push_back(RegistryText(*id, {}));
      }
    }
    FindResourceList(v);
    FindSymbolicLink(v);
    FindDeviceParam(v);
    // A ".reg" file keeps no write times, so the time stamp stays unknown.
    return Answer<DeviceInstanceValues>::Of(std::move(v), Source(v.keyPath));
  }

  Answer<DeviceClassValues> ClassKey(std::string_view guid) const override {
    for (const auto& name : reg_->SubKeys(kLM, kClassRoot)) {
      if (!EqualsNoCase(name, guid)) continue;
      const std::string key = std::string(kClassRoot) + "\\" + name;
      DeviceClassValues c;
      c.className = Text(key, "Class");
      if (auto icon = reg_->ReadValue(kLM, key, "Icon")) {
        if (icon->type == RegType::Sz || icon->type == RegType::ExpandSz) {
          c.icon = icon->AsString().value_or("");
        } else if (auto dword = icon->type == RegType::Dword ? icon->AsDword() : std::nullopt) {
          c.icon = std::to_string(*dword);
        }
      }
      c.description = Text(key, "");
      return Answer<DeviceClassValues>::Of(std::move(c), Source(key));
    }
    return Answer<DeviceClassValues>::Fail(
        Status::Missing, Source(std::string(kClassRoot) + "\\" + std::string(guid)));
  }

  Answer<DeviceDriverValues> DriverKey(std::string_view driver) const override {
    std::string name(driver);
    for (auto at = name.find("\\\\"); at != std::string::npos; at = name.find("\\\\", at))
      name.erase(at, 1);
    const std::string key = std::string(kClassRoot) + "\\" + name;
    if (name.empty() || !reg_->KeyExists(kLM, key))
      return Answer<DeviceDriverValues>::Fail(Status::Missing, Source(key));
    DeviceDriverValues d;
    // Read in this order; a value that is not text ends the reads, as a failed read does.
    std::string* fields[] = {&d.date, &d.version, &d.provider, &d.infPath};
    const char* names[] = {"DriverDate", "DriverVersion", "ProviderName", "InfPath"};
    for (int i = 0; i < 4; ++i) {
      auto value = reg_->ReadValue(kLM, key, names[i]);
      if (!value) continue;
      auto text = value->AsString();
      if (!text) break;
      *fields[i] = *text;
    }
    return Answer<DeviceDriverValues>::Of(std::move(d), Source(key));
  }

  Answer<DeviceServiceValues> ServiceKey(std::string_view name) const override {
    const std::string key = std::string(kServicesRoot) + std::string(name);
    if (name.empty() || !reg_->KeyExists(kLM, key))
      return Answer<DeviceServiceValues>::Fail(Status::Missing, Source(key));
    return Answer<DeviceServiceValues>::Of(
        {Text(key, "DisplayName"), Text(key, "Group"), Text(key, "Type")}, Source(key));
  }

  Answer<std::string> IdEntries(IdDatabase, const IdKeys&) const override {
    return Answer<std::string>::Fail(Status::NotSupported, "registry",
                                     "names come with the registry values");
  }

 private:
  static std::string Source(std::string_view key) {
    return "HKEY_LOCAL_MACHINE" + std::string(key.substr(0, 1) == "\\" ? "" : "\\") +
           std::string(key);
  }

  // Any value as text; a missing one is empty.
  std::string Text(const std::string& key, std::string_view name) const {
    auto value = reg_->ReadValue(kLM, key, name);
    return value ? RegistryText(*value, {}) : std::string();
  }

  // The first subkey (in case-insensitive name order) with a value of the resource-list type.
  void FindResourceList(DeviceInstanceValues& v) const {
    auto subkeys = reg_->SubKeys(kLM, v.keyPath);
    std::stable_sort(subkeys.begin(), subkeys.end(),
                     [](const auto& a, const auto& b) { return AsciiLower(a) < AsciiLower(b); });
    for (const auto& sub : subkeys) {
      const std::string key = v.keyPath + "\\" + sub;
      for (const auto& name : reg_->ValueNames(kLM, key)) {
        auto value = reg_->ReadValue(kLM, key, name);
        if (value && value->type == RegType::ResourceList) {
          v.resourceListKey = key;
          v.resourceListValue = name;
          break;
        }
      }
      if (!v.resourceListKey.empty()) return;
    }
  }

  // The interface keys are named "##?#<hardware id with # for \>#<instance>#<class guid>".
  void FindSymbolicLink(DeviceInstanceValues& v) const {
    if (!reg_->KeyExists(kLM, kDeviceClasses) || v.hardwareIds.empty()) return;
    std::string first = v.hardwareIds.front();
    first = first.substr(0, first.find_first_of("\r\n"));
    std::replace(first.begin(), first.end(), '\\', '#');
    const std::string pattern = "##?#" + first + "#" + v.ref.instance;
    for (const auto& c : reg_->SubKeys(kLM, kDeviceClasses)) {
      const std::string key =
          std::string(kDeviceClasses) + "\\" + c + "\\" + pattern + "#" + c + "\\#";
      if (!reg_->KeyExists(kLM, key)) continue;
      if (auto link = reg_->ReadValue(kLM, key, "SymbolicLink"))
        if (link->type == RegType::Sz || link->type == RegType::ExpandSz)
          v.symbolicLink = link->AsString().value_or("");
      return;  // the first interface key that opens ends the search
    }
  }

  void FindDeviceParam(DeviceInstanceValues& v) const {
    const std::string key = v.keyPath + "\\Device Parameters";
    for (const auto& name : reg_->ValueNames(kLM, key)) {
      if (name.empty()) continue;
      auto value = reg_->ReadValue(kLM, key, name);
      if (value && value->type == RegType::Sz) {
        v.deviceParam = value->AsString().value_or("");
        return;
      }
    }
  }

  std::shared_ptr<const Registry> reg_;
};

}  // namespace

std::shared_ptr<const DeviceService> MakeRegistryDeviceService(
    std::shared_ptr<const Registry> registry) {
  return std::make_shared<RegistryDeviceService>(std::move(registry));
}

bool RegistryHasDeviceTree(const Registry& registry) {
  return registry.KeyExists(kLM, kEnumRoot);
}

std::string FilterIdFile(std::string_view text, const IdKeys& ids) {
  std::string out;
  bool keeping = false;      // in a kept vendor's or class's block
  bool in_class = false;     // the block is the class list's
  bool device_kept = false;  // the last device line was kept (class lines below it are kept)
  uint16_t vendor = 0;
  auto hex = [](std::string_view s, uint16_t& v) {
    if (s.size() < 4) return false;
    v = 0;
    for (char c : s.substr(0, 4)) {
      int d = (c >= '0' && c <= '9')   ? c - '0'
              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                       : -1;
      if (d < 0) return false;
      v = static_cast<uint16_t>(v * 16 + d);
    }
    return true;
  };
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '\t') {
      if (!keeping) continue;
      uint16_t device = 0;
      if (in_class) {
        out.append(line).push_back('\n');
      } else if (line.size() > 1 && line[1] != '\t' && hex(line.substr(1), device)) {
        device_kept = std::find(ids.begin(), ids.end(), std::pair{vendor, device}) != ids.end();
        if (device_kept) out.append(line).push_back('\n');
      }
      continue;
    }
    uint16_t id = 0;
    device_kept = false;
    if (line.substr(0, 2) == "C ") {
      keeping = in_class = true;
    } else if (hex(line, id)) {
      in_class = false;
      vendor = id;
      keeping = std::any_of(ids.begin(), ids.end(), [id](const auto& k) { return k.first == id; });
    } else {
      keeping = in_class = false;  // another list of the file (usb.ids has several)
    }
    if (keeping) out.append(line).push_back('\n');
  }
  return out;
}

}  // namespace tavrin::platform
