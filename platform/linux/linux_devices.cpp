#include "platform/linux/linux_devices.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <set>

#include "platform/linux/linux_device_text.h"
#include "platform/service_hooks.h"

namespace tavrin::platform {

using namespace device_text;

namespace {

constexpr std::string_view kSysBus = "/sys/bus/";
constexpr std::string_view kDeferred = "/sys/kernel/debug/devices_deferred";
constexpr std::string_view kCpuInfo = "/proc/cpuinfo";
constexpr std::string_view kOsRelease = "/proc/sys/kernel/osrelease";
constexpr std::string_view kArch = "/proc/sys/kernel/arch";
constexpr std::string_view kAcpiTables = "/sys/firmware/acpi";
// Where distributions keep the id files: Debian's pci.ids package and hwdata elsewhere.
constexpr std::string_view kPciIds[] = {"/usr/share/misc/pci.ids", "/usr/share/hwdata/pci.ids",
                                        "/usr/share/pci.ids"};
constexpr std::string_view kUsbIds[] = {"/usr/share/misc/usb.ids", "/usr/share/hwdata/usb.ids",
                                        "/var/lib/usbutils/usb.ids", "/usr/share/usb.ids"};

// The buses whose devices are hardware a user would recognise, in the order they are listed.
constexpr std::string_view kBuses[] = {"pci", "usb", "pnp", "acpi", "platform", "virtio", "cpu"};
// Classes whose devices name the bus device they belong to (a disk node, a serial line).
constexpr std::string_view kNodeClasses[] = {"block", "tty", "net", "sound", "input"};

}  // namespace

std::vector<DeviceResource> ParsePciResourceFile(std::string_view text) {
  // Flags of the kernel's resource records: IORESOURCE_IO and IORESOURCE_MEM.
  constexpr uint64_t kIo = 0x100, kMem = 0x200;
  std::vector<DeviceResource> out;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    uint64_t field[3] = {0, 0, 0};
    for (auto& f : field) {
      while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
      const auto blank = line.find(' ');
      f = ParseHex(line.substr(0, blank));
      line = blank == std::string_view::npos ? std::string_view() : line.substr(blank);
    }
    if (field[0] == 0 && field[1] == 0) continue;
    if (field[2] & kIo)
      out.push_back({DeviceResource::Kind::Io, field[0], field[1]});
    else if (field[2] & kMem)
      out.push_back({DeviceResource::Kind::Memory, field[0], field[1]});
  }
  return out;
}

std::vector<DeviceResource> ParsePnpResources(std::string_view text) {
  std::vector<DeviceResource> out;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const auto blank = line.find(' ');
    if (blank == std::string_view::npos) continue;
    const std::string_view kind = line.substr(0, blank);
    std::string_view range = line.substr(blank + 1);
    if (range.find("disabled") != std::string_view::npos) continue;
    range = range.substr(0, range.find(' '));
    const auto dash = range.find('-');
    DeviceResource r;
    if (kind == "io" || kind == "mem") {
      if (dash == std::string_view::npos) continue;
      r.kind = kind == "io" ? DeviceResource::Kind::Io : DeviceResource::Kind::Memory;
      r.start = ParseHex(range.substr(0, dash));
      r.end = ParseHex(range.substr(dash + 1));
    } else if (kind == "irq" || kind == "dma") {
      r.kind = kind == "irq" ? DeviceResource::Kind::Irq : DeviceResource::Kind::Dma;
      const int n = ParseInt(range);
      if (n < 0) continue;
      r.start = r.end = static_cast<uint64_t>(n);
    } else {
      continue;
    }
    out.push_back(r);
  }
  return out;
}

LinuxDeviceService::LinuxDeviceService(std::shared_ptr<const FileReader> files)
    : files_(std::move(files)) {}

std::string LinuxDeviceService::Line(const std::string& path) const {
  auto line = files_->ReadLine(path);
  return line ? *line : std::string();
}

uint32_t LinuxDeviceService::Hex(const std::string& path) const {
  return static_cast<uint32_t>(ParseHex(Line(path)));
}

