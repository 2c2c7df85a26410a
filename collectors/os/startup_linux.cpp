// The start-up lists of a Linux system, decoded from the software service's answers.
#include <set>

#include "collectors/os/boot_entries.h"
#include "collectors/os/desktop_entry.h"
#include "collectors/os/startup_sources.h"

namespace tavrin::collectors {
namespace {

std::string FileName(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

std::string AutostartLine(const DesktopFileEntry& entry) {
  std::string command = CommandWithoutFieldCodes(entry.exec);
  if (command.empty()) command = entry.tryExec;
  return entry.name + "=" + command;
}

}  // namespace

AutostartLines AutostartEntries(const std::vector<platform::SoftwareFile>& system,
                                const std::vector<platform::SoftwareFile>& user,
                                const std::vector<std::string>& desktops,
                                const std::string& locale) {
  AutostartLines lines;
  // A user's entry of the same file name replaces the system's (often to switch it off with
  // "Hidden=true").
  std::set<std::string> overridden;
  for (const platform::SoftwareFile& file : user) {
    overridden.insert(FileName(file.path));
    const DesktopFileEntry entry = ParseDesktopEntry(file.text, locale);
    if (StartsWithSession(entry, desktops)) lines.user.push_back(AutostartLine(entry));
  }
  for (const platform::SoftwareFile& file : system) {
    if (overridden.count(FileName(file.path))) continue;
    const DesktopFileEntry entry = ParseDesktopEntry(file.text, locale);
    if (StartsWithSession(entry, desktops)) lines.system.push_back(AutostartLine(entry));
  }
  return lines;
}

std::vector<std::string> EnabledUnitLines(const std::vector<platform::UnitLink>& links) {
  std::vector<WantsLink> raw;
  raw.reserve(links.size());
  for (const platform::UnitLink& l : links) raw.push_back({l.folder, l.unit, l.target, l.masked});
  std::vector<std::string> lines;
  for (const EnabledUnit& unit : EnabledUnits(raw)) {
    std::string what = unit.unitPath;
    for (const platform::UnitLink& l : links)
      if (l.unit == unit.unit && !l.unitText.empty()) {
        const UnitFile file = ParseUnitFile(l.unitText);
        what = !file.execStart.empty()     ? file.execStart
               : !file.description.empty() ? file.description
                                           : what;
        break;
      }
    lines.push_back(unit.unit + "=" + what);
  }
  return lines;
}

std::vector<std::string> CronRebootLines(const std::vector<platform::CronTable>& tables) {
  std::vector<std::string> lines;
  for (const platform::CronTable& table : tables)
    for (const std::string& command : CronRebootCommands(table.file.text, table.withUser))
      lines.push_back(FileName(table.file.path) + "=" + command);
  return lines;
}

}  // namespace tavrin::collectors
