// The kernel's message log, for what the device model does not keep: a driver whose probe
// failed leaves the device without a driver, and only the log says which driver tried and why
// it gave up.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/file_reader.h"
#include "platform/provenance.h"

namespace tavrin::platform {

struct ProbeFailure {
  std::string driver;
  int error = 0;  ///< negative errno, as the kernel logs it
  bool operator==(const ProbeFailure&) const = default;
};

/// Devices whose probe failed, by kernel device name ("0000:00:03.0", "virtio2"), from log
/// text: records of /dev/kmsg ("4,512,1234567,-;message") or dmesg lines ("[ 1.2] message").
/// Both forms the kernel has used are read: "<driver>: probe of <device> failed with error -N"
/// and "<bus> <device>: probe with driver <driver> failed with error -N". A later line about
/// the same device wins; lines that fit neither form are ignored.
std::map<std::string, ProbeFailure> ParseProbeFailures(std::string_view log);

/// The records of the kernel log that contain `keep`, one a line. On the running machine
/// (root "/") /dev/kmsg is read record by record without waiting for new ones; it is often
/// readable by root only (kernel.dmesg_restrict), which the answer says. Below a captured tree
/// root, a plain file at /dev/kmsg stands in for it.
Answer<std::string> ReadKernelLog(const FileReader& files, std::string_view keep);

}  // namespace tavrin::platform
