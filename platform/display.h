// The machine's graphics: the cards the kernel drives with their connectors and the monitors'
// identification blocks, the screens of the running desktop session, and what the graphics
// interfaces (OpenGL, Vulkan, video acceleration) answer. Raw data only; the display and
// monitor collectors decode it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

class Registry;

/// One output of a card, as the kernel's mode-setting driver shows it.
struct DisplayConnector {
  std::string name;                ///< the kernel's name: "card0-HDMI-A-1"
  std::string status;              ///< "connected", "disconnected", "unknown"
  std::string enabled;             ///< "enabled", "disabled"
  std::string dpms;                ///< "On", "Off", ... when the driver says
  std::vector<std::string> modes;  ///< "1920x1080", "1280x720i", most preferred first
  /// The monitor's identification block as the kernel read it (empty when nothing is
  /// attached). Readable by every user, also while the monitor sleeps.
  Answer<std::string> edid;
};

/// A card of the kernel's mode-setting layer (its "cardN" node) and the device behind it.
struct GraphicsCard {
  std::string name;        ///< "card0"
  std::string devicePath;  ///< the device's own folder: "/sys/devices/pci0000:00/0000:00:02.0"
  std::string bus;         ///< "pci", "platform", "usb", ... (subsystem of the device)
  uint32_t vendorId = 0, deviceId = 0, subVendorId = 0, subDeviceId = 0, revision = 0;
  uint32_t classCode = 0;
  bool bootVga = false;       ///< the card the firmware showed its screens on
  std::string driver;         ///< bound kernel driver: "amdgpu", "i915", "virtio-pci"
  std::string driverVersion;  ///< the module's version, when it has one
  std::string kernelRelease;  ///< in-tree modules carry the kernel's version
  /// Dedicated video memory as the driver reports it (amdgpu's mem_info_vram_total).
  Answer<uint64_t> videoMemory;
  /// Size of the largest prefetchable memory window of the device: the memory aperture,
  /// which is video memory on cards that map all of it, a lower bound on others.
  Answer<uint64_t> apertureSize;
  /// The video BIOS version the driver reports (amdgpu's vbios_version).
  Answer<std::string> biosVersion;
  /// The video BIOS image: readable by root only; only its accessibility is kept here.
  Provenance biosImage;
  std::vector<DisplayConnector> connectors;
};

/// One screen (an output of the session, or the whole screen of a session without outputs).
struct SessionScreen {
  std::string name;                   ///< output name ("HDMI-1"), or "screen 0"
  int32_t x = 0, y = 0;               ///< position on the desktop
  int32_t width = 0, height = 0;      ///< pixels
  int32_t depth = 0;                  ///< bits per pixel of the root window
  double refreshHz = 0;               ///< 0 when not known
  int32_t widthMm = 0, heightMm = 0;  ///< 0 when not known
  bool primary = false;
};

/// The screens of the desktop session and which window system answered.
struct SessionScreens {
  std::string server;  ///< "X11 :99 (The X.Org Foundation 12101011)", "Wayland wayland-0"
  std::vector<SessionScreen> screens;
  bool fromOutputs = false;  ///< per output (RandR), not the whole screen
};

/// What the graphics interfaces answer; each part has its own reason when it is missing.
struct GraphicsApis {
  Answer<std::string> openGlVersion;   ///< "4.5 (Core Profile) Mesa 24.2.8"
  Answer<std::string> openGlRenderer;  ///< "llvmpipe (LLVM 19.1.7, 256 bits)"
  Answer<std::string> openGlVendor;
  Answer<std::string> vulkanVersion;  ///< the instance's API version "1.3.290"
  /// Devices the Vulkan loader found: "name (API 1.3.278, driver 24.2.8)".
  Answer<std::vector<std::string>> vulkanDevices;
  /// Video acceleration profiles: "H264High: decode, encode".
  Answer<std::vector<std::string>> videoProfiles;
};

/// What a Windows registry holds of the display adapter's driver (a replayed snapshot).
struct RegistryDisplayDriver {
  std::string dacType, chipType, biosString;
  uint32_t memorySize = 0;
  std::string key;  ///< where they were read
};

class DisplayService {
 public:
  virtual ~DisplayService() = default;

  /// The kernel's mode-setting cards with their connectors.
  virtual Answer<std::vector<GraphicsCard>> Cards() const = 0;
  /// The screens of the desktop session.
  virtual Answer<SessionScreens> Screens() const = 0;
  virtual GraphicsApis Apis() const = 0;
  /// Bits per pixel of the kernel's frame buffer console (fb0), where there is one.
  virtual Answer<int32_t> FramebufferDepth() const = 0;
  /// The lines of the system's PNP id list (hwdata "pnp.ids") naming the given three-letter
  /// manufacturer ids, so a recording keeps only those.
  virtual Answer<std::string> PnpNames(const std::vector<std::string>& ids) const = 0;

  // A Windows registry's answers (a replayed snapshot); not supported elsewhere.
  /// The driver values of the adapter: the service's "Device0" key, else the video key.
  virtual Answer<RegistryDisplayDriver> DriverValues(std::string_view service,
                                                     std::string_view videoKey) const;
  /// The video BIOS version (first line) and date of the system description key.
  virtual Answer<std::pair<std::string, std::string>> VideoBios() const;
  /// The "EDID" value of a monitor's "Device Parameters" key; `instanceKey` is its full path.
  virtual Answer<std::string> MonitorEdid(std::string_view instanceKey) const;
  /// The installed DirectX version ("Version", else "InstalledVersion" as low.high byte).
  virtual Answer<std::string> DirectXVersion() const;
  /// The screen device's raw capability values (capability index -> value) and its display
  /// modes (width, height, bits per pixel) as a Windows snapshot recorded them; a platform
  /// without GDI has neither.
  virtual Answer<std::map<int, int32_t>> DeviceCaps() const;
  virtual Answer<std::vector<std::array<int32_t, 3>>> DisplayModes() const;
};

class DisplaySession;
/// The display service of a Windows registry: the registry answers, and the screens, device
/// capabilities and modes of `session` (a snapshot's display.json; null when it has none).
std::shared_ptr<const DisplayService> MakeRegistryDisplayService(
    std::shared_ptr<const Registry> registry, std::shared_ptr<const DisplaySession> session);

/// Keeps the lines of a PNP id list ("AAA<TAB>Name") that name one of `ids`.
std::string FilterPnpIds(std::string_view text, const std::vector<std::string>& ids);

}  // namespace tavrin::platform
