// Service units read from the unit files, for when no service manager answers on the bus (a
// container, a system started without systemd): name, description, program, account, start type.
#include <algorithm>
#include <map>
#include <set>

#include "platform/linux/linux_processes.h"
#include "platform/linux/proc_text.h"

namespace tavrin::platform {
namespace {

// Unit folders, the administrator's first: a unit there hides one of the same name further down.
constexpr const char* kUnitDirs[] = {"/etc/systemd/system", "/run/systemd/system",
                                     "/usr/local/lib/systemd/system", "/usr/lib/systemd/system",
                                     "/lib/systemd/system"};
constexpr const char* kAdminDir = "/etc/systemd/system";

bool IsServiceUnit(const std::string& name) {
  // Templates ("getty@.service") are no units of their own until instantiated.
  return name.ends_with(".service") && !name.ends_with("@.service");
}

}  // namespace

Answer<std::vector<ServiceRecord>> ReadUnitFiles(const FileReader& files) {
  std::map<std::string, std::string> unitPaths;  // unit name -> file that defines it
  std::set<std::string> masked;
  bool anyDir = false;
  for (const char* dir : kUnitDirs) {
    auto names = files.ListDir(dir);
    if (!names) continue;
    anyDir = true;
    for (const auto& name : *names) {
      if (!IsServiceUnit(name) || unitPaths.contains(name) || masked.contains(name)) continue;
      const std::string path = std::string(dir) + "/" + name;
      if (auto target = files.ReadLink(path)) {
        if (*target == "/dev/null") {
          masked.insert(name);
          continue;
        }
        // An alias names another unit; that unit is listed under its own name.
        if (proc::FileNamePart(*target) != name) continue;
      }
      unitPaths.emplace(name, path);
    }
  }
  if (!anyDir)
    return Answer<std::vector<ServiceRecord>>::Fail(Status::Missing, "/lib/systemd/system",
                                                    "no service unit folders");
  // Enabled units are linked from the .wants and .requires folders of their targets.
  std::set<std::string> enabled;
  if (auto entries = files.ListDir(kAdminDir)) {
    for (const auto& entry : *entries) {
      if (!entry.ends_with(".wants") && !entry.ends_with(".requires")) continue;
      if (auto links = files.ListDir(std::string(kAdminDir) + "/" + entry))
        for (const auto& link : *links) enabled.insert(link);
    }
  }
  std::vector<ServiceRecord> services;
  for (const auto& [name, path] : unitPaths) {
    ServiceRecord s;
    s.name = name;
    s.displayName = name;
    if (auto text = files.ReadFile(path)) {
      const proc::UnitFile unit = proc::ParseUnitFile(*text);
      if (!unit.description.empty()) s.displayName = unit.description;
      s.imageName = unit.execStart;
      s.objectName = unit.user.empty() ? "root" : unit.user;
      s.dependOnService = unit.required;
    }
    s.startup = enabled.contains(name) ? ServiceStart::kAutomatic : ServiceStart::kManual;
    // Without the service manager nothing tells whether the unit runs.
    s.status = ServiceState::kUnknown;
    services.push_back(std::move(s));
  }
  for (const auto& name : masked) {
    if (unitPaths.contains(name)) continue;
    ServiceRecord s;
    s.name = s.displayName = name;
    s.startup = ServiceStart::kDisabled;
    s.status = ServiceState::kStopped;
    services.push_back(std::move(s));
  }
  std::sort(services.begin(), services.end(),
            [](const ServiceRecord& a, const ServiceRecord& b) { return a.name < b.name; });
  return Answer<std::vector<ServiceRecord>>::Of(std::move(services), "unit files");
}

Answer<std::vector<ServiceRecord>> ReadLinuxServiceUnits(const FileReader& files, bool live) {
  if (live) {
    auto fromBus = ReadServiceManagerUnits();
    if (fromBus) return fromBus;
  }
  return ReadUnitFiles(files);
}

}  // namespace tavrin::platform
