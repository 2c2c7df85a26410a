#include "collectors/firmware/vsi_machine.h"

#include <cmath>

#include "collectors/devices/vsi_devices.h"
#include "platform/machine_facts.h"

namespace tavrin::collectors {

using platform::Provenance;

TVexa_Machine::TVexa_Machine(std::shared_ptr<const platform::Services> services)
    : TVexa_VSIC_Component("TVexa_Machine", "Machine", services),
      SMBIOS(services),
      BIOS(services) {}

void TVexa_Machine::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  ReadComputerDescription();
  SMBIOS.RefreshData();
  BIOS.SetFirmwareValues(&SMBIOS, SMBIOS.FromDmiId ? SMBIOS.DmiId.source : SMBIOS.TableSource);
  BIOS.RefreshData();
  const auto facts = platform::MachineFactsOf(Platform());
  ReadBootTime(*facts);
  auto memory = facts->KernelMemoryTotal();
  KernelMemoryBytes = memory.value;
  KernelMemorySource = memory.source;

  const auto& system = *Platform().system;
  auto host = system.ComputerName();
  MachineName = host.value_or("");
  MachineNameSource = host.source;
  auto user = system.UserName();
  User = user.value_or("");
  UserSource = user.source;

  ReadLockKeys(*facts);
}

void TVexa_Machine::ReadComputerDescription() {
  // A device list of its own, as every collector that picks devices of one class has.
  TVexa_Devices devices(SharedPlatform());
  devices.RefreshData();
  // Without a computer node the description of an earlier refresh stays.
  if (std::string description = ComputerDescription(devices); !description.empty()) {
    Computer = std::move(description);
    ComputerSource = devices.Source;
  } else if (Computer.empty()) {
    ComputerSource = devices.Source.ok()
                         ? Provenance::Failure(platform::Status::Missing, devices.Source.source,
                                               "no device of class Computer")
                         : devices.Source;
  }
}

void TVexa_Machine::ReadBootTime(const platform::MachineFactsService& facts) {
  auto uptime = facts.UpTimeSeconds();
  SystemUpTime = uptime ? static_cast<int64_t>(std::floor(*uptime)) : 0;
  auto boot = facts.BootTime();
  LastBoot = boot.value;
  BootSource = boot.source;
}

void TVexa_Machine::ReadLockKeys(const platform::MachineFactsService& facts) {
  const auto answer = facts.LockKeys();
  const auto keys = answer.value_or({});
  CapsLock = keys.caps;
  NumLock = keys.num;
  ScrollLock = keys.scroll;
  LockKeysSource = answer.source;
}

}  // namespace tavrin::collectors
