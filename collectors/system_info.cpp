#include "collectors/system_info.h"

#include <algorithm>
#include <climits>

namespace tavrin::collectors {
namespace {

std::vector<TVexa_SystemInfo::Slot> TableSlots() {
  std::vector<TVexa_SystemInfo::Slot> slots;
  for (const CollectorRow& row : kCollectorTable)
    slots.push_back({row.make, row.phase, row.refresh_rank});
  return slots;
}

std::vector<TVexa_SystemInfo::Slot> FirstPhaseSlots(std::vector<TVexa_SystemInfo::Factory> makers) {
  std::vector<TVexa_SystemInfo::Slot> slots;
  for (auto& make : makers) slots.push_back({std::move(make), GatheringPhase::kFirst, 0});
  return slots;
}

}  // namespace

TVexa_SystemInfo::TVexa_SystemInfo(std::shared_ptr<const platform::Services> services)
    : TVexa_SystemInfo(std::move(services), TableSlots()) {}

TVexa_SystemInfo::TVexa_SystemInfo(std::shared_ptr<const platform::Services> services,
                                   std::vector<Factory> factories)
    : TVexa_SystemInfo(std::move(services), FirstPhaseSlots(std::move(factories))) {}

TVexa_SystemInfo::TVexa_SystemInfo(std::shared_ptr<const platform::Services> services,
                                   std::vector<Slot> slots)
    : TVexa_VSIC_Component("TVexa_SystemInfo", "SystemInfo", services) {
  slots_.reserve(slots.size());
  for (auto& slot : slots) {
    auto collector = slot.make(services);
    slots_.push_back({std::move(slot), std::move(collector)});
  }
}

std::shared_ptr<TVexa_VSIC_Component> TVexa_SystemInfo::Component(std::size_t index) const {
  std::lock_guard lock(mutex_);
  return slots_.at(index).collector;
}

std::vector<std::size_t> TVexa_SystemInfo::RefreshOrder() const {
  std::vector<std::size_t> order(slots_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto rank = [this](std::size_t i) {
    const int r = slots_[i].slot.refresh_rank;
    return r > 0 ? r : INT_MAX;
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
  return order;
}

base::RunResult TVexa_SystemInfo::RefreshComponent(std::size_t index,
                                                   std::chrono::milliseconds limit) {
  std::shared_ptr<TVexa_VSIC_Component> collector = Component(index);
  // Everything the work touches is its own copy: an abandoned run may outlive this aggregate.
  std::shared_ptr<Spare> spare = slots_.at(index).spare;
  Factory make = slots_.at(index).slot.make;
  std::shared_ptr<const platform::Services> services = SharedPlatform();
  base::RunResult result = base::RunWithTimeLimit(
      [collector, spare, make, services] {
        bool have_spare = false;
        {
          std::lock_guard lock(spare->mutex);
          have_spare = spare->collector != nullptr;
        }
        if (!have_spare) {
          auto built = make(services);
          std::lock_guard lock(spare->mutex);
          if (!spare->collector) spare->collector = std::move(built);
        }
        collector->RefreshData();
      },
      limit);
  if (result.outcome == base::RunOutcome::TimedOut) {
    std::shared_ptr<TVexa_VSIC_Component> fresh;
    {
      std::lock_guard lock(spare->mutex);
      fresh = std::move(spare->collector);
    }
    // The spare itself never got built (its construction is what hangs): an inert collector
    // with the same names keeps the slot readable; typed access then answers a stand-in.
    if (!fresh)
      fresh = std::make_shared<TVexa_VSIC_Component>(collector->ClassName(), collector->Name(),
                                                     services);
    std::lock_guard lock(mutex_);
    slots_[index].collector = std::move(fresh);
    slots_[index].abandoned_after = limit;
  } else {
    std::lock_guard lock(mutex_);
    slots_[index].abandoned_after.reset();
  }
  return result;
}

std::optional<std::chrono::milliseconds> TVexa_SystemInfo::AbandonedAfter(
    std::string_view name) const {
  std::lock_guard lock(mutex_);
  for (const Entry& entry : slots_)
    if (entry.abandoned_after && entry.collector && entry.collector->Name() == name)
      return entry.abandoned_after;
  return std::nullopt;
}

void TVexa_SystemInfo::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  // Between the Disk and ProcessList refreshes a Windows aggregate points the disk collector
  // at the system folder's drive; Linux has no drive letters, so there is nothing to set.
  for (std::size_t index : RefreshOrder()) RefreshComponent(index, refresh_limit);
  data_available_ = true;
}

}  // namespace tavrin::collectors
