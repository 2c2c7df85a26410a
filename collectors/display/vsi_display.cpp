#include "collectors/display/vsi_display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "collectors/devices/vsi_devices.h"
#include "collectors/display/display_caps.h"
#include "collectors/display/edid_decode.h"

namespace tavrin::collectors {
namespace {

using platform::Provenance;
using platform::Status;

constexpr uint8_t kDisplayClass = 3;  // "Display" in the device class table

std::string PciLocation(const std::string& devicePath) {
  const auto slash = devicePath.find_last_of('/');
  return slash == std::string::npos ? devicePath : devicePath.substr(slash + 1);
}

// Makers of graphics chips by PCI vendor id (PCI-SIG member list), for naming a card the device
// list does not know.
struct GpuVendor {
  uint32_t id;
  const char* name;
};
constexpr GpuVendor kGpuVendors[] = {
    {0x1002, "AMD"},    {0x102B, "Matrox"},     {0x10DE, "NVIDIA"}, {0x1234, "QEMU"},
    {0x15AD, "VMware"}, {0x1A03, "ASPEED"},     {0x1AF4, "virtio"}, {0x1B36, "QEMU"},
    {0x8086, "Intel"},  {0x80EE, "VirtualBox"},
};

std::string CardName(const platform::GraphicsCard& card) {
  char ids[32] = "";
  if (card.vendorId) std::snprintf(ids, sizeof ids, "%04X:%04X", card.vendorId, card.deviceId);
  std::string name;
  for (const auto& v : kGpuVendors)
    if (v.id == card.vendorId) name = std::string(v.name) + " ";
  name += ids[0] ? std::string("graphics ") + ids : card.name;
  return card.driver.empty() ? name : name + " (" + card.driver + ")";
}

// The connector's own name without its card: "card0-HDMI-A-1" -> "HDMI-A-1".
std::string ConnectorName(const std::string& name) {
  const auto dash = name.find('-');
  return dash == std::string::npos ? name : name.substr(dash + 1);
}

void TakeCard(const platform::GraphicsCard& card, display::Adapter& a) {
  a.Card = card.name;
  if (a.Location.empty()) a.Location = PciLocation(card.devicePath);
  if (a.Driver.empty()) a.Driver = card.driver;
  a.DriverVersion = !card.driverVersion.empty() ? card.driverVersion : card.kernelRelease;
  if (a.VendorID == 0) a.VendorID = card.vendorId;
  if (a.DeviceID == 0) a.DeviceID = card.deviceId;
  a.Primary = a.Primary || card.bootVga;
  if (card.videoMemory) {
    a.Memory = *card.videoMemory;
    a.MemorySource = card.videoMemory.source;
  } else if (card.apertureSize) {
    a.Memory = *card.apertureSize;
    a.MemoryIsAperture = true;
    a.MemorySource = card.apertureSize.source;
  } else {
    a.MemorySource = card.videoMemory.source;
    a.MemorySource.detail = "the driver reports no video memory and the card maps none";
  }
  a.BIOSVersion = card.biosVersion.value_or("");
  a.BiosSource = card.biosVersion.source;
  a.BiosImage = card.biosImage;
  for (const auto& c : card.connectors) {
    display::Connector k;
    k.Name = ConnectorName(c.name);
    k.Status = c.status;
    k.Enabled = c.enabled;
    k.Dpms = c.dpms;
    k.Modes = c.modes;
    k.HasMonitorBlock = c.edid.ok() && !c.edid->empty();
    a.Connectors.push_back(std::move(k));
  }
}

}  // namespace

void TVexa_Display::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  Adapters.clear();
  Screens.clear();
  Modes.clear();
  Adapter = Chipset = DAC = BIOSString = BIOSVersion = BIOSDate = Technology = ScreenServer = "";
  Memory = 0;
  HorzRes = VertRes = HorzSize = VertSize = ColorDepth = DeviceDriverVersion = 0;
  FontResolution = VerticalRefreshRate = 0;
  PixelWidth = PixelHeight = PixelDiagonal = 0;
  Caps = {};
  HasCaps = ScreensFromConnectors = false;
  Apis = {};
  if (!Platform().display) {
    const auto none = Provenance::Failure(Status::NotSupported, "display service",
                                          "the source has no display information");
    AdapterSource = ScreenSource = DepthSource = CapsSource = ModesSource = none;
    return;
  }
  ReadAdapters();
  ReadScreens();
  ReadCapsAndModes();
  Apis = Platform().display->Apis();
  DirectXVersion = Platform().display->DirectXVersion();
}

