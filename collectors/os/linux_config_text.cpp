#include "collectors/os/linux_config_text.h"

#include <cctype>

#include "base/strings.h"

#include "collectors/os/os_dates.h"

namespace tavrin::collectors {
namespace {

using base::Trim;

// A shell-style value: quoted parts joined, escapes in double quotes resolved.
std::string ShellValue(std::string_view v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const char c = v[i];
    if (c == '"') {
      for (++i; i < v.size() && v[i] != '"'; ++i) {
        if (v[i] == '\\' && i + 1 < v.size() &&
            std::string_view("\"\\$`").find(v[i + 1]) != std::string_view::npos)
          ++i;
        out += v[i];
      }
    } else if (c == '\'') {
      for (++i; i < v.size() && v[i] != '\''; ++i) out += v[i];
    } else if (c == '\\' && i + 1 < v.size()) {
      out += v[++i];
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      break;  // an unquoted blank ends the value
    } else {
      out += c;
    }
  }
  return out;
}

bool ValidName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
}

}  // namespace

std::vector<std::string_view> TextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::map<std::string, std::string> ParseOsRelease(std::string_view text) {
  std::map<std::string, std::string> values;
  for (std::string_view line : TextLines(text)) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view name = Trim(line.substr(0, eq));
    if (!ValidName(name)) continue;
    values[std::string(name)] = ShellValue(line.substr(eq + 1));
  }
  return values;
}

std::optional<PasswdEntry> FindPasswdEntry(std::string_view passwd, std::string_view user) {
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
    PasswdEntry entry;
    entry.fullName = std::string(Trim(fields[4].substr(0, fields[4].find(','))));
    entry.home = std::string(fields[5]);
    return entry;
  }
  return std::nullopt;
}

std::map<std::string, std::string> ParseUserDirs(std::string_view text, std::string_view home) {
  std::map<std::string, std::string> dirs;
  for (const auto& [name, value] : ParseOsRelease(text)) {
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

std::optional<std::string> DefaultApplication(std::string_view mimeapps,
                                              std::string_view mimeType) {
  bool inDefaults = false;
  for (std::string_view line : TextLines(mimeapps)) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inDefaults = line == "[Default Applications]";
      continue;
    }
    if (!inDefaults) continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || Trim(line.substr(0, eq)) != mimeType) continue;
    // A list of ids separated by ";": the first one is the default.
    std::string_view ids = Trim(line.substr(eq + 1));
    std::string_view first = Trim(ids.substr(0, ids.find(';')));
    if (!first.empty()) return std::string(first);
  }
  return std::nullopt;
}

DesktopEntry ParseDesktopEntry(std::string_view text) {
  DesktopEntry entry;
  bool inEntry = false;
  for (std::string_view line : TextLines(text)) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    const std::string_view value = Trim(line.substr(eq + 1));
    if (key == "Name" && entry.name.empty()) entry.name = std::string(value);
    if (key == "Exec" && entry.program.empty()) {
      if (!value.empty() && value.front() == '"') {
        const auto close = value.find('"', 1);
        entry.program = std::string(
            value.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      } else {
        entry.program = std::string(value.substr(0, value.find(' ')));
      }
    }
  }
  return entry;
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
    if (y < 0 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || mi < 0 || s < 0) continue;
    const int64_t stamp =
        DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86400 + h * 3600 +
        mi * 60 + s;
    if (!earliest || stamp < *earliest) earliest = stamp;
  }
  return earliest;
}

}  // namespace tavrin::collectors
