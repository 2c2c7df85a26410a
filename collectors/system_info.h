// The aggregate collector: one collector per area of the machine, in a fixed order that the
// gathering walks.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "collectors/cpu/vsi_cpu.h"
#include "collectors/devices/vsi_bluetooth.h"
#include "collectors/devices/vsi_devices.h"
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
#include "collectors/collector.h"
#include "base/time_limit.h"
#include "collectors/system/vsi_process_list.h"

namespace tavrin::collectors {

class TVexa_SystemInfo : public TVexa_VSIC_Component {
 public:
  using Factory = std::function<std::shared_ptr<TVexa_VSIC_Component>(
      std::shared_ptr<const platform::Services>)>;

  /// The nineteen collectors, in the order the gathering walks them.
  explicit TVexa_SystemInfo(std::shared_ptr<const platform::Services> services);
  /// Any collectors, in the given order (tests put probes of their own here).
  TVexa_SystemInfo(std::shared_ptr<const platform::Services> services, std::vector<Factory> slots);

  std::size_t ComponentCount() const { return factories_.size(); }
  /// The collector in slot `index`. Shared, because an abandoned refresh keeps its own.
  std::shared_ptr<TVexa_VSIC_Component> Component(std::size_t index) const;

  /// Refreshes slot `index` under `limit`. A collector that does not finish in time is
  /// abandoned to its thread and its slot gets a fresh, empty collector, so nobody reads data
  /// that is still being written.
  base::RunResult RefreshComponent(std::size_t index, std::chrono::milliseconds limit);

  /// Refreshes every collector in the aggregate's own order (USB, Devices, Storage, ...).
  /// The application's gathering does not use it; it walks the slots one by one.
  void RefreshData() override;
  bool DataAvailable() const { return data_available_; }

  /// Limit used by RefreshData for each collector.
  std::chrono::milliseconds refresh_limit{std::chrono::seconds(30)};

  collectors::TVexa_CPU& CPU() const { return Slot<collectors::TVexa_CPU>(0); }
  collectors::TVexa_Memory& Memory() const { return Slot<collectors::TVexa_Memory>(1); }
  collectors::TVexa_OperatingSystem& OS() const {
    return Slot<collectors::TVexa_OperatingSystem>(2);
  }
  collectors::TVexa_Disk& Disk() const { return Slot<collectors::TVexa_Disk>(3); }
  collectors::TVexa_Machine& Machine() const { return Slot<collectors::TVexa_Machine>(4); }
  collectors::TVexa_Storage& Storage() const { return Slot<collectors::TVexa_Storage>(5); }
  collectors::TVexa_USB& USB() const { return Slot<collectors::TVexa_USB>(6); }
  collectors::TVexa_Network& Network() const { return Slot<collectors::TVexa_Network>(7); }
  collectors::TVexa_Display& Display() const { return Slot<collectors::TVexa_Display>(8); }
  collectors::TVexa_Monitor& Monitor() const { return Slot<collectors::TVexa_Monitor>(9); }
  collectors::TVexa_Media& Media() const { return Slot<collectors::TVexa_Media>(10); }
  collectors::TVexa_Devices& Devices() const { return Slot<collectors::TVexa_Devices>(11); }
  collectors::TVexa_Engines& Engines() const { return Slot<collectors::TVexa_Engines>(12); }
  collectors::TVexa_APM& APM() const { return Slot<collectors::TVexa_APM>(13); }
  collectors::TVexa_Printers& Printers() const { return Slot<collectors::TVexa_Printers>(14); }
  collectors::TVexa_Software& Software() const { return Slot<collectors::TVexa_Software>(15); }
  collectors::TVexa_Startup& Startup() const { return Slot<collectors::TVexa_Startup>(16); }
  collectors::TVexa_ProcessList& ProcessList() const {
    return Slot<collectors::TVexa_ProcessList>(17);
  }
  collectors::TVexa_BT& Bluetooth() const { return Slot<collectors::TVexa_BT>(18); }

 private:
  // The collector of a slot as its class. An aggregate built with other collectors (tests)
  // answers with an empty collector of the class, so a page filler never reads a wrong type.
  template <class T>
  T& Slot(std::size_t index) const {
    if (auto* collector = dynamic_cast<T*>(Component(index).get())) return *collector;
    std::lock_guard lock(mutex_);
    if (fallbacks_.size() <= index) fallbacks_.resize(index + 1);
    if (!dynamic_cast<T*>(fallbacks_[index].get()))
      fallbacks_[index] = std::make_shared<T>(SharedPlatform());
    return static_cast<T&>(*fallbacks_[index]);
  }

  std::vector<Factory> factories_;
  mutable std::mutex mutex_;  // guards the slot pointers against a late abandoned refresh
  std::vector<std::shared_ptr<TVexa_VSIC_Component>> slots_;
  mutable std::vector<std::shared_ptr<TVexa_VSIC_Component>> fallbacks_;
  bool data_available_ = false;
};

}  // namespace tavrin::collectors