void TVexa_Display::ReadAdapters() {
  const platform::DisplayService& service = *Platform().display;
  // The adapters the device list knows (display class), as every collector that needs devices
  // of one class picks them.
  std::vector<TDevice> devices;
  if (Platform().devices) {
    TVexa_Devices list(SharedPlatform());
    list.RefreshData();
    for (const auto& d : list.List())
      if (d.DeviceClass == kDisplayClass) devices.push_back(d);
  }
  auto cards = service.Cards();
  AdapterSource = cards.source;
  for (const auto& d : devices) {
    display::Adapter a;
    a.Name = d.Name;
    a.Driver = d.FromDeviceModel ? d.Driver : d.Service;
    a.DriverVersion = d.DriverVersion;
    a.VendorID = d.VendorID;
    a.DeviceID = d.DeviceID;
    a.Source = Provenance::Answered(d.RegKey);
    if (!d.FromDeviceModel) {
      // A Windows registry: the driver's hardware information values and the video BIOS.
      if (d.Driver.empty() || d.Service.empty()) continue;
      if (auto v = service.DriverValues(d.Service, d.DeviceParam)) {
        a.Chipset = v->chipType;
        a.DAC = v->dacType;
        a.BIOSString = v->biosString;
        a.Memory = v->memorySize;
        a.MemorySource = v.source;
      } else {
        a.MemorySource = v.source;
      }
      if (auto bios = service.VideoBios()) {
        a.BIOSVersion = bios->first;
        a.BIOSDate = bios->second;
        a.BiosSource = bios.source;
      } else {
        a.BiosSource = bios.source;
      }
    } else {
      a.Location = PciLocation(d.RegKey);
      a.MemorySource = a.BiosSource = cards.source;
      if (cards)
        for (const auto& card : *cards)
          if (card.devicePath == d.RegKey) TakeCard(card, a);
    }
    Adapters.push_back(std::move(a));
  }
  // Cards the device list did not name (no device list, or a platform device).
  if (cards) {
    for (const auto& card : *cards) {
      const bool known =
          std::any_of(Adapters.begin(), Adapters.end(),
                      [&](const display::Adapter& a) { return a.Card == card.name; });
      if (known) continue;
      display::Adapter a;
      a.Name = CardName(card);
      a.Source = Provenance::Answered(card.devicePath);
      TakeCard(card, a);
      Adapters.push_back(std::move(a));
    }
  }
  std::stable_partition(Adapters.begin(), Adapters.end(),
                        [](const display::Adapter& a) { return a.Primary; });
  if (Adapters.empty()) {
    if (cards)
      AdapterSource =
          Provenance::Failure(Status::Missing, cards.source.source, "no display adapter was found");
    return;
  }
  const display::Adapter& first = Adapters.front();
  Adapter = first.Name;
  Chipset = first.Chipset;
  DAC = first.DAC;
  Memory = first.Memory;
  BIOSString = first.BIOSString;
  BIOSVersion = first.BIOSVersion;
  BIOSDate = first.BIOSDate;
  AdapterSource = first.Source;
}

