#include "collectors/os/boot_entries.h"

#include <algorithm>

#include "base/strings.h"

namespace tavrin::collectors {
namespace {

// Lines of `text` with backslash continuations joined.
std::vector<std::string> LogicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string pending;
  while (!text.empty()) {
    const auto eol = text.find('\n');
    std::string_view line = base::TrimEnd(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (!line.empty() && line.back() == '\\') {
      pending.append(line.substr(0, line.size() - 1));
      pending += ' ';
      continue;
    }
    pending.append(line);
    lines.push_back(std::move(pending));
    pending.clear();
  }
  if (!pending.empty()) lines.push_back(std::move(pending));
  return lines;
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && base::IsBlankOrControl(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !base::IsBlankOrControl(text[i])) ++i;
    if (i > start) words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

}  // namespace

UnitFile ParseUnitFile(std::string_view text) {
  UnitFile unit;
  std::string group;
  for (const std::string& raw : LogicalLines(text)) {
    const std::string_view line = base::Trim(raw);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    if (line.front() == '[') {
      group = std::string(line);
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = base::Trim(line.substr(0, eq));
    const std::string_view value = base::Trim(line.substr(eq + 1));
    if (group == "[Unit]" && key == "Description") {
      unit.description = std::string(value);
    } else if (group == "[Install]" && (key == "WantedBy" || key == "RequiredBy")) {
      for (std::string& w : Words(value)) unit.wantedBy.push_back(std::move(w));
    } else if (group == "[Service]" && key == "ExecStart" && unit.execStart.empty()) {
      // Prefixes say how to run the command ("-" ignore failure, "@" argv[0], "+", "!", ":").
      std::string_view command = value;
      while (!command.empty() &&
             std::string_view("-@+!:").find(command.front()) != std::string_view::npos)
        command.remove_prefix(1);
      unit.execStart = std::string(command);
    }
  }
  return unit;
}

std::vector<EnabledUnit> EnabledUnits(const std::vector<WantsLink>& links) {
  std::vector<EnabledUnit> units;
  for (const WantsLink& link : links) {
    std::string_view folder = link.folder;
    std::string_view suffix;
    for (std::string_view s : {std::string_view(".wants"), std::string_view(".requires")})
      if (folder.ends_with(s)) suffix = s;
    if (suffix.empty() || link.unit.empty() || link.masked) continue;
    folder.remove_suffix(suffix.size());
    const bool seen = std::any_of(units.begin(), units.end(),
                                  [&](const EnabledUnit& u) { return u.unit == link.unit; });
    if (seen) continue;
    units.push_back({link.unit, std::string(folder), link.target});
  }
  return units;
}

std::vector<std::string> CronRebootCommands(std::string_view text, bool withUser) {
  std::vector<std::string> commands;
  while (!text.empty()) {
    const auto eol = text.find('\n');
    const std::string_view line = base::Trim(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (!line.starts_with("@reboot") || line.size() == 7 || !base::IsBlankOrControl(line[7]))
      continue;
    std::string_view rest = base::Trim(line.substr(7));
    if (withUser) {
      // The user name is one word before the command.
      std::size_t i = 0;
      while (i < rest.size() && !base::IsBlankOrControl(rest[i])) ++i;
      rest = base::Trim(rest.substr(i));
    }
    if (!rest.empty()) commands.emplace_back(rest);
  }
  return commands;
}

bool RcLocalDoesSomething(std::string_view text) {
  while (!text.empty()) {
    const auto eol = text.find('\n');
    const std::string_view line = base::Trim(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (line.empty() || line.front() == '#' || line == "exit 0") continue;
    return true;
  }
  return false;
}

}  // namespace tavrin::collectors