Answer<std::vector<DeviceInstanceRef>> LinuxDeviceService::Instances() const {
  Walk walk;
  walk.kernelRelease = Line(std::string(kOsRelease));
  OpenSideSources(walk);
  // Root only (debugfs); without it deferred probes go unnoticed.
  if (auto text = files_->ReadFile(kDeferred, 1 << 20)) {
    std::string_view rest = *text;
    while (!rest.empty()) {
      const auto end = rest.find('\n');
      const auto line = rest.substr(0, end);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
      const auto name = line.substr(0, line.find_first_of("\t "));
      if (!name.empty()) walk.deferred.insert(std::string(name));
    }
  }
  if (auto info = files_->ReadFile(kCpuInfo, 4 << 20)) {
    std::string_view rest = *info;
    std::string current;
    while (!rest.empty()) {
      const auto end = rest.find('\n');
      const auto line = rest.substr(0, end);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
      const auto colon = line.find(':');
      if (colon == std::string_view::npos) continue;
      auto key = line.substr(0, colon);
      while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
      auto value = line.substr(colon + 1);
      while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
      if (key == "processor") current = "cpu" + std::string(value);
      if (key == "model name" && !current.empty()) walk.cpuModels[current] = std::string(value);
      if (key == "vendor_id" && walk.cpuVendor.empty()) walk.cpuVendor = std::string(value);
    }
  }
  // Device nodes and interface names, attached to the bus device they belong to.
  for (auto cls : kNodeClasses) {
    const std::string dir = "/sys/class/" + std::string(cls);
    auto names = files_->ListDir(dir);
    if (!names) continue;
    for (const auto& name : *names) {
      auto link = files_->ReadLink(dir + "/" + name);
      if (!link || link->find("/devices/virtual/") != std::string::npos) continue;
      const std::string real =
          (std::filesystem::path(dir) / *link).lexically_normal().generic_string();
      std::string node = cls == "net" ? name : cls == "sound" ? "/dev/snd/" + name : "/dev/" + name;
      if (cls == "input") {
        if (name.rfind("event", 0) != 0) continue;  // the evdev node of an input device
        walk.nodes[Parent(real)].push_back("/dev/input/" + name);
        continue;
      }
      // The device folder above the class folder ("<device>/tty/ttyS0"); AttachNodes finds
      // the listed device it belongs to.
      walk.nodes[Parent(Parent(real))].push_back(node);
    }
  }
  AddComputer(walk);
  for (auto bus : kBuses) AddBus(walk, std::string(bus));
  AddClassDevices(walk);
  // Each node goes to the nearest listed device above it (a serial line sits below a port
  // device of the serial core, not directly below the PnP device).
  std::map<std::string, std::size_t> by_path;
  for (std::size_t i = 0; i < walk.found.size(); ++i) by_path.emplace(walk.found[i].keyPath, i);
  for (const auto& [owner, nodes] : walk.nodes) {
    for (std::string p = owner; !p.empty(); p = Parent(p)) {
      auto it = by_path.find(p);
      if (it == by_path.end()) continue;
      auto& v = walk.found[it->second];
      for (const auto& node : nodes)
        if (std::find(v.model->devNodes.begin(), v.model->devNodes.end(), node) ==
            v.model->devNodes.end())
          v.model->devNodes.push_back(node);
      if (v.symbolicLink.empty() && !v.model->devNodes.empty())
        v.symbolicLink = v.model->devNodes.front();
      break;
    }
  }

  std::vector<DeviceInstanceRef> refs;
  refs.reserve(walk.found.size());
  for (const auto& v : walk.found) refs.push_back(v.ref);
  std::lock_guard lock(mutex_);
  instances_ = std::move(walk.found);
  sources_ = std::move(walk.sources);
  return Answer<std::vector<DeviceInstanceRef>>::Of(std::move(refs), "/sys/devices");
}

Answer<DeviceInstanceValues> LinuxDeviceService::Instance(const DeviceInstanceRef& ref) const {
  std::lock_guard lock(mutex_);
  for (const auto& v : instances_)
    if (v.ref == ref) return Answer<DeviceInstanceValues>::Of(v, v.keyPath);
  return Answer<DeviceInstanceValues>::Fail(
      Status::Missing, ref.enumerator + "\\" + ref.device + "\\" + ref.instance);
}

Answer<DeviceClassValues> LinuxDeviceService::ClassKey(std::string_view guid) const {
  return Answer<DeviceClassValues>::Fail(Status::NotSupported, std::string(guid),
                                         "Linux keeps no setup class keys");
}

Answer<DeviceDriverValues> LinuxDeviceService::DriverKey(std::string_view driver) const {
  return Answer<DeviceDriverValues>::Fail(Status::NotSupported, std::string(driver),
                                          "the driver facts come with the device");
}

