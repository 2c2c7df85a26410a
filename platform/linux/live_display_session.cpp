// The live desktop session's answers: each probe runs once, on first use, under a time limit
// (an X server or a graphics driver that hangs must not hold up the gathering).
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif
#include <chrono>
#include <cstdlib>
#include <mutex>

#include "base/time_limit.h"
#include "platform/display_session.h"
#include "platform/linux/graphics_apis.h"
#include "platform/linux/x11_screens.h"

namespace tavrin::platform {
namespace {

#if defined(__SANITIZE_ADDRESS__)
struct LeakCheckPause {
  LeakCheckPause() { __lsan_disable(); }
  ~LeakCheckPause() { __lsan_enable(); }
  LeakCheckPause(const LeakCheckPause&) = delete;
  LeakCheckPause& operator=(const LeakCheckPause&) = delete;
};
#else
struct LeakCheckPause {};
#endif

constexpr std::chrono::milliseconds kProbeLimit{8000};

template <class T, class Probe>
T Limited(Probe probe, T onTimeOut) {
  auto result = std::make_shared<T>(onTimeOut);
  const auto run = base::RunWithTimeLimit([result, probe] { *result = probe(); }, kProbeLimit);
  if (run.outcome == base::RunOutcome::Finished) return *result;
  return onTimeOut;
}

std::string Environment(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

class LiveDisplaySession : public DisplaySession {
 public:
  Answer<SessionScreens> Screens() const override {
    std::call_once(screens_once_, [this] {
      const std::string display = Environment("DISPLAY");
      screens_ = Limited<Answer<SessionScreens>>(
          [display] { return ProbeX11Screens(display); },
          Answer<SessionScreens>::Fail(Status::TimedOut, "X11 display " + display,
                                       "the X server did not answer"));
      // A Wayland session without X: the compositor's outputs are the kernel's connectors.
      if (!screens_ && display.empty() && !Environment("WAYLAND_DISPLAY").empty())
        screens_.source.detail = "Wayland session without X11; screens come from the connectors";
    });
    return screens_;
  }

  GraphicsApis Apis() const override {
    std::call_once(apis_once_, [this] {
      GraphicsApis timedOut;
      const auto late = Provenance::Failure(Status::TimedOut, "graphics interfaces",
                                            "a driver did not answer in time");
      timedOut.openGlVersion.source = timedOut.openGlRenderer.source = late;
      timedOut.openGlVendor.source = timedOut.vulkanVersion.source = late;
      timedOut.vulkanDevices.source = timedOut.videoProfiles.source = late;
      apis_ = Limited<GraphicsApis>(
          [] {
            // The system's graphics drivers keep allocations for the life of the process
            // that no call of ours frees; the leak checker of a sanitizer build is told not
            // to count what they allocate here.
            [[maybe_unused]] LeakCheckPause pause;
            GraphicsApis a;
            ProbeOpenGl(a);
            ProbeVulkan(a);
            ProbeVideoAcceleration(a);
            return a;
          },
          timedOut);
    });
    return apis_;
  }

 private:
  mutable std::once_flag screens_once_, apis_once_;
  mutable Answer<SessionScreens> screens_;
  mutable GraphicsApis apis_;
};

}  // namespace

std::shared_ptr<const DisplaySession> MakeLiveDisplaySession() {
  return std::make_shared<LiveDisplaySession>();
}

}  // namespace tavrin::platform
