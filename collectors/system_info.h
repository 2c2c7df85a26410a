// The aggregate collector: one collector per area of the machine, in the fixed order that the
// gathering walks. Which collectors exist, in what order, is declared in collector_table.h.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "base/time_limit.h"
#include "collectors/collector.h"
#include "collectors/collector_table.h"

namespace tavrin::collectors {

class TVexa_SystemInfo : public TVexa_VSIC_Component {
 public:
  using Factory = std::function<std::shared_ptr<TVexa_VSIC_Component>(
      std::shared_ptr<const platform::Services>)>;

  /// One slot of an aggregate: how to build its collector and where it refreshes.
  struct Slot {
    Factory make;
    GatheringPhase phase = GatheringPhase::kFirst;
    /// Place in the aggregate's own RefreshData (1 first); 0 refreshes after the ranked slots,
    /// in walk order.
    int refresh_rank = 0;
  };

  /// The collectors of the collector table, in its order.
  explicit TVexa_SystemInfo(std::shared_ptr<const platform::Services> services);
  /// Any collectors, in the given order (tests put probes of their own here).
  TVexa_SystemInfo(std::shared_ptr<const platform::Services> services, std::vector<Slot> slots);
  /// Same, every slot in the first phase and refreshed in walk order.
  TVexa_SystemInfo(std::shared_ptr<const platform::Services> services,
                   std::vector<Factory> factories);

  std::size_t ComponentCount() const { return slots_.size(); }
  /// The collector in slot `index`. Shared, because an abandoned refresh keeps its own.
  std::shared_ptr<TVexa_VSIC_Component> Component(std::size_t index) const;
  GatheringPhase Phase(std::size_t index) const { return slots_.at(index).slot.phase; }
  /// The slot indexes in the order of the aggregate's own RefreshData.
  std::vector<std::size_t> RefreshOrder() const;

  /// Refreshes slot `index` under `limit`. A collector that does not finish in time is
  /// abandoned to its thread and its slot gets a fresh, empty collector, so nobody reads data
  /// that is still being written. The fresh one is built inside the limit too (before the
  /// refresh starts, once per slot), so a collector that hangs cannot stall the caller twice.
  base::RunResult RefreshComponent(std::size_t index, std::chrono::milliseconds limit);

  /// The limit the last refresh of the collector named `name` ("Machine") overran, when it was
  /// abandoned; nullopt when it finished, failed on its own or never ran. Pages use it to say
  /// that rows are empty because of the time limit, not because the machine lacks them.
  std::optional<std::chrono::milliseconds> AbandonedAfter(std::string_view name) const;

  /// Refreshes every collector in the aggregate's own order (USB, Devices, Storage, ...).
  /// The application's gathering does not use it; it walks the slots one by one.
  void RefreshData() override;
  bool DataAvailable() const { return data_available_; }

  /// Limit used by RefreshData for each collector.
  std::chrono::milliseconds refresh_limit{std::chrono::seconds(30)};

  /// The first collector of class T, or null when the aggregate holds none.
  template <class T>
  std::shared_ptr<T> Find() const {
    std::lock_guard lock(mutex_);
    for (const auto& entry : slots_)
      if (entry.collector && typeid(*entry.collector) == typeid(T))
        return std::static_pointer_cast<T>(entry.collector);
    for (const auto& entry : slots_)
      if (auto typed = std::dynamic_pointer_cast<T>(entry.collector)) return typed;
    return nullptr;
  }

  /// The collector of class T. An aggregate without one (tests build such aggregates) answers
  /// with an empty collector of the class, so a page filler never reads a wrong type.
  template <class T>
  T& Get() const {
    if (auto found = Find<T>()) return *found;
    std::lock_guard lock(mutex_);
    auto& stand_in = stand_ins_[std::type_index(typeid(T))];
    if (!stand_in) stand_in = std::make_shared<T>(SharedPlatform());
    return static_cast<T&>(*stand_in);
  }

  /// Refreshes the slot holding class T (see RefreshComponent); Finished when there is none.
  template <class T>
  base::RunResult Refresh(std::chrono::milliseconds limit) {
    for (std::size_t i = 0; i < ComponentCount(); ++i)
      if (std::dynamic_pointer_cast<T>(Component(i))) return RefreshComponent(i, limit);
    return {};
  }

  // The collectors under their published names.
  TVexa_CPU& CPU() const { return Get<TVexa_CPU>(); }
  TVexa_Memory& Memory() const { return Get<TVexa_Memory>(); }
  TVexa_OperatingSystem& OS() const { return Get<TVexa_OperatingSystem>(); }
  TVexa_Disk& Disk() const { return Get<TVexa_Disk>(); }
  TVexa_Machine& Machine() const { return Get<TVexa_Machine>(); }
  TVexa_Storage& Storage() const { return Get<TVexa_Storage>(); }
  TVexa_USB& USB() const { return Get<TVexa_USB>(); }
  TVexa_Network& Network() const { return Get<TVexa_Network>(); }
  TVexa_Display& Display() const { return Get<TVexa_Display>(); }
  TVexa_Monitor& Monitor() const { return Get<TVexa_Monitor>(); }
  TVexa_Media& Media() const { return Get<TVexa_Media>(); }
  TVexa_Devices& Devices() const { return Get<TVexa_Devices>(); }
  TVexa_Engines& Engines() const { return Get<TVexa_Engines>(); }
  TVexa_APM& APM() const { return Get<TVexa_APM>(); }
  TVexa_Printers& Printers() const { return Get<TVexa_Printers>(); }
  TVexa_Software& Software() const { return Get<TVexa_Software>(); }
  TVexa_Startup& Startup() const { return Get<TVexa_Startup>(); }
  TVexa_ProcessList& ProcessList() const { return Get<TVexa_ProcessList>(); }
  TVexa_BT& Bluetooth() const { return Get<TVexa_BT>(); }
  TVexa_Ports& Ports() const { return Get<TVexa_Ports>(); }

 private:
  // A collector built ahead for a slot, handed over when the slot's refresh is abandoned.
  struct Spare {
    std::mutex mutex;
    std::shared_ptr<TVexa_VSIC_Component> collector;
  };
  struct Entry {
    Slot slot;
    std::shared_ptr<TVexa_VSIC_Component> collector;
    std::shared_ptr<Spare> spare = std::make_shared<Spare>();
    std::optional<std::chrono::milliseconds> abandoned_after = std::nullopt;
  };

  mutable std::mutex mutex_;  // guards the slot pointers against a late abandoned refresh
  std::vector<Entry> slots_;
  mutable std::map<std::type_index, std::shared_ptr<TVexa_VSIC_Component>> stand_ins_;
  bool data_available_ = false;
};

}  // namespace tavrin::collectors
