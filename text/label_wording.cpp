#include "text/label_wording.h"

#include <array>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/services.h"
#include "text/labels.h"

namespace tavrin::text {
namespace {

struct Override {
  std::string* label;
  const std::string* linuxText;  // a label too, so the Linux wording is translated as well
};

// Labels whose Windows wording would misname what a Linux system shows.
const std::array<Override, 32>& Overrides() {
  static const std::array<Override, 32> table = {{
      {&lbl::S_GEN_WINNAME, &lbl::S_LNX_GEN_WINNAME},
      {&lbl::S_WIN, &lbl::S_LNX_WIN},
      {&lbl::S_WIN_DESC, &lbl::S_LNX_WIN_DESC},
      {&lbl::S_WIN_WINVERSION, &lbl::S_LNX_WIN_WINVERSION},
      {&lbl::S_WIN_LATESTSP, &lbl::S_LNX_WIN_LATESTSP},
      {&lbl::S_WINREGISTEREDTO, &lbl::S_LNX_WINREGISTEREDTO},
      {&lbl::S_MEM_PAGEFILE_TOTAL, &lbl::S_LNX_MEM_PAGEFILE_TOTAL},
      {&lbl::S_MEM_PAGEFILE_FREE, &lbl::S_LNX_MEM_PAGEFILE_FREE},
      {&lbl::S_MEM_SWAP_FILE, &lbl::S_LNX_MEM_SWAP_FILE},
      {&lbl::S_MEM_TOTAL_WINDOWS, &lbl::S_LNX_MEM_TOTAL_WINDOWS},
      {&lbl::S_PERF_PAGEFILE_GROUP, &lbl::S_LNX_PERF_PAGEFILE_GROUP},
      {&lbl::S_PERF_WINDOWS, &lbl::S_LNX_PERF_WINDOWS},
      {&lbl::S_PERF_RUNNING_DRIVES, &lbl::S_LNX_PERF_RUNNING_DRIVES},
      // Drives are mounted file systems named by mount point; their unit is the block.
      {&lbl::S_DISK_LETTER, &lbl::S_LNX_DISK_LETTER},
      {&lbl::S_DISK_SERIAL, &lbl::S_LNX_DISK_SERIAL},
      {&lbl::S_DISK_CLUSTERS, &lbl::S_LNX_DISK_CLUSTERS},
      {&lbl::S_DISK_FREECLUSTERS, &lbl::S_LNX_DISK_FREECLUSTERS},
      {&lbl::S_DISK_USEDCLUSTERS, &lbl::S_LNX_DISK_USEDCLUSTERS},
      {&lbl::S_DISK_BPC, &lbl::S_LNX_DISK_BPC},
      {&lbl::S_DISK_SPC, &lbl::S_LNX_DISK_SPC},
      {&lbl::S_DISK_PIE_BPC, &lbl::S_LNX_DISK_PIE_BPC},
      {&lbl::S_DISK_P, &lbl::S_LNX_DISK_P},
      {&lbl::S_IDE_SG_DEVICES, &lbl::S_LNX_IDE_SG_DEVICES},
      // Software comes in packages; the page intros name no Windows.
      {&lbl::S_GEB_DESC, &lbl::S_LNX_GEB_DESC},
      {&lbl::S_PRG_DESK, &lbl::S_LNX_PRG_DESK},
      {&lbl::S_GEN_INSTALLED_PROGRAMS, &lbl::S_LNX_GEN_INSTALLED_PROGRAMS},
      {&lbl::S_COUNT_PROGRAM, &lbl::S_LNX_COUNT_PROGRAM},
      {&lbl::S_GEN_DOTNET_VERSION, &lbl::S_LNX_GEN_DOTNET_VERSION},
      {&lbl::S_PRG_OFFICE_NOT_INSTALLED, &lbl::S_LNX_PRG_OFFICE_NOT_INSTALLED},
      // The socket layer's lists name what Linux shares and mounts.
      {&lbl::S_NET_SERVS, &lbl::S_NET_LNX_SERVS},
      {&lbl::S_NET_CLIENTS, &lbl::S_NET_LNX_CLIENTS},
      // The graphics interface a Linux desktop has.
      {&lbl::S_VIDEO_DIRECTX, &lbl::S_LNX_VIDEO_DIRECTX},
  }};
  return table;
}

struct SectionCaption {
  std::string_view english;  // as the page layouts name the section
  const std::string* label;
};

// Every section caption of the page layouts, with the label that gives it in the user's
// language.
std::span<const SectionCaption> SectionCaptions() {
  static const SectionCaption table[] = {
      {"General Information", &lbl::S_SEC_GENERAL},
      {"Hardware", &lbl::S_SEC_HARDWARE},
      {"Software", &lbl::S_SEC_SOFTWARE},
      {"Windows Information", &lbl::S_SEC_WINDOWS},
      {"System Information", &lbl::S_SEC_SYSTEM},
      {"User Information", &lbl::S_SEC_USER},
      {"Environment", &lbl::S_SEC_ENVIRONMENT},
      {"System Folders", &lbl::S_SEC_FOLDERS},
      {"CPU Information", &lbl::S_SEC_CPU},
      {"Cache Information", &lbl::S_SEC_CACHE},
      {"BIOS Information", &lbl::S_SEC_BIOS},
      {"Motherboard Information", &lbl::S_SEC_BOARD},
      {"Memory", &lbl::S_SEC_MEMORY},
      {"Advanced Information", &lbl::S_SEC_ADVANCED},
      {"Processor Features", &lbl::S_SEC_FEATURES},
      {"Cache Details", &lbl::S_SEC_CACHE_DETAILS},
      {"Instruction Set Extensions", &lbl::S_SEC_EXTENSIONS},
      {"Video Adapter Information", &lbl::S_SEC_ADAPTER},
      {"Monitor Information", &lbl::S_SEC_MONITOR},
      {"Supported Resolutions", &lbl::S_SEC_RESOLUTIONS},
      {"Text Capabilities", &lbl::S_SEC_TEXT_CAPS},
      {"Polygon Functions", &lbl::S_SEC_POLYGON},
      {"Raster Functions", &lbl::S_SEC_RASTER},
      {"Line Functions", &lbl::S_SEC_LINE},
      {"Curve Functions", &lbl::S_SEC_CURVE},
      {"Processes", &lbl::S_SEC_PROCESSES},
      {"Memory Status", &lbl::S_SEC_MEMORY_STATUS},
      {"Services", &lbl::S_SEC_SERVICES},
      {"Applications", &lbl::S_SEC_APPLICATIONS},
      {"Drivers", &lbl::S_SEC_DRIVERS},
      {"Volume Information", &lbl::S_SEC_VOLUME},
      {"File System", &lbl::S_SEC_FILE_SYSTEM},
      {"Logical Information", &lbl::S_SEC_LOGICAL},
      {"Physical Information", &lbl::S_SEC_PHYSICAL},
      {"Geometry", &lbl::S_SEC_GEOMETRY},
      {"Properties", &lbl::S_SEC_PROPERTIES},
      {"S.M.A.R.T. Information", &lbl::S_SEC_SMART},
      {"Installed Engines", &lbl::S_SEC_ENGINES},
      {"DirectX Information", &lbl::S_SEC_DIRECTX},
      {"Microsoft Office", &lbl::S_SEC_OFFICE},
      {"Installed Programs", &lbl::S_SEC_PROGRAMS},
      {"Installed Drivers", &lbl::S_SEC_INSTALLED_DRIVERS},
      {"Ports", &lbl::S_SEC_PORTS},
      {"USB", &lbl::S_SEC_USB},
      {"Printers", &lbl::S_SEC_PRINTERS},
      {"Audio", &lbl::S_SEC_AUDIO},
      {"BlueTooth Devices", &lbl::S_SEC_BLUETOOTH},
      {"Power", &lbl::S_SEC_POWER},
      {"Winsock Information", &lbl::S_SEC_WINSOCK},
      {"Adapters", &lbl::S_SEC_ADAPTERS},
      {"Network Details", &lbl::S_SEC_NETWORK_DETAILS},
      {"Socket Layer", &lbl::S_SEC_SOCKET_LAYER},
      {"Listening Ports", &lbl::S_SEC_LISTENING},
      {"Driver Details", &lbl::S_SEC_DRIVER_DETAILS},
      {"Service Details", &lbl::S_SEC_SERVICE_DETAILS},
      {"Advanced Properties", &lbl::S_SEC_ADVANCED_PROPERTIES},
      {"Machine", &lbl::S_SEC_MACHINE},
      {"Chassis", &lbl::S_SEC_CHASSIS},
      {"Memory Array", &lbl::S_SEC_MEMORY_ARRAY},
      {"Slots and Ports", &lbl::S_SEC_SLOTS_PORTS},
      {"On-board Devices", &lbl::S_SEC_ONBOARD_DEVICES},
      {"Processor Sockets", &lbl::S_SEC_PROCESSOR_SOCKETS},
      {"OpenGL", &lbl::S_SEC_OPENGL},
      {"Vulkan", &lbl::S_SEC_VULKAN},
      {"Video Acceleration", &lbl::S_SEC_VIDEO_ACCEL},
      {"Connectors", &lbl::S_SEC_CONNECTORS},
      {"Monitor Details", &lbl::S_SEC_MONITOR_DETAILS},
      {"Partitions", &lbl::S_SEC_PARTITIONS},
      {"Start-up Programs", &lbl::S_SEC_STARTUP},
      {"Installed Runtimes", &lbl::S_SEC_RUNTIMES},
      {"Graphics Libraries", &lbl::S_SEC_GRAPHICS_LIBRARIES},
      {"Office Suites", &lbl::S_SEC_OFFICE_SUITES},
      {"Installed Packages", &lbl::S_SEC_PACKAGES},
  };
  return table;
}

struct SectionOverride {
  std::string_view categoryKey, caption, linuxCaption;
};
constexpr std::array<SectionOverride, 11> kSections = {{
    {"wininfo", "Windows Information", "System Information"},
    {"programsinfo", "Installed Engines", "Installed Runtimes"},
    {"programsinfo", "DirectX Information", "Graphics Libraries"},
    {"programsinfo", "Microsoft Office", "Office Suites"},
    {"programsinfo", "Installed Programs", "Installed Packages"},
    {"networkinfo", "Winsock Information", "Socket Layer"},
    {"displayadvinfo", "Text Capabilities", "OpenGL"},
    {"displayadvinfo", "Polygon Functions", "Vulkan"},
    {"displayadvinfo", "Raster Functions", "Video Acceleration"},
    {"displayadvinfo", "Line Functions", "Connectors"},
    {"displayadvinfo", "Curve Functions", "Monitor Details"},
}};

std::mutex mutex;
bool active = false;
std::array<std::string, 32> kept;  // the texts the overrides replaced

}  // namespace

bool DescribesLinux(const platform::Services& services) {
  if (!services.system) return false;
  auto record = services.system->OsVersionRecord();
  if (record) return record->platform == platform::OsPlatform::Linux;
  // Without a version record only the machine we run on is known to be Linux.
  return platform::IsLiveMachine(services);
}

void ApplyPlatformWording(bool toLinux) {
  std::lock_guard lock(mutex);
  if (toLinux == active) return;
  const auto& table = Overrides();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (toLinux) {
      kept[i] = *table[i].label;
      *table[i].label = *table[i].linuxText;
    } else {
      *table[i].label = kept[i];
    }
  }
  active = toLinux;
}

bool PlatformWordingActive() {
  std::lock_guard lock(mutex);
  return active;
}

std::string_view WordedSectionCaption(std::string_view categoryKey, std::string_view caption) {
  if (!PlatformWordingActive()) return caption;
  for (const SectionOverride& s : kSections)
    if (s.categoryKey == categoryKey && s.caption == caption) return s.linuxCaption;
  return caption;
}

std::string SectionCaptionText(std::string_view caption) {
  for (const SectionCaption& s : SectionCaptions())
    if (s.english == caption) return *s.label;
  return std::string(caption);
}

std::span<const std::string_view> KnownSectionCaptions() {
  static const std::vector<std::string_view> captions = [] {
    std::vector<std::string_view> all;
    for (const SectionCaption& s : SectionCaptions()) all.push_back(s.english);
    return all;
  }();
  return captions;
}

}  // namespace tavrin::text
