// Collector of the machine as a whole: names, boot time, lock keys, and (owned) the firmware
// tables and BIOS texts.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "collectors/collector.h"
#include "collectors/firmware/vsi_bios.h"
#include "collectors/firmware/vsi_smbios.h"
#include "platform/machine_facts.h"

namespace tavrin::collectors {

class TVexa_Machine : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Machine(std::shared_ptr<const platform::Services> services);

  std::string MachineName;  ///< computer (host) name
  std::string User;         ///< user running the program
  std::string Computer;     ///< description of the "Computer" device, from device enumeration
  /// Time of the last start of the system; empty when unknown.
  std::optional<std::chrono::system_clock::time_point> LastBoot;
  int64_t SystemUpTime = 0;  ///< seconds since start
  bool CapsLock = false;
  bool NumLock = false;
  bool ScrollLock = false;

  TVexa_SMBIOS SMBIOS;
  TVexa_BIOS BIOS;

  /// The memory the kernel manages, bytes: compared with the installed modules.
  std::optional<uint64_t> KernelMemoryBytes;

  // Where each value came from, or why it is empty.
  platform::Provenance MachineNameSource, UserSource, BootSource, LockKeysSource,
      KernelMemorySource, ComputerSource;

  /// SMBIOS first (the BIOS texts on Linux are made of its values), then BIOS, boot time,
  /// names and lock keys.
  void RefreshData() override;

 private:
  void ReadComputerDescription();
  void ReadBootTime(const platform::MachineFactsService& facts);
  void ReadLockKeys(const platform::MachineFactsService& facts);
};

}  // namespace tavrin::collectors
