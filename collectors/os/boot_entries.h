// Decoding what a Linux system starts at boot besides desktop sessions: systemd unit files and
// the links that enable them, cron's "@reboot" lines and the rc.local script.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin::collectors {

/// The parts of a unit file a start-up list shows ("[Unit]" and "[Install]" groups).
struct UnitFile {
  std::string description;
  std::string execStart;  ///< the first ExecStart of "[Service]", prefixes ("-", "@") removed
  std::vector<std::string> wantedBy;
};

/// Decodes a systemd unit file. Comments ("#", ";"), unknown groups and lines without "=" are
/// skipped; a line ending in a backslash continues on the next.
UnitFile ParseUnitFile(std::string_view text);

/// One link found in a ".wants" or ".requires" folder of a unit folder: the folder's name
/// ("multi-user.target.wants"), the link's name ("ssh.service") and where it points.
struct WantsLink {
  std::string folder;
  std::string unit;
  std::string target;
  bool masked = false;  ///< the link masks the unit instead of enabling it
};

/// A unit a target pulls in through an enabling link.
struct EnabledUnit {
  std::string unit;      ///< "ssh.service", "getty@tty1.service"
  std::string wantedBy;  ///< "multi-user.target"
  std::string unitPath;  ///< the file the link points at
};

/// The units the links enable, each once (the first link wins), in link order. Masking links
/// are left out, as are entries that are not in a ".wants" or ".requires" folder of a target.
std::vector<EnabledUnit> EnabledUnits(const std::vector<WantsLink>& links);

/// The command of every "@reboot" line of a crontab. `withUser`: the system tables
/// (/etc/crontab, /etc/cron.d) name the user before the command; the user's own tables do not.
std::vector<std::string> CronRebootCommands(std::string_view text, bool withUser);

/// Whether an rc.local script does anything: some line other than comments, blanks and a
/// closing "exit 0".
bool RcLocalDoesSomething(std::string_view text);

}  // namespace tavrin::collectors
