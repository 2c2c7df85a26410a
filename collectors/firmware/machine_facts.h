// Parsers of the Linux texts the machine collector reads: up-time, boot time, keyboard LEDs.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavrin::collectors::machine {

/// Seconds since start: the first number of /proc/uptime ("12345.67 4567.89").
std::optional<double> ParseUptime(std::string_view text);
/// Boot time in seconds since the epoch: the "btime" line of /proc/stat.
std::optional<int64_t> ParseBootTime(std::string_view text);

enum class LockKey { None, Caps, Num, Scroll };
/// Which lock key a LED of /sys/class/leds shows ("input3::capslock").
LockKey LockKeyOfLed(std::string_view ledName);

}  // namespace tavrin::collectors::machine
