// The display collector's data model, in raw units: adapters with their connectors, the
// session's screens, and the screen device's capability sets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::collectors::display {

// Capability sets: bit i is element i, in the order the capability texts list them.
using CapSet = uint32_t;
enum TCurveCap {
  ccCircles,
  ccPieWedges,
  ccChords,
  ccEllipses,
  ccWideBorders,
  ccStyledBorders,
  ccWideStyledBorders,
  ccInteriors,
  ccRoundedRects
};
enum TLineCap {
  lcPolylines,
  lcMarkers,
  lcMultipleMarkers,
  lcWideLines,
  lcStyledLines,
  lcWideStyledLines,
  lcInteriors
};
enum TPolygonCap {
  pcAltFillPolygons,
  pcRectangles,
  pcWindingFillPolygons,
  pcSingleScanlines,
  pcWideBorders,
  pcStyledBorders,
  pcWideStyledBorders,
  pcInteriors
};
enum TRasterCap {
  rcRequiresBanding,
  rcTransferBitmaps,
  rcBitmaps64K,
  rcSetGetDIBits,
  rcSetDIBitsToDevice,
  rcFloodfills,
  rcWindows2xFeatures,
  rcPaletteBased,
  rcScaling,
  rcStretchBlt,
  rcStretchDIBits
};
enum TTextCap {
  tcCharOutPrec,
  tcStrokeOutPrec,
  tcStrokeClipPrec,
  tcCharRotation90,
  tcCharRotationAny,
  tcScaleIndependent,
  tcDoubledCharScaling,
  tcIntMultiScaling,
  tcAnyMultiExactScaling,
  tcDoubleWeightChars,
  tcItalics,
  tcUnderlines,
  tcStrikeouts,
  tcRasterFonts,
  tcVectorFonts,
  tcNoScrollUsingBlts
};
enum TShadeBlendCap { sbcConstAlpha, sbcGradRect, sbcGradTri, sbcPixelAlpha, sbcPremultAlpha };
enum TColorMgmtCap { cmcCMYKColor, cmcDeviceICM, cmcGammaRamp };

enum class CapKind { kCurve, kLine, kPolygon, kRaster, kText };

/// The capability sets of a screen device; all empty until a source answered.
struct CapSets {
  CapSet curve = 0, line = 0, polygon = 0, raster = 0, text = 0, shadeBlend = 0, colorMgmt = 0;
};

/// One output of an adapter.
struct Connector {
  std::string Name;     ///< "HDMI-A-1"
  std::string Status;   ///< "connected", "disconnected"
  std::string Enabled;  ///< "enabled", "disabled"
  std::string Dpms;
  std::vector<std::string> Modes;  ///< "1920x1080" as the kernel lists them
  bool HasMonitorBlock = false;
};

struct Adapter {
  std::string Name;
  std::string Chipset, DAC, BIOSString, BIOSVersion, BIOSDate;
  /// Video memory in bytes; the 32-bit field of old drivers cannot hold today's cards.
  uint64_t Memory = 0;
  bool MemoryIsAperture = false;  ///< the size of the memory window, not a driver's count
  platform::Provenance MemorySource;
  std::string Driver, DriverVersion;  ///< kernel driver and its module's version
  std::string Card;                   ///< "card0"
  std::string Location;               ///< "0000:00:02.0"
  uint32_t VendorID = 0, DeviceID = 0;
  bool Primary = false;             ///< the card the firmware booted on
  platform::Provenance BiosSource;  ///< where the BIOS version came from, or why not
  platform::Provenance BiosImage;   ///< whether the BIOS image is readable (root only)
  platform::Provenance Source;      ///< where the adapter was found
  std::vector<Connector> Connectors;
};

/// One screen of the session.
struct Screen {
  std::string Name;
  int32_t X = 0, Y = 0, Width = 0, Height = 0, Depth = 0;
  double RefreshHz = 0;
  int32_t WidthMm = 0, HeightMm = 0;
  bool Primary = false;
};

}  // namespace tavrin::collectors::display
