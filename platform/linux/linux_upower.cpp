// The desktop power daemon's estimates for the whole system, over the system bus.
#include <memory>
#include <mutex>

#include "base/time_limit.h"
#include "platform/linux/dbus_library.h"
#include "platform/linux/linux_input_output.h"

namespace tavrin::platform {

Probe<PowerEstimates> UpowerProbe(std::chrono::milliseconds limit) {
  return [limit] {
    constexpr const char* kWhat = "org.freedesktop.UPower DisplayDevice";
    auto result = std::make_shared<Answer<std::vector<DbusValue>>>(
        Answer<std::vector<DbusValue>>::Fail(Status::TimedOut, kWhat));
    auto guard = std::make_shared<std::mutex>();
    auto done = base::RunWithTimeLimit(
        [result, guard, limit] {
          auto answer = CallSystemBus({"org.freedesktop.UPower",
                                       "/org/freedesktop/UPower/devices/DisplayDevice",
                                       "org.freedesktop.DBus.Properties",
                                       "GetAll",
                                       {"org.freedesktop.UPower.Device"}},
                                      limit);
          std::lock_guard lock(*guard);
          *result = std::move(answer);
        },
        limit + std::chrono::milliseconds(100));
    std::lock_guard lock(*guard);
    if (done.outcome != base::RunOutcome::Finished)
      return Answer<PowerEstimates>::Fail(Status::TimedOut, kWhat,
                                          "the system bus did not answer in time");
    if (!*result) return Answer<PowerEstimates>{std::nullopt, result->source};
    PowerEstimates e;
    if (!(*result)->empty()) {
      const DbusValue& props = (*result)->front();
      if (const auto* v = props.Find("TimeToEmpty")) e.timeToEmpty = v->integer;
      if (const auto* v = props.Find("TimeToFull")) e.timeToFull = v->integer;
      if (const auto* v = props.Find("Percentage")) e.percentage = v->real;
      if (const auto* v = props.Find("State")) e.onBattery = v->integer == 2;  // discharging
    }
    return Answer<PowerEstimates>::Of(e, kWhat);
  };
}

}  // namespace tavrin::platform
