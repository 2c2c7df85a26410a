#include "app/startup/process_stats.h"

#include <time.h>
#include <unistd.h>

#include <charconv>
#include <fstream>
#include <sstream>
#include <string>

namespace tavrin::startup {
namespace {

std::string ReadWhole(const char* path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::optional<int64_t> MillisecondsSinceProcessStart() {
  // Field 22 of /proc/self/stat is the start time in clock ticks after boot; the command name
  // (field 2) may hold blanks, so counting starts after its closing parenthesis.
  const std::string stat = ReadWhole("/proc/self/stat");
  const auto close = stat.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
  }
  long long ticks = 0;
  if (std::from_chars(field.data(), field.data() + field.size(), ticks).ec != std::errc())
    return std::nullopt;
  timespec now{};
  if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) return std::nullopt;
  const long hz = sysconf(_SC_CLK_TCK);
  if (hz <= 0) return std::nullopt;
  const int64_t now_ms = static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
  return now_ms - static_cast<int64_t>(ticks) * 1000 / hz;
}

std::optional<int64_t> ResidentKilobytes(std::string_view text) {
  const auto at = text.find("VmRSS:");
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = text.substr(at + 6);
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  int64_t kb = 0;
  if (std::from_chars(rest.data(), rest.data() + rest.size(), kb).ec != std::errc())
    return std::nullopt;
  return kb;
}

std::optional<int64_t> ResidentKilobytes() {
  return ResidentKilobytes(ReadWhole("/proc/self/status"));
}

}  // namespace tavrin::startup
