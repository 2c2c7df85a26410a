#include "cli/monitor_command.h"

#include <csignal>
#include <ctime>
#include <ostream>
#include <thread>

#include "collectors/cpu/cpu_usage.h"
#include "collectors/system/vsi_memory.h"
#include "pages/memory_rows.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::cli {
namespace {

// Set by the interrupt handler; the loop ends at its next check.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
  interrupted = 1;
}

std::string Clock() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

std::string Column(const std::string& value, std::size_t width) {
  return std::string(value.size() < width ? width - value.size() : 0, ' ') + value;
}

}  // namespace

int RunMonitor(const std::shared_ptr<const platform::Services>& services, unsigned seconds,
               std::ostream& out, std::ostream& err) {
  if (!platform::IsLiveMachine(*services)) {
    err << "tavrin-cli: " << FormatText(lbl::S_MONITOR_NOT_LIVE, {services->origin}) << '\n';
    return 1;
  }
  interrupted = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  struct sigaction previous {};
  sigaction(SIGINT, &action, &previous);

  collectors::TVexa_CPUUsage sampler(services);
  collectors::TVexa_Memory memory(services);
  constexpr auto kInterval = std::chrono::milliseconds(1000);
  sampler.SetInterval(static_cast<uint32_t>(kInterval.count()));
  int32_t average = 0;
  sampler.OnInterval = [&](collectors::TVexa_CPUUsage&, const collectors::TCPUUsages&,
                           int32_t avg) { average = collectors::StoredAverageLoad(avg); };
  sampler.SetActive(true);
  out << lbl::S_MONITOR_HEADER << '\n' << std::flush;
  auto next = std::chrono::steady_clock::now();
  for (unsigned line = 0; !interrupted && (seconds == 0 || line < seconds); ++line) {
    next += kInterval;
    // Short sleeps, so Ctrl+C ends the loop at once.
    while (!interrupted && std::chrono::steady_clock::now() < next)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (interrupted) break;
    sampler.Tick();
    memory.RefreshData();
    const auto swap = pages::SwapLoadPercent(memory.PageFileTotal, memory.PageFileFree);
    out << Clock() << Column(sampler.Available() ? std::to_string(average) : "-", 6)
        << Column(memory.Available ? std::to_string(memory.MemoryLoad) : "-", 9)
        << Column(swap ? std::to_string(*swap) : lbl::S_MONITOR_NO_SWAP, 7) << '\n'
        << std::flush;
    if (!out) break;
  }
  sigaction(SIGINT, &previous, nullptr);
  return out ? 0 : 1;
}

}  // namespace tavrin::cli
