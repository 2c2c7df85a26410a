// Collector of programs started with the system or the session, one list per start-up
// location, each line "name=command".
//
// A replayed Windows registry fills the Run keys and their relatives, the session manager and
// Winlogon values and the browser helper objects (its start-up folders and INI files are files
// a registry snapshot does not hold). A Linux system fills the XDG autostart folders, the
// systemd units enabled through ".wants" links, cron's "@reboot" lines and rc.local.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "collectors/collector.h"
#include "platform/provenance.h"

namespace tavrin::collectors {

using TStartupList = std::vector<std::string>;

class TVexa_Startup : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Startup(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Startup", "Startup", std::move(services)) {}

  void RefreshData() override;

  // Windows locations.
  TStartupList HKCU_Runs, HKLM_Runs, HKCUOnce_Runs, HKLMOnce_Runs, HKCUOnceEx_Runs, HKLMOnceEx_Runs,
      HKCUServices_Runs, HKLMServices_Runs, HKCUServicesOnce_Runs, HKLMServicesOnce_Runs,
      HKLMSessionManager_Runs, HKLMWinLogon_Runs;
  /// Never filled: kept so the eighteen lists stay complete.
  TStartupList HKCULoad_Runs;
  TStartupList User_Runs, Common_Runs, WinINI_Runs, SystemINI_Runs, BHO_Runs;

  // Linux locations.
  TStartupList XdgSystem_Runs;      ///< /etc/xdg/autostart entries that start (unless the user
                                    ///< overrides them)
  TStartupList XdgUser_Runs;        ///< the user's autostart folder
  TStartupList SystemdSystem_Runs;  ///< system units enabled for boot ("unit=command")
  TStartupList SystemdUser_Runs;    ///< user units enabled for the user's session
  TStartupList Cron_Runs;           ///< "@reboot" lines ("crontab=command")
  TStartupList RcLocal_Runs;        ///< an rc.local that does something

  /// Lines over all lists.
  int RunsCount() const;

  /// One location: the list and where it came from, or why it is empty.
  struct Location {
    const char* name;  ///< the list's property name ("HKLM_Runs", "XdgSystem_Runs")
    const TStartupList* list;
    platform::Provenance source;
  };
  /// Every list in a fixed order, the Windows ones first.
  std::vector<Location> Locations() const;

 private:
  void ReadRegistry();
  void ReadLinux();
  // Every list with its property name, for the const and the filling side alike.
  template <class Self>
  static auto ListsOf(Self& s) -> std::vector<std::pair<const char*, decltype(&s.HKCU_Runs)>>;
  std::map<const TStartupList*, platform::Provenance> sources_;
};

}  // namespace tavrin::collectors