void TVexa_Display::ReadScreens() {
  const platform::DisplayService& service = *Platform().display;
  auto screens = service.Screens();
  ScreenSource = screens.source;
  if (screens) {
    ScreenServer = screens->server;
    for (const auto& s : screens->screens)
      Screens.push_back({s.name, s.x, s.y, s.width, s.height, s.depth, s.refreshHz, s.widthMm,
                         s.heightMm, s.primary});
  } else {
    // No session reachable: the connectors' preferred modes are what the monitors show.
    for (const auto& a : Adapters)
      for (const auto& c : a.Connectors) {
        int32_t w = 0, h = 0;
        if (c.Status != "connected" || c.Modes.empty() ||
            !display::ParseModeName(c.Modes.front(), w, h))
          continue;
        display::Screen s;
        s.Name = c.Name;
        s.Width = w;
        s.Height = h;
        Screens.push_back(s);
      }
    ScreensFromConnectors = !Screens.empty();
  }
  std::stable_partition(Screens.begin(), Screens.end(),
                        [](const display::Screen& s) { return s.Primary; });
  DepthSource = ScreenSource;
  if (!Screens.empty()) {
    const display::Screen& s = Screens.front();
    HorzRes = s.Width;
    VertRes = s.Height;
    HorzSize = s.WidthMm;
    VertSize = s.HeightMm;
    VerticalRefreshRate = static_cast<uint32_t>(std::lround(s.RefreshHz));
    if (s.HeightMm > 0)
      FontResolution = static_cast<uint32_t>(std::lround(s.Height * 25.4 / s.HeightMm));
    ColorDepth = s.Depth;
    Technology = std::string(display::TechnologyName(1));  // a screen is a raster display
  }
  // Without a session's depth, the console frame buffer's is what the screen shows.
  if (ColorDepth == 0) {
    auto fb = service.FramebufferDepth();
    DepthSource = fb.source;
    if (fb) ColorDepth = *fb;
  }
}

void TVexa_Display::ReadCapsAndModes() {
  const platform::DisplayService& service = *Platform().display;
  auto caps = service.DeviceCaps();
  CapsSource = caps.source;
  if (caps) {
    HasCaps = true;
    auto value = [&](int index) {
      auto it = caps->find(index);
      return it == caps->end() ? 0 : it->second;
    };
    Caps = display::DecodeCapabilities(*caps);
    DeviceDriverVersion = value(0);
    Technology = std::string(display::TechnologyName(value(2)));
    HorzSize = value(4);
    VertSize = value(6);
    HorzRes = value(8);
    VertRes = value(10);
    ColorDepth = value(12);
    PixelWidth = value(40);
    PixelHeight = value(42);
    PixelDiagonal = value(44);
    FontResolution = static_cast<uint32_t>(value(90));
    VerticalRefreshRate = static_cast<uint32_t>(value(116));
  }
  auto modes = service.DisplayModes();
  ModesSource = modes.source;
  if (modes) {
    for (const auto& m : *modes) display::AddMode(Modes, display::ModeText(m[0], m[1], m[2]));
    return;
  }
  // Linux: the modes of every connected connector, then those of its monitor's block, at the
  // depth the screen runs at.
  auto cards = service.Cards();
  if (!cards) {
    ModesSource = cards.source;
    return;
  }
  ModesSource = cards.source;
  for (const auto& card : *cards)
    for (const auto& c : card.connectors) {
      if (c.status != "connected") continue;
      for (const auto& name : c.modes) {
        int32_t w = 0, h = 0;
        if (display::ParseModeName(name, w, h))
          display::AddMode(Modes, display::ModeText(w, h, ColorDepth));
      }
      if (!c.edid || c.edid->empty()) continue;
      const edid::Edid e = edid::DecodeEdid(*c.edid);
      auto add = [&](const edid::Timing& t) {
        if (t.width && t.height)
          display::AddMode(Modes, display::ModeText(t.width, t.height, ColorDepth));
      };
      for (const auto& t : e.detailed) add(t);
      for (const auto& t : e.standard) add(t);
      for (const auto& t : e.established) add(t);
      for (const auto& x : e.extensions) {
        if (x.cta)
          for (const auto& t : x.cta->videoCodes) add(t);
        if (x.displayId)
          for (const auto& t : x.displayId->detailed) add(t);
      }
    }
  // Largest first, as display settings list them; the kernel's and the blocks' orders differ.
  std::stable_sort(Modes.begin(), Modes.end(), [](const std::string& a, const std::string& b) {
    int32_t aw = 0, ah = 0, bw = 0, bh = 0;
    std::sscanf(a.c_str(), "%d x %d", &aw, &ah);
    std::sscanf(b.c_str(), "%d x %d", &bw, &bh);
    return aw != bw ? aw > bw : ah > bh;
  });
  if (Modes.empty())
    ModesSource = Provenance::Failure(Status::Missing, cards.source.source,
                                      "no connector has a monitor connected");
}

}  // namespace tavrin::collectors
