// Collector of the display adapters, the session's screens and the screen device's
// capabilities and modes.
#pragma once

#include <optional>
#include <vector>

#include "collectors/collector.h"
#include "collectors/display/display_types.h"
#include "platform/display.h"

namespace tavrin::collectors {

class TVexa_Display : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Display(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Display", "Display", std::move(services)) {}

  void RefreshData() override;

  // The primary adapter and screen, as the display page's first rows show them.
  std::string Adapter, Chipset, DAC;
  uint64_t Memory = 0;  ///< bytes
  std::string BIOSString, BIOSVersion, BIOSDate;
  int32_t HorzRes = 0, VertRes = 0;    ///< pixels
  int32_t HorzSize = 0, VertSize = 0;  ///< millimetres
  int32_t ColorDepth = 0;              ///< bits per pixel
  int32_t DeviceDriverVersion = 0;     ///< the screen driver's version number (GDI only)
  uint32_t FontResolution = 0;         ///< dots per inch, vertically
  uint32_t VerticalRefreshRate = 0;    ///< hertz
  int32_t PixelWidth = 0, PixelHeight = 0, PixelDiagonal = 0;
  std::string Technology;
  display::CapSets Caps;
  /// "%d x %d - %d bit", each once, in the order the sources list them.
  std::vector<std::string> Modes;

  /// Every adapter, the primary one first.
  std::vector<display::Adapter> Adapters;
  /// Every screen of the session, the primary one first.
  std::vector<display::Screen> Screens;
  std::string ScreenServer;  ///< which window system answered
  platform::GraphicsApis Apis;
  /// The DirectX version of a Windows snapshot.
  platform::Answer<std::string> DirectXVersion;

  // Where each part came from, or why it is empty.
  platform::Provenance AdapterSource, ScreenSource, DepthSource, CapsSource, ModesSource;
  /// True when the screens are the connectors' preferred modes (no session reachable).
  bool ScreensFromConnectors = false;
  /// True when the capability sets were answered (a Windows snapshot); Linux has no GDI.
  bool HasCaps = false;

 private:
  void ReadAdapters();
  void ReadScreens();
  void ReadCapsAndModes();
};

}  // namespace tavrin::collectors