Answer<DeviceServiceValues> LinuxDeviceService::ServiceKey(std::string_view name) const {
  const std::string dir = "/sys/module/" + std::string(name);
  if (name.empty() || name.find('/') != std::string_view::npos || !files_->ListDir(dir))
    return Answer<DeviceServiceValues>::Fail(Status::Missing, dir);
  return Answer<DeviceServiceValues>::Of({"", "", "1"}, dir);
}

Answer<std::string> LinuxDeviceService::IdEntries(IdDatabase database, const IdKeys& ids) const {
  Provenance last = Provenance::Failure(Status::Missing, "id files");
  std::vector<std::string_view> paths(std::begin(kPciIds), std::end(kPciIds));
  if (database == IdDatabase::Usb) paths.assign(std::begin(kUsbIds), std::end(kUsbIds));
  for (auto path : paths) {
    auto text = files_->ReadFile(path, 16u << 20);
    if (text) return Answer<std::string>::Of(FilterIdFile(*text, ids), std::string(path));
    if (last.status == Status::Missing) last = text.source;
  }
  return Answer<std::string>::Fail(last.status, last.source, last.detail);
}

void LinuxDeviceService::AddComputer(Walk& walk) const {
  DeviceInstanceValues v;
  v.ref = {"ROOT", "COMPUTER", "0000"};
  v.keyPath = "/sys/devices/system";
  v.present = true;
  v.hardwareIds = {"ROOT\\COMPUTER"};
  DeviceModelFacts f;
  f.subsystem = "computer";
  f.kernelName = "computer";
  f.modelText = Line(std::string(kArch));
  if (files_->ListDir(kAcpiTables)) f.vendorText = "ACPI";
  v.model = std::move(f);
  walk.found.push_back(std::move(v));
}

bool LinuxDeviceService::ReadCommon(Walk& walk, const std::string& path,
                                    DeviceInstanceValues& v) const {
  // The uevent file is what every device has; without it the folder vanished or is no device.
  auto uevent = files_->ReadFile(path + "/uevent", 65536);
  if (!uevent) return false;
  DeviceModelFacts& f = *v.model;
  f.kernelName = BaseName(path);
  f.devType = UeventValue(*uevent, "DEVTYPE");
  f.modalias = UeventValue(*uevent, "MODALIAS");
  if (auto link = files_->ReadLink(path + "/driver")) f.driver = BaseName(*link);
  if (!f.driver.empty()) {
    if (auto module = files_->ReadLink(path + "/driver/module")) f.module = BaseName(*module);
  }
  if (!f.module.empty()) {
    f.moduleVersion = Line("/sys/module/" + f.module + "/version");
    f.moduleTaint = Line("/sys/module/" + f.module + "/taint");
  }
  f.kernelRelease = walk.kernelRelease;
  const std::string parent = Parent(path);
  if (auto sub = files_->ReadLink(parent + "/subsystem")) f.parentSubsystem = BaseName(*sub);
  if (walk.deferred.count(f.kernelName)) f.problem = DeviceProblem::ProbeDeferred;
  if (const auto devname = UeventValue(*uevent, "DEVNAME"); !devname.empty())
    f.devNodes.insert(f.devNodes.begin(), "/dev/" + devname);
  ReadUdevNames(walk, path, *uevent, f);
  // A device the kernel left without a driver after a probe failed: the log says which driver
  // tried. A probe still pending is the newer news.
  if (f.driver.empty() && f.problem == DeviceProblem::None) {
    if (auto failed = walk.probeFailures.find(f.kernelName); failed != walk.probeFailures.end()) {
      f.problem = DeviceProblem::ProbeFailed;
      f.probeDriver = failed->second.driver;
      f.probeError = failed->second.error;
    }
  }
  v.keyPath = path;
  v.present = true;
  v.driver = f.driver;
  v.service = f.module;
  if (!f.devNodes.empty()) v.symbolicLink = f.devNodes.front();
  return true;
}

