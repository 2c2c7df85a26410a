// A disk's power mode, and whether the collector may send it commands that need the medium.
//
// Reading S.M.A.R.T. data, and on some drives even IDENTIFY data, makes a disk in standby spin
// up. A system-information viewer that refreshes every few minutes would then keep every idle
// disk of the machine spinning, so a disk that sleeps is left asleep and its rows say so.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/provenance.h"

namespace tavrin::collectors {

enum class AtaPowerMode : uint8_t {
  kActiveOrIdle,  ///< FFh, 41h: spinning (or a solid-state drive, always ready)
  kIdle,          ///< 80h to 83h: idle, with or without reduced speed
  kStandby,       ///< 00h, 01h, 40h: the spindle is stopped
  kSuspended,     ///< the kernel itself stopped the disk (runtime power management)
  kUnknown,       ///< any other Count value
};

/// The power mode a CHECK POWER MODE Count register value stands for (ATA/ACS).
AtaPowerMode DecodeAtaPowerMode(uint8_t count);

/// True when commands that touch the medium would wake the disk.
inline bool Asleep(AtaPowerMode mode) {
  return mode == AtaPowerMode::kStandby || mode == AtaPowerMode::kSuspended;
}

/// What the collector learned of a disk's power state before sending it anything else.
struct PowerCheck {
  std::optional<AtaPowerMode> mode;  ///< nullopt when neither the kernel nor the disk told
  platform::Provenance source;       ///< where the mode came from, or why it is unknown
  bool asleep() const { return mode && Asleep(*mode); }
};

/// Decides from the kernel's runtime power state ("suspended" means any command wakes the
/// disk, so the drive is not even asked) and the CHECK POWER MODE answer, which is only
/// looked at when the kernel's state allowed asking. `askDrive` is called at most once.
template <class Ask>
PowerCheck CheckPower(const std::string& runtimeStatus, const std::string& device, Ask askDrive) {
  PowerCheck check;
  if (runtimeStatus == "suspended" || runtimeStatus == "suspending") {
    check.mode = AtaPowerMode::kSuspended;
    check.source = platform::Provenance::Answered("runtime power state of " + device);
    return check;
  }
  auto answer = askDrive();
  check.source = answer.source;
  if (answer && answer->size() == 1)
    check.mode = DecodeAtaPowerMode(static_cast<uint8_t>((*answer)[0]));
  return check;
}

}  // namespace tavrin::collectors
