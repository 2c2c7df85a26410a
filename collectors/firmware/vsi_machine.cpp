#include "collectors/firmware/vsi_machine.h"

#include <cmath>

#include "collectors/firmware/machine_facts.h"

namespace tavrin::collectors {

using platform::Provenance;
using platform::Status;

TVexa_Machine::TVexa_Machine(std::shared_ptr<const platform::Services> services)
    : TVexa_VSIC_Component("TVexa_Machine", "Machine", services),
      SMBIOS(services),
      BIOS(services) {}

void TVexa_Machine::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  SMBIOS.RefreshData();
  BIOS.SetFirmwareValues(
      &SMBIOS, SMBIOS.FromDmiId ? Provenance::Answered("/sys/class/dmi/id") : SMBIOS.TableSource);
  BIOS.RefreshData();
  ReadBootTime();

  const auto& system = *Platform().system;
  auto host = system.ComputerName();
  MachineName = host.value_or("");
  MachineNameSource = host.source;
  auto user = system.UserName();
  User = user.value_or("");
  UserSource = user.source;

  ReadLockKeys();
}

void TVexa_Machine::ReadBootTime() {
  const auto& files = *Platform().files;
  SystemUpTime = 0;
  LastBoot.reset();
  std::optional<double> uptime;
  if (auto text = files.ReadFile("/proc/uptime", 4096)) uptime = machine::ParseUptime(*text);
  if (uptime) SystemUpTime = static_cast<int64_t>(std::floor(*uptime));

  auto stat = files.ReadFile("/proc/stat");
  std::optional<int64_t> btime;
  if (stat) btime = machine::ParseBootTime(*stat);
  if (btime) {
    LastBoot = std::chrono::system_clock::from_time_t(static_cast<std::time_t>(*btime));
    BootSource = Provenance::Answered("/proc/stat");
  } else if (uptime && IsLiveMachine(Platform())) {
    // Without btime, the start is now minus the up-time; only meaningful for this machine.
    LastBoot = std::chrono::system_clock::now() - std::chrono::seconds(SystemUpTime);
    BootSource = Provenance::Answered("/proc/uptime");
  } else {
    BootSource =
        stat ? Provenance::Failure(Status::Malformed, "/proc/stat", "no btime line") : stat.source;
  }
}

void TVexa_Machine::ReadLockKeys() {
  CapsLock = NumLock = ScrollLock = false;
  const auto& files = *Platform().files;
  auto leds = files.ListDir("/sys/class/leds");
  LockKeysSource = leds.source;
  if (!leds) return;
  for (const auto& led : *leds) {
    const auto key = machine::LockKeyOfLed(led);
    if (key == machine::LockKey::None) continue;
    auto brightness = files.ReadLine("/sys/class/leds/" + led + "/brightness");
    const bool on = brightness && !brightness->empty() && *brightness != "0";
    // Several keyboards each have the LED; any one lit means the toggle is on.
    if (key == machine::LockKey::Caps) CapsLock = CapsLock || on;
    if (key == machine::LockKey::Num) NumLock = NumLock || on;
    if (key == machine::LockKey::Scroll) ScrollLock = ScrollLock || on;
  }
}

}  // namespace tavrin::collectors
