// Machine facts of a Linux machine, every one read through the file reader so a captured tree
// (or a snapshot's copy of the files) answers the same way the machine did.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "platform/file_reader.h"
#include "platform/machine_facts.h"

namespace tavrin::platform {

class LinuxMachineFacts : public MachineFactsService {
 public:
  /// `live`: the files are this machine's, so "now" is the time they describe.
  LinuxMachineFacts(std::shared_ptr<const FileReader> files, bool live);

  Answer<DmiIdRecord> DmiId() const override;
  Answer<double> UpTimeSeconds() const override;
  Answer<std::chrono::system_clock::time_point> BootTime() const override;
  Answer<LockKeyStates> LockKeys() const override;
  Answer<uint64_t> KernelMemoryTotal() const override;

 private:
  std::shared_ptr<const FileReader> files_;
  bool live_;
};

// Parsers of the kernel's texts, pure for tests.
/// Seconds since start: the first number of /proc/uptime ("12345.67 4567.89").
std::optional<double> ParseUptime(std::string_view text);
/// Boot time in seconds since the epoch: the "btime" line of /proc/stat.
std::optional<int64_t> ParseBootTime(std::string_view text);
/// MemTotal of /proc/meminfo in bytes.
std::optional<uint64_t> ParseMemTotal(std::string_view text);
enum class LedKey { None, Caps, Num, Scroll };
/// Which lock key a LED of /sys/class/leds shows ("input3::capslock").
LedKey LockKeyOfLed(std::string_view ledName);

}  // namespace tavrin::platform
