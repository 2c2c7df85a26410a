// Bluetooth adapters and known devices: from BlueZ over the system bus, else from the kernel's
// adapter list and BlueZ's stored device files. Nothing is paired, scanned or changed.
#include <cstdlib>
#include <memory>
#include <mutex>

#include "base/time_limit.h"
#include "platform/linux/dbus_library.h"
#include "platform/linux/linux_input_output.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kAdapters = "/sys/class/bluetooth";
constexpr std::string_view kStore = "/var/lib/bluetooth";

std::string Text(const DbusValue* v) {
  return v ? v->text : std::string();
}
bool Flag(const DbusValue* v) {
  return v && v->integer != 0;
}

// "/org/bluez/hci0/dev_..." -> "hci0".
std::string AdapterOfPath(std::string_view path) {
  constexpr std::string_view kPrefix = "/org/bluez/";
  if (path.rfind(kPrefix, 0) != 0) return {};
  path.remove_prefix(kPrefix.size());
  return std::string(path.substr(0, path.find('/')));
}

BluetoothRecord FromManagedObjects(const std::vector<DbusValue>& reply) {
  BluetoothRecord r;
  if (reply.empty()) return r;
  for (const auto& object : reply.front().items) {
    if (object.type != 'e' || object.items.size() != 2) continue;
    const std::string& path = object.items[0].text;
    const DbusValue& interfaces = object.items[1];
    if (const DbusValue* a = interfaces.Find("org.bluez.Adapter1")) {
      BluetoothAdapterRecord adapter;
      adapter.name = AdapterOfPath(path);
      adapter.address = Text(a->Find("Address"));
      adapter.alias = Text(a->Find("Alias"));
      if (const DbusValue* p = a->Find("Powered")) adapter.powered = p->integer != 0;
      r.adapters.push_back(std::move(adapter));
    }
    if (const DbusValue* d = interfaces.Find("org.bluez.Device1")) {
      BluetoothDeviceRecord device;
      device.adapter = AdapterOfPath(Text(d->Find("Adapter")));
      if (device.adapter.empty()) device.adapter = AdapterOfPath(path);
      device.address = Text(d->Find("Address"));
      device.name = Text(d->Find("Name"));
      if (device.name.empty()) device.name = Text(d->Find("Alias"));
      if (const DbusValue* c = d->Find("Class"))
        device.deviceClass = static_cast<uint32_t>(c->integer);
      device.paired = Flag(d->Find("Paired"));
      device.trusted = Flag(d->Find("Trusted"));
      device.connected = Flag(d->Find("Connected"));
      device.blocked = Flag(d->Find("Blocked"));
      r.devices.push_back(std::move(device));
    }
  }
  return r;
}

// "Key=value" of an INI text's section.
std::string IniValue(std::string_view text, std::string_view section, std::string_view key) {
  bool in = false;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line.front() == '[') {
      in = line == "[" + std::string(section) + "]";
      continue;
    }
    if (in && line.size() > key.size() && line.substr(0, key.size()) == key &&
        line[key.size()] == '=')
      return std::string(line.substr(key.size() + 1));
  }
  return {};
}

class LinuxBluetoothService : public BluetoothService {
 public:
  LinuxBluetoothService(std::shared_ptr<const FileReader> files, Probe<BluetoothRecord> bluez)
      : files_(std::move(files)), bluez_(std::move(bluez)) {}

  Answer<std::vector<WindowsBluetoothDevice>> WindowsDevices() const override {
    return Answer<std::vector<WindowsBluetoothDevice>>::Fail(Status::NotSupported,
                                                             "Windows Bluetooth device search");
  }

