// Section layout of every information page: which list a page fills and the captioned
// sections that list holds, fixed at design time. Fillers address sections by index, and the
// report and clipboard text read the captions back, so both rely on this one table.
#pragma once

#include <string_view>
#include <vector>

#include "pages/page_model.h"

namespace tavrin::pages {

// The sections of each page, in the order of its layout below. Fillers name sections by these;
// a test checks that every enum's kCount equals its layout's section count.
namespace general_section {
enum : int { kGeneral, kHardware, kSoftware, kCount };
}
namespace os_section {
enum : int { kWindows, kUser, kEnvironment, kFolders, kCount };
}
namespace sysdev_section {
enum : int {
  kCpu,
  kCache,
  kBios,
  kBoard,
  kMemory,
  kMachine,
  kChassis,
  kProcessorSockets,
  kMemoryArray,
  kSlotsPorts,
  kOnBoardDevices,
  kCount
};
}
namespace cpuadv_section {
enum : int { kAdvanced, kFeatures, kCacheDetails, kExtensions, kCount };
}
namespace display_section {
enum : int { kAdapter, kMonitor, kCount };
}
namespace displayadv_section {
enum : int { kResolutions, kText, kPolygon, kRaster, kLine, kCurve, kCount };
}
namespace memory_section {
enum : int { kProcesses, kServices, kStatus, kCount };
}
namespace perf_section {
enum : int { kApplications, kServices, kDrivers, kCount };
}
namespace drives_section {
enum : int { kVolume, kFileSystem, kLogical, kPhysical, kCount };
}
namespace storage_section {
enum : int { kGeneral, kGeometry, kProperties, kSmart, kPartitions, kCount };
}
namespace programs_section {
enum : int { kEngines, kDirectX, kOffice, kInstalled, kDrivers, kStartup, kCount };
}
namespace io_section {
enum : int { kPorts, kUsb, kPrinters, kAudio, kBluetooth, kPower, kCount };
}
namespace network_section {
enum : int { kGeneral, kWinsock, kAdapters, kDetails, kListening, kCount };
}
namespace devices_section {
enum : int { kGeneral, kDriver, kService, kAdvanced, kCount };
}

/// Image index of a section that shows no section image.
inline constexpr int kNoSectionImage = -1;

struct SectionLayout {
  std::string_view caption;
  int imageIndex;
};

struct PageLayout {
  std::string_view categoryKey;
  std::string_view listName;
  std::vector<SectionLayout> sections;
};

/// Layouts of the fourteen category pages in category registration order:
/// generalinfo, wininfo, sysdevinfo, cpuadvinfo, displayinfo, displayadvinfo, memoryinfo,
/// performinfo, harddriveinfo, harddriveadvinfo, programsinfo, ioinfo, networkinfo, devicesinfo.
const std::vector<PageLayout>& PageLayouts();

/// The layout of the page with that category key, or nullptr when there is none.
const PageLayout* FindPageLayout(std::string_view categoryKey);

/// A page of the layout with its captioned sections and no rows yet.
Page EmptyPage(const PageLayout& layout);

}  // namespace tavrin::pages
