#include "collectors/devices/vsi_devices.h"

#include <algorithm>
#include <set>

#include "base/strings.h"
#include "collectors/devices/device_text_rules.h"
#include "collectors/devices/id_database.h"
#include "collectors/devices/linux_device_values.h"

namespace tavrin::collectors {
namespace {

bool Blank(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

using base::Lower;

// The id-file names of the vendors the list's devices carry, parsed once per refresh.
struct IdFiles {
  IdDatabaseNames pci, usb;
};

IdFiles LoadIdFiles(const platform::DeviceService& service,
                    const std::vector<platform::DeviceInstanceValues>& all,
                    platform::Provenance& pciSource, platform::Provenance& usbSource) {
  pciSource = usbSource = {};
  std::set<std::pair<uint16_t, uint16_t>> pci, usb;
  for (const auto& v : all) {
    if (!v.model) continue;
    const auto& f = *v.model;
    const std::pair key{static_cast<uint16_t>(f.vendorId), static_cast<uint16_t>(f.deviceId)};
    if (f.subsystem == "pci" || f.subsystem == "virtio") pci.insert(key);
    if (f.subsystem == "usb" || (f.subsystem == "input" && f.inputBus == 0x03)) usb.insert(key);
  }
  IdFiles files;
  if (!pci.empty()) {
    auto text = service.IdEntries(platform::IdDatabase::Pci, {pci.begin(), pci.end()});
    pciSource = text.source;
    if (text) files.pci = IdDatabaseNames::Parse(*text);
  }
  if (!usb.empty()) {
    auto text = service.IdEntries(platform::IdDatabase::Usb, {usb.begin(), usb.end()});
    usbSource = text.source;
    if (text) files.usb = IdDatabaseNames::Parse(*text);
  }
  return files;
}

}  // namespace

std::optional<TDevice> MakeDeviceRecord(const platform::DeviceService& service,
                                        const platform::DeviceInstanceValues& v,
                                        bool windows7ClassTexts) {
  // Only present devices have the "Control" subkey.
  if (!v.present) return std::nullopt;
  TDevice d;
  d.FromDeviceModel = v.model.has_value();
  // Names: the text after an INF resource reference.
  d.FriendlyName = StripInfReference(v.friendlyName);
  d.Description = StripInfReference(v.deviceDesc);
  d.Manufacturer = StripInfReference(v.mfg);
  d.Name = !Blank(d.FriendlyName) ? d.FriendlyName : d.Description;

  // Location, and the bus numbers in it; without one, the enumerator's service names it.
  d.Location = v.locationInformation;
  const PciLocation loc = ParseLocation(d.Location);
  d.PCINumber = loc.bus;
  d.DeviceNumber = loc.device;
  d.FunctionNumber = loc.function;
  if (d.Location.empty()) {
    if (auto s = service.ServiceKey(v.ref.enumerator)) {
      d.ServiceName = s->displayName;
      d.ServiceGroup = s->group;
      d.ServiceType = TextToInt(s->type);
      d.Location = d.ServiceName;
    }
  }

  // Class texts from the class key; a database without class keys (Linux) gets the texts of
  // the system-defined class.
  d.GUID = Upper(v.classGuid);
  if (auto c = d.GUID.empty() ? platform::Answer<platform::DeviceClassValues>{}
                              : service.ClassKey(d.GUID)) {
    d.ClassName = c->className;
    d.ClassIcon = c->icon;
    d.ClassDesc = windows7ClassTexts ? c->className : c->description;
  } else if (const SetupClass* sc = FindSetupClassByGuid(d.GUID)) {
    d.ClassName = std::string(sc->name);
    d.ClassDesc = std::string(sc->description);
  }
  if (d.ClassName.empty()) d.ClassName = v.className;

  // Driver and service.
  d.Driver = v.driver;
  if (v.model) {
    const auto drv = DriverValuesOf(*v.model);
    d.DriverDate = drv.date;
    d.DriverVersion = drv.version;
    d.DriverProvider = drv.provider;
    d.InfPath = drv.infPath;
  } else if (auto drv = service.DriverKey(d.Driver)) {
    d.DriverDate = drv->date;
    d.DriverVersion = drv->version;
    d.DriverProvider = drv->provider;
    d.InfPath = drv->infPath;
  }
  d.Service = v.service;
  // A missing service key leaves the three empty, replacing what the location step read.
  auto service_key = d.Service.empty() ? platform::Answer<platform::DeviceServiceValues>{}
                                       : service.ServiceKey(d.Service);
  d.ServiceName = service_key ? service_key->displayName : std::string();
  d.ServiceGroup = service_key ? service_key->group : std::string();
  d.ServiceType = service_key ? TextToInt(service_key->type) : 0;

  // Identity, PCI ids, resources, interface link, time stamp, parameters.
  d.RegKey = v.keyPath;
  d.InstanceKey = v.ref.instance;
  d.HardwareID = v.hardwareIds.empty() ? std::string() : v.hardwareIds.front();
  const PciIds ids = ParsePciHardwareId(d.HardwareID);
  d.VendorID = ids.vendor;
  d.DeviceID = ids.device;
  d.SubSysID = ids.subsystem;
  d.Revision = ids.revision;
  d.ResourceListKey = v.resourceListKey;
  d.ResourceListValue = v.resourceListValue;
  d.SymbolicLink = v.symbolicLink;
  if (v.controlWriteTime)
    d.TimeStamp = std::chrono::system_clock::time_point(std::chrono::seconds(*v.controlWriteTime));
  d.DeviceParam = v.deviceParam;
  if (v.model) {
    d.Resources = v.model->resources;
    d.Problem = ProblemOf(*v.model);
    if (d.Problem == platform::DeviceProblem::ProbeFailed) {
      d.ProbeDriver = v.model->probeDriver;
      d.ProbeError = v.model->probeError;
    }
  }

  if (Blank(d.ClassName)) return std::nullopt;
  d.DeviceClass = DeviceClassCode(d.ClassName);
  return d;
}

void TVexa_Devices::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  ++refresh_count_;
  devices_.clear();
  const auto& services = Platform();
  if (!services.devices) {
    Source = platform::Provenance::Failure(platform::Status::NotSupported, "device database",
                                           "this source has no device database");
    return;
  }
  const platform::DeviceService& service = *services.devices;
  auto refs = service.Instances();
  Source = refs.source;
  const platform::DeviceWalkSources side = service.WalkSources();
  UdevSource = side.udev;
  KernelLogSource = side.kernelLog;
  if (!refs) return;
  std::vector<platform::DeviceInstanceValues> all;
  all.reserve(refs->size());
  for (const auto& ref : *refs) {
    // An instance that cannot be read (it went away during the walk) contributes nothing.
    if (auto values = service.Instance(ref)) all.push_back(std::move(*values.value));
  }
  const IdFiles ids = LoadIdFiles(service, all, PciIdsSource, UsbIdsSource);
  const IdNames names{&ids.pci, &ids.usb};
  const auto& os = OsVersionSnapshot();
  const bool windows7 =
      os.platform == platform::OsPlatform::WindowsNT && os.major == 6 && os.minor == 1;
  for (auto& values : all) {
    if (values.model) FillFromDeviceModel(values, names);
    if (auto record = MakeDeviceRecord(service, values, windows7))
      devices_.push_back(std::move(*record));
  }
  // By class name without regard to case; equal names keep the database's order.
  std::stable_sort(devices_.begin(), devices_.end(), [](const TDevice& a, const TDevice& b) {
    return Lower(a.ClassName) < Lower(b.ClassName);
  });
}

TDevice TVexa_Devices::Devices(int32_t index) const {
  if (index < 0 || index >= DeviceCount()) return {};
  return devices_[static_cast<std::size_t>(index)];
}

std::string ComputerDescription(const TVexa_Devices& devices) {
  for (const auto& d : devices.List())
    if (d.DeviceClass == 1) return d.Description;
  return {};
}

}  // namespace tavrin::collectors
