#include "collectors/os/boot_entries.h"

#include <gtest/gtest.h>

namespace tavrin::collectors {
namespace {

TEST(BootEntries, UnitFiles) {
  const UnitFile unit = ParseUnitFile(
      "# comment\n"
      "[Unit]\n"
      "Description=OpenBSD Secure Shell server\n"
      "; another comment\n"
      "[Service]\n"
      "ExecStartPre=/usr/sbin/sshd -t\n"
      "ExecStart=-/usr/sbin/sshd -D \\\n"
      "  $SSHD_OPTS\n"
      "ExecStart=/never/second\n"
      "no equals sign here\n"
      "[Install]\n"
      "WantedBy=multi-user.target graphical.target\n"
      "RequiredBy=other.target\n"
      "Alias=sshd.service\n");
  EXPECT_EQ(unit.description, "OpenBSD Secure Shell server");
  EXPECT_EQ(unit.execStart, "/usr/sbin/sshd -D    $SSHD_OPTS");
  EXPECT_EQ(unit.wantedBy,
            (std::vector<std::string>{"multi-user.target", "graphical.target", "other.target"}));
  // "Description" outside [Unit] is not the unit's.
  EXPECT_EQ(ParseUnitFile("[Service]\nDescription=x\n").description, "");
}

TEST(BootEntries, EnablingLinks) {
  // The layout of /etc/systemd/system: .wants and .requires folders of targets, an alias link
  // beside them, a masked unit, and a unit pulled in by two targets.
  const std::vector<WantsLink> links = {
      {"multi-user.target.wants", "ssh.service", "/lib/systemd/system/ssh.service"},
      {"multi-user.target.wants", "masked.service", "/dev/null", true},
      {"getty.target.wants", "getty@tty1.service", "/lib/systemd/system/getty@.service"},
      {"graphical.target.wants", "ssh.service", "/lib/systemd/system/ssh.service"},
      {"local-fs.target.requires", "data.mount", "/etc/systemd/system/data.mount"},
      {"dbus-org.freedesktop.Avahi.service", "", "/lib/systemd/system/avahi-daemon.service"},
      {"ssh.service.d", "override.conf", "/etc/x"},
  };
  const auto units = EnabledUnits(links);
  ASSERT_EQ(units.size(), 3u);
  EXPECT_EQ(units[0].unit, "ssh.service");
  EXPECT_EQ(units[0].wantedBy, "multi-user.target");
  EXPECT_EQ(units[1].unit, "getty@tty1.service");
  EXPECT_EQ(units[1].unitPath, "/lib/systemd/system/getty@.service");
  EXPECT_EQ(units[2].wantedBy, "local-fs.target");
}

TEST(BootEntries, CronAndRcLocal) {
  const std::string system =
      "SHELL=/bin/sh\n"
      "17 * * * * root cd / && run-parts --report /etc/cron.hourly\n"
      "@reboot root /usr/local/bin/warm-cache --all\n"
      "  @reboot\tbackup  /opt/backup/start\n"
      "@rebooted root not-a-reboot-line\n"
      "# @reboot root commented\n"
      "@reboot root\n";
  EXPECT_EQ(CronRebootCommands(system, true),
            (std::vector<std::string>{"/usr/local/bin/warm-cache --all", "/opt/backup/start"}));
  EXPECT_EQ(CronRebootCommands("@reboot /home/ann/bin/sync\n", false),
            (std::vector<std::string>{"/home/ann/bin/sync"}));

  EXPECT_FALSE(RcLocalDoesSomething("#!/bin/sh -e\n# rc.local\n\nexit 0\n"));
  EXPECT_TRUE(RcLocalDoesSomething("#!/bin/sh\n/usr/bin/setleds -D +num\nexit 0\n"));
  EXPECT_FALSE(RcLocalDoesSomething(""));
}

}  // namespace
}  // namespace tavrin::collectors
