// Device I/O controls: a request sent to a named device ("\\.\PhysicalDrive0", "\\.\HCD0", a
// battery's interface link) and the bytes it answers, with the system's error code when it
// refuses. This is how a Windows machine describes its disks, its USB tree and its batteries.
// A Linux machine reads the same facts from sysfs through the storage, USB and power services,
// so only a replayed Windows snapshot answers here; the collectors decode the bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/provenance.h"

namespace tavrin::platform {

/// The outcome of opening a device or sending it one control.
struct ControlReply {
  bool ok = false;
  std::string output;   ///< the bytes the control returned; empty for an open
  uint32_t error = 0;   ///< the system's error code when it failed (2: no such device)
  std::string message;  ///< the system's words for `error`
  /// "error 2 (The system cannot find the file specified.)" style provenance for pages.
  Provenance Source(std::string_view what) const;
};

class DeviceControlService {
 public:
  virtual ~DeviceControlService() = default;
  /// Whether the device opens. A device the source does not have answers error 2.
  virtual ControlReply Open(const std::string& device) const = 0;
  /// Sends control `code` with the `input` bytes to `device`.
  virtual ControlReply Control(const std::string& device, uint32_t code,
                               std::string_view input) const = 0;
};

/// How a snapshot names one control: the code in lower-case hexadecimal, and when there are
/// input bytes, ":" and the input in lower-case hexadecimal ("70000", "7c088:00020000...").
std::string ControlKey(uint32_t code, std::string_view input);

}  // namespace tavrin::platform
