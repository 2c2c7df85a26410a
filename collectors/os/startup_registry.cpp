// The start-up lists of a replayed Windows registry.
#include "base/strings.h"
#include "collectors/os/startup_sources.h"
#include "collectors/os/vsi_startup.h"
#include "collectors/os/windows_registry_reads.h"

namespace tavrin::collectors {
namespace {

using platform::RegRoot;

constexpr std::string_view kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr std::string_view kRunOnceEx = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx";
constexpr std::string_view kRunServices =
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr std::string_view kRunServicesOnce =
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce";
constexpr std::string_view kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr std::string_view kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr std::string_view kBho =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
constexpr std::string_view kClsid = "SOFTWARE\\Classes\\CLSID\\";

std::string Text(const platform::Registry& reg, RegRoot root, const std::string& key,
                 std::string_view name) {
  auto value = reg.ReadValue(root, key, name);
  return value ? platform::RegistryText(*value, {}) : std::string();
}

// Run, RunOnce, RunServices, RunServicesOnce: one line per value.
void ValueLines(const platform::Registry& reg, RegRoot root, const std::string& key,
                TStartupList& list) {
  for (const std::string& name : reg.ValueNames(root, key))
    list.push_back(name + "=" + Text(reg, root, key, name));
}

// RunOnceEx: the string values of each sub-key but "Depend", "||" removed and "|" a blank.
void OnceExLines(const platform::Registry& reg, RegRoot root, const std::string& key,
                 TStartupList& list) {
  for (const std::string& sub : reg.SubKeys(root, key)) {
    if (base::EqualsNoCase(sub, "Depend")) continue;
    const std::string subKey = key + "\\" + sub;
    for (const std::string& name : reg.ValueNames(root, subKey)) {
      auto value = winreg::String(reg, root, subKey, name);
      if (!value) continue;
      std::string text;
      for (std::size_t i = 0; i < value->size(); ++i) {
        if (value->compare(i, 2, "||") == 0) {
          ++i;
          continue;
        }
        text += (*value)[i] == '|' ? ' ' : (*value)[i];
      }
      list.push_back(sub + "=" + text);
    }
  }
}

}  // namespace

void ReadRegistryStartup(const platform::Registry& reg, RegRoot userRoot,
                         const std::string& userPrefix, TVexa_Startup& s) {
  const auto user = [&](std::string_view key) { return userPrefix + std::string(key); };
  const auto machine = [](std::string_view key) { return std::string(key); };
  ValueLines(reg, userRoot, user(kRun), s.HKCU_Runs);
  ValueLines(reg, RegRoot::LocalMachine, machine(kRun), s.HKLM_Runs);
  ValueLines(reg, userRoot, user(kRunOnce), s.HKCUOnce_Runs);
  ValueLines(reg, RegRoot::LocalMachine, machine(kRunOnce), s.HKLMOnce_Runs);
  OnceExLines(reg, userRoot, user(kRunOnceEx), s.HKCUOnceEx_Runs);
  OnceExLines(reg, RegRoot::LocalMachine, machine(kRunOnceEx), s.HKLMOnceEx_Runs);
  ValueLines(reg, userRoot, user(kRunServices), s.HKCUServices_Runs);
  ValueLines(reg, RegRoot::LocalMachine, machine(kRunServices), s.HKLMServices_Runs);
  ValueLines(reg, userRoot, user(kRunServicesOnce), s.HKCUServicesOnce_Runs);
  ValueLines(reg, RegRoot::LocalMachine, machine(kRunServicesOnce), s.HKLMServicesOnce_Runs);

  if (auto boot = reg.ReadValue(RegRoot::LocalMachine, kSessionManager, "BootExecute"))
    s.HKLMSessionManager_Runs.push_back("BootExecute=" + platform::RegistryText(*boot, {}));

  // "UserInit" may list several programs separated by ",,"; each gets a line.
  if (auto init = winreg::String(reg, RegRoot::LocalMachine, kWinlogon, "UserInit")) {
    std::string_view rest = *init;
    while (true) {
      const auto sep = rest.find(",,");
      const std::string_view part = rest.substr(0, sep);
      if (!part.empty()) s.HKLMWinLogon_Runs.push_back("UserInit=" + std::string(part));
      if (sep == std::string_view::npos) break;
      rest.remove_prefix(sep + 2);
    }
  }
  if (auto shell = winreg::String(reg, RegRoot::LocalMachine, kWinlogon, "Shell"))
    s.HKLMWinLogon_Runs.push_back("Shell=" + *shell);

  for (const std::string& id : reg.SubKeys(RegRoot::LocalMachine, kBho)) {
    const std::string cls = std::string(kClsid) + id;
    s.BHO_Runs.push_back(Text(reg, RegRoot::LocalMachine, cls, "") + "=" +
                         Text(reg, RegRoot::LocalMachine, cls + "\\InprocServer32", ""));
  }
}

}  // namespace tavrin::collectors