  Answer<BluetoothRecord> Bluetooth() const override {
    Provenance service = Provenance::Failure(Status::NotSupported, "BlueZ");
    if (bluez_) {
      auto answer = bluez_();
      if (answer) return answer;
      service = answer.source;
    }
    // Without the service: the kernel's adapters and whatever of the store this user may read.
    BluetoothRecord r;
    r.service = service;
    auto adapters = files_->ListDir(kAdapters);
    for (const auto& name : adapters.value_or({})) {
      if (name.find(':') != std::string::npos) continue;  // connections, not adapters
      BluetoothAdapterRecord a;
      a.name = name;
      a.address = files_->ReadLine(std::string(kAdapters) + "/" + name + "/address").value_or({});
      r.adapters.push_back(std::move(a));
    }
    auto stored = files_->ListDir(kStore);
    for (const auto& adapter : stored.value_or({})) {
      if (adapter.size() != 17) continue;  // adapter folders are named by address
      const std::string dir = std::string(kStore) + "/" + adapter;
      for (const auto& address : files_->ListDir(dir).value_or({})) {
        if (address.size() != 17) continue;
        auto info = files_->ReadFile(dir + "/" + address + "/info", 65536);
        if (!info) continue;
        BluetoothDeviceRecord d;
        d.adapter = adapter;
        d.address = address;
        d.name = IniValue(*info, "General", "Name");
        if (d.name.empty()) d.name = IniValue(*info, "General", "Alias");
        const std::string cls = IniValue(*info, "General", "Class");
        if (!cls.empty())
          d.deviceClass = static_cast<uint32_t>(std::strtoul(cls.c_str(), nullptr, 0));
        d.trusted = IniValue(*info, "General", "Trusted") == "true";
        d.blocked = IniValue(*info, "General", "Blocked") == "true";
        d.paired = !IniValue(*info, "LinkKey", "Key").empty() ||
                   !IniValue(*info, "LongTermKey", "Key").empty();
        r.devices.push_back(std::move(d));
      }
    }
    if (!adapters && !stored && r.adapters.empty())
      return Answer<BluetoothRecord>::Fail(service.status, service.source, service.detail);
    return Answer<BluetoothRecord>::Of(std::move(r), std::string(kAdapters));
  }

 private:
  std::shared_ptr<const FileReader> files_;
  Probe<BluetoothRecord> bluez_;
};

}  // namespace

std::shared_ptr<const BluetoothService> MakeLinuxBluetoothService(
    std::shared_ptr<const FileReader> files, Probe<BluetoothRecord> bluez) {
  return std::make_shared<LinuxBluetoothService>(std::move(files), std::move(bluez));
}

Probe<BluetoothRecord> BluezProbe(std::chrono::milliseconds limit) {
  return [limit] {
    // The call runs on a thread of its own: a bus that accepts the connection and then says
    // nothing must not hold up the gathering. The abandoned thread owns what it uses.
    auto result =
        std::make_shared<Answer<std::vector<DbusValue>>>(Answer<std::vector<DbusValue>>::Fail(
            Status::TimedOut, "org.bluez ObjectManager", "the system bus did not answer in time"));
    auto guard = std::make_shared<std::mutex>();
    auto done = base::RunWithTimeLimit(
        [result, guard, limit] {
          auto answer = CallSystemBus(
              {"org.bluez", "/", "org.freedesktop.DBus.ObjectManager", "GetManagedObjects", {}},
              limit);
          std::lock_guard lock(*guard);
          *result = std::move(answer);
        },
        limit + std::chrono::milliseconds(100));
    std::lock_guard lock(*guard);
    if (done.outcome != base::RunOutcome::Finished)
      return Answer<BluetoothRecord>::Fail(Status::TimedOut, "org.bluez ObjectManager",
                                           "the system bus did not answer in time");
    if (!*result) {
      auto source = result->source;
      if (source.status == Status::Missing)
        source.detail = "Bluetooth service not running (" + source.detail + ")";
      return Answer<BluetoothRecord>{std::nullopt, source};
    }
    BluetoothRecord r = FromManagedObjects(**result);
    r.service = result->source;
    return Answer<BluetoothRecord>::Of(std::move(r), result->source.source);
  };
}

}  // namespace tavrin::platform
