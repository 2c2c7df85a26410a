// Every collector of the aggregate, declared once.
//
// A row gives the collector's class, its component name, its place in the aggregate's own
// refresh and the gathering phase it belongs to. The row order is the creation order, which is
// the order the gathering walks. Adding a collector: include its header here and add its row.
#pragma once

#include <memory>
#include <string_view>

#include "collectors/collector.h"
#include "collectors/cpu/vsi_cpu.h"
#include "collectors/devices/vsi_bluetooth.h"
#include "collectors/devices/vsi_devices.h"
#include "collectors/devices/vsi_ports.h"
#include "collectors/devices/vsi_usb.h"
#include "collectors/display/vsi_display.h"
#include "collectors/display/vsi_monitor.h"
#include "collectors/firmware/vsi_machine.h"
#include "collectors/network/vsi_network.h"
#include "collectors/os/vsi_engines.h"
#include "collectors/os/vsi_operating_system.h"
#include "collectors/os/vsi_software.h"
#include "collectors/os/vsi_startup.h"
#include "collectors/storage/vsi_disk.h"
#include "collectors/storage/vsi_storage.h"
#include "collectors/system/vsi_apm.h"
#include "collectors/system/vsi_media.h"
#include "collectors/system/vsi_memory.h"
#include "collectors/system/vsi_printers.h"
#include "collectors/system/vsi_process_list.h"

namespace tavrin::collectors {

/// The background gathering refreshes the first phase, fills every page, then refreshes the
/// second phase: collectors slow enough that the other pages should not wait for them.
enum class GatheringPhase { kFirst, kSecond };

using CollectorMaker =
    std::shared_ptr<TVexa_VSIC_Component> (*)(std::shared_ptr<const platform::Services>);

template <class T>
std::shared_ptr<TVexa_VSIC_Component> MakeCollector(
    std::shared_ptr<const platform::Services> services) {
  return std::make_shared<T>(std::move(services));
}

struct CollectorRow {
  std::string_view name;  ///< component name; the collector's constructor gives the same
  CollectorMaker make;    ///< names the class
  int refresh_rank;       ///< place in TVexa_SystemInfo::RefreshData, 1 first
  GatheringPhase phase;
};

inline constexpr GatheringPhase kPhase1 = GatheringPhase::kFirst;
inline constexpr GatheringPhase kPhase2 = GatheringPhase::kSecond;

// clang-format off
inline constexpr CollectorRow kCollectorTable[] = {
    // name             class                                       own refresh  phase
    {"CPU",             MakeCollector<TVexa_CPU>,                    5,          kPhase1},
    {"Memory",          MakeCollector<TVexa_Memory>,                 6,          kPhase1},
    {"OperatingSystem", MakeCollector<TVexa_OperatingSystem>,        7,          kPhase1},
    {"Disk",            MakeCollector<TVexa_Disk>,                  17,          kPhase1},
    {"Machine",         MakeCollector<TVexa_Machine>,                8,          kPhase1},
    {"Storage",         MakeCollector<TVexa_Storage>,                3,          kPhase2},
    {"USB",             MakeCollector<TVexa_USB>,                    1,          kPhase1},
    {"Network",         MakeCollector<TVexa_Network>,               10,          kPhase1},
    {"Display",         MakeCollector<TVexa_Display>,               11,          kPhase1},
    {"Monitor",         MakeCollector<TVexa_Monitor>,               12,          kPhase1},
    {"Media",           MakeCollector<TVexa_Media>,                 13,          kPhase1},
    {"Devices",         MakeCollector<TVexa_Devices>,                2,          kPhase1},
    {"Engines",         MakeCollector<TVexa_Engines>,                4,          kPhase1},
    {"APM",             MakeCollector<TVexa_APM>,                   14,          kPhase1},
    {"Printers",        MakeCollector<TVexa_Printers>,              15,          kPhase1},
    {"Software",        MakeCollector<TVexa_Software>,               9,          kPhase1},
    {"Startup",         MakeCollector<TVexa_Startup>,               16,          kPhase1},
    {"ProcessList",     MakeCollector<TVexa_ProcessList>,           18,          kPhase2},
    {"Bluetooth",       MakeCollector<TVexa_BT>,                    19,          kPhase1},
    {"Ports",           MakeCollector<TVexa_Ports>,                 20,          kPhase1},
};
// clang-format on

}  // namespace tavrin::collectors
