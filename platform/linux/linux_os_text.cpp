#include "platform/linux/linux_os_text.h"

#include <cctype>
#include <ctime>
#include <vector>

#include "platform/shell_text.h"

#include "base/strings.h"

namespace tavrin::platform {
namespace {

using base::Trim;

}  // namespace

std::optional<UserAccount> FindPasswdEntry(std::string_view passwd, std::string_view user) {
  for (std::string_view line : TextLines(passwd)) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
      const auto colon = line.find(':', start);
      fields.push_back(line.substr(start, colon - start));
      if (colon == std::string_view::npos) break;
      start = colon + 1;
    }
    if (fields.size() < 6 || fields[0] != user) continue;
    UserAccount entry;
    entry.name = std::string(user);
    entry.fullName = std::string(Trim(fields[4].substr(0, fields[4].find(','))));
    entry.home = std::string(fields[5]);
    return entry;
  }
  return std::nullopt;
}

std::map<std::string, std::string> ParseUserDirs(std::string_view text, std::string_view home) {
  std::map<std::string, std::string> dirs;
  for (const auto& [name, value] : ParseShellAssignments(text)) {
    std::string path = value;
    if (path.rfind("$HOME", 0) == 0) {
      path = std::string(home) + path.substr(5);
    } else if (path.empty() || path.front() != '/') {
      continue;
    }
    dirs[name] = path;
  }
  return dirs;
}

std::optional<int64_t> EarliestLogStamp(std::string_view log) {
  std::optional<int64_t> earliest;
  for (std::string_view line : TextLines(log)) {
    if (line.size() < 19 || line[4] != '-' || line[7] != '-' || line[10] != ' ' ||
        line[13] != ':' || line[16] != ':')
      continue;
    auto num = [&line](std::size_t at, std::size_t len) {
      int v = 0;
      for (std::size_t i = at; i < at + len; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(line[i]))) return -1;
        v = v * 10 + (line[i] - '0');
      }
      return v;
    };
    const int y = num(0, 4), mo = num(5, 2), d = num(8, 2), h = num(11, 2), mi = num(14, 2),
              s = num(17, 2);
    if (y < 0 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 ||
        s < 0 || s > 60)
      continue;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    const int64_t stamp = static_cast<int64_t>(::timegm(&tm));
    if (!earliest || stamp < *earliest) earliest = stamp;
  }
  return earliest;
}

std::string ZoneOfLinkTarget(std::string_view target) {
  const auto at = target.find("zoneinfo/");
  if (at == std::string_view::npos) return {};
  std::string name(target.substr(at + 9));
  // posix/ and right/ trees hold the same zones with other leap-second treatment.
  for (std::string_view prefix : {"posix/", "right/"})
    if (name.rfind(prefix, 0) == 0) name.erase(0, prefix.size());
  return name;
}

TzRequest ParseTzVariable(std::string_view value) {
  TzRequest r;
  if (!value.empty() && value.front() == ':') {
    r.colon = true;
    value.remove_prefix(1);
  }
  if (value.empty()) return r;  // TZ="" and TZ=":" both mean UTC
  r.text = std::string(value);
  r.kind = value.front() == '/' ? TzRequest::Kind::File : TzRequest::Kind::NameOrRule;
  return r;
}

}  // namespace tavrin::platform