void LinuxDeviceService::AddBus(Walk& walk, const std::string& bus) const {
  const std::string dir = std::string(kSysBus) + bus + "/devices";
  auto names = files_->ListDir(dir);
  if (!names) return;
  for (const auto& name : *names) {
    auto link = files_->ReadLink(dir + "/" + name);
    if (!link) continue;  // vanished since the listing
    const std::string path =
        (std::filesystem::path(dir) / *link).lexically_normal().generic_string();
    DeviceInstanceValues v;
    v.model.emplace();
    v.model->subsystem = bus;
    if (!ReadCommon(walk, path, v)) continue;
    DeviceModelFacts& f = *v.model;
    const bool bound = !f.driver.empty();
    if (bus == "pci") {
      ReadPci(path, v);
    } else if (bus == "usb") {
      // Interfaces of a single-interface device are shown as the device itself.
      if (f.devType == "usb_interface") {
        const std::string device = Parent(path);
        if (ParseInt(Line(device + "/bNumInterfaces")) <= 1) continue;
      }
      ReadUsb(path, v);
    } else if (bus == "pnp") {
      ReadPnp(path, v);
    } else if (bus == "acpi") {
      // ACPI nodes describe devices that other buses list; only those a driver binds to
      // (buttons, batteries, AC adapters) are devices of their own.
      if (!bound) continue;
      f.pnpIds = {Line(path + "/hid")};
      v.ref = {"ACPI", f.pnpIds.front(), name};
    } else if (bus == "platform") {
      // "acpi:ACPI0013:" names the firmware node the device was made from.
      if (f.modalias.rfind("acpi:", 0) == 0) {
        std::string_view ids = std::string_view(f.modalias).substr(5);
        while (!ids.empty()) {
          const auto colon = ids.find(':');
          if (colon != 0) f.pnpIds.emplace_back(ids.substr(0, colon));
          if (colon == std::string_view::npos) break;
          ids.remove_prefix(colon + 1);
        }
      }
      v.ref = f.pnpIds.empty() ? DeviceInstanceRef{"PLATFORM", name, "0"}
                               : DeviceInstanceRef{"ACPI", f.pnpIds.front(), name};
    } else if (bus == "virtio") {
      ReadVirtio(v);
    } else if (bus == "cpu") {
      f.modelText = walk.cpuModels.count(name) ? walk.cpuModels[name] : std::string();
      f.vendorText = walk.cpuVendor;
      v.ref = {"CPU", walk.cpuVendor.empty() ? "PROCESSOR" : walk.cpuVendor, name};
    }
    // A device unplugged while it was read leaves half its facts behind: not listed.
    if (!files_->ReadLink(path + "/subsystem")) continue;
    // A processor needs no driver of its own; every other bus device without one is idle.
    if (!bound && bus != "cpu" && f.problem == DeviceProblem::None)
      f.problem = DeviceProblem::NoDriver;
    if (v.hardwareIds.empty()) v.hardwareIds.push_back(v.ref.enumerator + "\\" + v.ref.device);
    if (v.locationInformation.empty() && bus != "cpu") v.locationInformation = name;
    walk.found.push_back(std::move(v));
  }
}

void LinuxDeviceService::AddClassDevices(Walk& walk) const {
  for (std::string cls : {"input", "block"}) {
    const std::string dir = "/sys/class/" + cls;
    auto names = files_->ListDir(dir);
    if (!names) continue;
    for (const auto& name : *names) {
      if (cls == "input" && name.rfind("input", 0) != 0) continue;  // handlers come with it
      auto link = files_->ReadLink(dir + "/" + name);
      if (!link || link->find("/devices/virtual/") != std::string::npos) continue;
      const std::string path =
          (std::filesystem::path(dir) / *link).lexically_normal().generic_string();
      DeviceInstanceValues v;
      v.model.emplace();
      v.model->subsystem = cls;
      if (!ReadCommon(walk, path, v)) continue;
      if (cls == "input") {
        ReadInput(path, v);
        // Input devices are run by the driver of the device they come from (atkbd, usbhid).
        const std::string parent = Parent(Parent(path));
        if (auto drv = files_->ReadLink(parent + "/driver")) {
          v.model->driver = BaseName(*drv);
          if (auto module = files_->ReadLink(parent + "/driver/module"))
            v.model->module = BaseName(*module);
          v.driver = v.model->driver;
          v.service = v.model->module;
        }
        v.locationInformation = name;
      } else if (!ReadBlock(walk, path, v)) {
        continue;
      }
      if (!files_->ReadLink(path + "/subsystem")) continue;  // unplugged while it was read
      walk.found.push_back(std::move(v));
    }
  }
}

std::shared_ptr<const DeviceService> MakeLinuxDeviceService(
    std::shared_ptr<const FileReader> files) {
  return std::make_shared<LinuxDeviceService>(std::move(files));
}

}  // namespace tavrin::platform
