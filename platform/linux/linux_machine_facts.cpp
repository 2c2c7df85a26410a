#include "platform/linux/linux_machine_facts.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/strings.h"
#include "platform/service_hooks.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kDmiId = "/sys/class/dmi/id";
constexpr std::string_view kUptime = "/proc/uptime";
constexpr std::string_view kStat = "/proc/stat";
constexpr std::string_view kMeminfo = "/proc/meminfo";
constexpr std::string_view kLeds = "/sys/class/leds";

// The attribute file of each field, in DmiField order.
constexpr std::string_view kDmiFiles[] = {
    "bios_vendor",      "bios_version",    "bios_date",      "bios_release",    "sys_vendor",
    "product_name",     "product_version", "product_serial", "product_uuid",    "product_sku",
    "product_family",   "board_vendor",    "board_name",     "board_version",   "board_serial",
    "board_asset_tag",  "chassis_vendor",  "chassis_type",   "chassis_version", "chassis_serial",
    "chassis_asset_tag"};
static_assert(std::size(kDmiFiles) == static_cast<std::size_t>(DmiField::kCount));

// Lines of `text` one at a time.
template <class Fn>
void EachLine(std::string_view text, Fn fn) {
  while (!text.empty()) {
    const auto end = text.find('\n');
    if (fn(text.substr(0, end))) return;
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + 1);
  }
}

constexpr std::string_view Trimmed(std::string_view s) {
  return base::Trim(s, " \t\r");
}

}  // namespace

std::optional<double> ParseUptime(std::string_view text) {
  const auto end = text.find_first_of(" \t\n");
  const std::string first(text.substr(0, end));
  if (first.empty()) return std::nullopt;
  char* stop = nullptr;
  const double seconds = std::strtod(first.c_str(), &stop);
  if (stop != first.c_str() + first.size() || !std::isfinite(seconds) || seconds < 0)
    return std::nullopt;
  return seconds;
}

std::optional<int64_t> ParseBootTime(std::string_view text) {
  std::optional<int64_t> found;
  EachLine(text, [&](std::string_view line) {
    if (line.substr(0, 6) != "btime ") return false;
    line = Trimmed(line.substr(6));
    int64_t value = 0;
    auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (ec == std::errc() && ptr == line.data() + line.size() && !line.empty()) found = value;
    return true;
  });
  return found;
}

std::optional<uint64_t> ParseMemTotal(std::string_view text) {
  std::optional<uint64_t> found;
  EachLine(text, [&](std::string_view line) {
    if (line.substr(0, 9) != "MemTotal:") return false;
    line = Trimmed(line.substr(9));
    uint64_t kb = 0;
    auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), kb);
    if (ec == std::errc() &&
        Trimmed(std::string_view(ptr, line.data() + line.size() - ptr)) == "kB")
      found = kb * 1024;
    return true;
  });
  return found;
}

LedKey LockKeyOfLed(std::string_view name) {
  const auto colons = name.rfind("::");
  if (colons == std::string_view::npos) return LedKey::None;
  const auto function = name.substr(colons + 2);
  if (function == "capslock") return LedKey::Caps;
  if (function == "numlock") return LedKey::Num;
  if (function == "scrolllock") return LedKey::Scroll;
  return LedKey::None;
}

LinuxMachineFacts::LinuxMachineFacts(std::shared_ptr<const FileReader> files, bool live)
    : files_(std::move(files)), live_(live) {}

Answer<DmiIdRecord> LinuxMachineFacts::DmiId() const {
  DmiIdRecord record;
  bool any = false;
  Provenance first_failure =
      Provenance::Failure(Status::Missing, std::string(kDmiId), "no firmware values exported");
  for (std::size_t i = 0; i < std::size(kDmiFiles); ++i) {
    const std::string path = std::string(kDmiId) + "/" + std::string(kDmiFiles[i]);
    auto line = files_->ReadLine(path);
    any = any || line.ok();
    if (!line && line.source.status != Status::Missing && first_failure.status == Status::Missing)
      first_failure = line.source;
    record.fields[i] = std::move(line);
  }
  if (!any)
    return Answer<DmiIdRecord>::Fail(first_failure.status, first_failure.source,
                                     first_failure.detail);
  Answer<DmiIdRecord> answer = Answer<DmiIdRecord>::Of(std::move(record), std::string(kDmiId));
  return answer;
}

Answer<double> LinuxMachineFacts::UpTimeSeconds() const {
  auto text = files_->ReadFile(kUptime, 4096);
  if (!text) return {std::nullopt, text.source};
  if (auto seconds = ParseUptime(*text)) return Answer<double>::Of(*seconds, std::string(kUptime));
  return Answer<double>::Fail(Status::Malformed, std::string(kUptime), "no number");
}

Answer<std::chrono::system_clock::time_point> LinuxMachineFacts::BootTime() const {
  using Point = std::chrono::system_clock::time_point;
  auto stat = files_->ReadFile(kStat);
  if (stat) {
    if (auto btime = ParseBootTime(*stat))
      return Answer<Point>::Of(std::chrono::system_clock::from_time_t(static_cast<time_t>(*btime)),
                               std::string(kStat));
  }
  // Without btime the start is now minus the up-time, which only holds for this machine.
  auto uptime = UpTimeSeconds();
  if (uptime && live_)
    return Answer<Point>::Of(std::chrono::system_clock::now() -
                                 std::chrono::seconds(static_cast<int64_t>(std::floor(*uptime))),
                             std::string(kUptime));
  if (stat) return Answer<Point>::Fail(Status::Malformed, std::string(kStat), "no btime line");
  return {std::nullopt, stat.source};
}

Answer<LockKeyStates> LinuxMachineFacts::LockKeys() const {
  auto leds = files_->ListDir(kLeds);
  if (!leds) return {std::nullopt, leds.source};
  LockKeyStates states;
  for (const auto& led : *leds) {
    const auto key = LockKeyOfLed(led);
    if (key == LedKey::None) continue;
    auto brightness = files_->ReadLine(std::string(kLeds) + "/" + led + "/brightness");
    const bool on = brightness && !brightness->empty() && *brightness != "0";
    // Several keyboards each have the LED; any one lit means the toggle is on.
    if (key == LedKey::Caps) states.caps = states.caps || on;
    if (key == LedKey::Num) states.num = states.num || on;
    if (key == LedKey::Scroll) states.scroll = states.scroll || on;
  }
  return Answer<LockKeyStates>::Of(states, std::string(kLeds));
}

Answer<uint64_t> LinuxMachineFacts::KernelMemoryTotal() const {
  auto text = files_->ReadFile(kMeminfo);
  if (!text) return {std::nullopt, text.source};
  if (auto bytes = ParseMemTotal(*text)) return Answer<uint64_t>::Of(*bytes, std::string(kMeminfo));
  return Answer<uint64_t>::Fail(Status::Malformed, std::string(kMeminfo), "no MemTotal line");
}

std::shared_ptr<const MachineFactsService> MakeLinuxMachineFacts(
    std::shared_ptr<const FileReader> files, bool live) {
  return std::make_shared<LinuxMachineFacts>(std::move(files), live);
}

std::shared_ptr<const MachineFactsService> MachineFactsOf(const Services& services) {
  if (services.machine) return services.machine;
  return MakeLinuxMachineFacts(services.files, services.live);
}

}  // namespace tavrin::platform
