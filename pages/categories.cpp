#include "pages/categories.h"

#include "text/labels.h"
#include "pages/fillers.h"

namespace tavrin::pages {

const std::vector<TSICategory>& TSICategoryList() {
  using G = NavigationGroup;
  static const std::vector<TSICategory> categories = {
      {"generalinfo", &lbl::S_GEN, &lbl::S_GEB_DESC, G::System, 1, 1, 1, false, FillGeneralPage},
      {"wininfo", &lbl::S_WIN, &lbl::S_WIN_DESC, G::System, 2, 2, 2, false, FillWindowsPage},
      {"sysdevinfo", &lbl::S_SYS, &lbl::S_SYS_DESC, G::Hardware, 3, 5, 3, false, FillCpuPage},
      {"cpuadvinfo", &lbl::S_CPU, &lbl::S_CPU_DESC, G::Hardware, 4, 6, 4, true,
       FillCpuAdvancedPage},
      {"displayinfo", &lbl::S_VIDEO, &lbl::S_VIDEO_DESK, G::Hardware, 5, 7, 5, false,
       FillDisplayPage},
      {"displayadvinfo", &lbl::S_DISPLAY, &lbl::S_DISPLAY_DESC, G::Hardware, 6, 8, 6, true,
       FillDisplayAdvancedPage},
      {"memoryinfo", &lbl::S_MEMORY, &lbl::S_MEMORY_DESC, G::System, 7, 3, 7, false,
       FillMemoryPage},
      {"performinfo", &lbl::S_PERF, &lbl::S_PERF_DESC, G::System, 8, 4, 8, false,
       FillPerformancePage},
      {"harddriveinfo", &lbl::S_DISK, &lbl::S_DISK_DESC, G::Hardware, 9, 9, 9, false,
       FillDrivesPage},
      {"harddriveadvinfo", &lbl::S_IDE, &lbl::S_IDE_DESK, G::Hardware, 10, 10, 10, true,
       FillStoragePage},
      {"programsinfo", &lbl::S_PRG, &lbl::S_PRG_DESK, G::Other, 12, 12, 11, false,
       FillProgramsPage},
      {"ioinfo", &lbl::S_USB, &lbl::S_USB_DESK, G::Hardware, 11, 11, 12, false, FillIoPage},
      {"networkinfo", &lbl::S_NET, &lbl::S_NET_DESK, G::Other, 13, 13, 13, false,
       FillNetworkPage},
      {"devicesinfo", &lbl::S_HARDWARE, &lbl::S_HARD_DESK, G::Other, 14, 14, 15, false,
       FillDevicesPage},
  };
  return categories;
}

const TSICategory* FindCategory(std::string_view key) {
  for (const TSICategory& c : TSICategoryList())
    if (c.key == key) return &c;
  return nullptr;
}

}  // namespace tavrin::pages
