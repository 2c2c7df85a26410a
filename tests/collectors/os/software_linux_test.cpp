// The software service over a Linux file tree, and the collectors that read it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "collectors/os/vsi_engines.h"
#include "collectors/os/vsi_software.h"
#include "collectors/os/vsi_startup.h"
#include "platform/software_probes.h"
#include "tests/support/test_services.h"

namespace tavrin::collectors {
namespace {

using testing::TempDir;

// A file reader that refuses one folder, as an unreadable home folder would (the tests may
// run as root, for whom modes refuse nothing).
class RefusingReader : public platform::FileReader {
 public:
  RefusingReader(std::filesystem::path root, std::string refused)
      : FileReader(std::move(root)), refused_(std::move(refused)) {}
  platform::Answer<std::vector<std::string>> ListDir(std::string_view path) const override {
    if (path == refused_)
      return platform::Answer<std::vector<std::string>>::Fail(platform::Status::PermissionDenied,
                                                              std::string(path), "refused");
    return FileReader::ListDir(path);
  }

 private:
  std::string refused_;
};

void WriteMachine(const TempDir& dir) {
  dir.Write("var/lib/dpkg/status",
            "Package: python3\nStatus: install ok installed\nMaintainer: Matthias Klose "
            "<doko@debian.org>\nArchitecture: amd64\nVersion: 3.11.2-1+b1\nInstalled-Size: 93\n"
            "Description: interactive high-level object-oriented language\n long text\n\n"
            "Package: libreoffice-core\nStatus: install ok installed\nArchitecture: amd64\n"
            "Version: 4:7.4.7-1+deb12u1\n\n"
            "Package: libreoffice-calc\nStatus: install ok installed\nArchitecture: amd64\n"
            "Version: 4:7.4.7-1+deb12u1\n\n"
            "Package: firefox-esr\nStatus: deinstall ok config-files\nVersion: 115.5.0esr-1\n\n");
  // dpkg was interrupted: its journal upgrades python3 and adds a package.
  dir.Write("var/lib/dpkg/updates/0001",
            "Package: python3\nStatus: install ok installed\nArchitecture: amd64\n"
            "Version: 3.11.4-1\nMaintainer: Matthias Klose <doko@debian.org>\n");
  dir.Write("var/lib/dpkg/updates/0002",
            "Package: chromium\nStatus: install ok installed\nVersion: 120.0.6099.224-1\n");
  dir.Write("var/lib/dpkg/updates/tmp.i", "Package: half-written");
  dir.Write("var/lib/dpkg/info/python3:amd64.list", "/usr/bin/python3\n");
  dir.Write("usr/share/applications/gedit.desktop",
            "[Desktop Entry]\nType=Application\nName=Text Editor\nName[de]=Texteditor\n"
            "Exec=gedit %U\n");
  dir.Write("usr/share/applications/hidden.desktop",
            "[Desktop Entry]\nType=Application\nName=Gone\nExec=gone\nHidden=true\n");
  dir.Write("home/ann/.local/share/applications/gedit.desktop",
            "[Desktop Entry]\nType=Application\nName=My Editor\nExec=gedit --mine\n");
  dir.Write("etc/xdg/autostart/tracker.desktop",
            "[Desktop Entry]\nType=Application\nName=Tracker\nExec=tracker daemon\n");
  dir.Write("etc/xdg/autostart/kde-only.desktop",
            "[Desktop Entry]\nType=Application\nName=KDE thing\nExec=kthing\nOnlyShowIn=KDE;\n");
  dir.Write("etc/xdg/autostart/switched-off.desktop",
            "[Desktop Entry]\nType=Application\nName=Off by user\nExec=off\n");
  dir.Write("home/ann/.config/autostart/switched-off.desktop", "[Desktop Entry]\nHidden=true\n");
  dir.Write("home/ann/.config/autostart/sync.desktop",
            "[Desktop Entry]\nType=Application\nName=Sync\nExec=/home/ann/bin/sync --quiet\n");
  dir.Write(
      "lib/systemd/system/ssh.service",
      "[Unit]\nDescription=OpenBSD Secure Shell server\n[Service]\nExecStart=/usr/sbin/sshd -D\n");
  dir.Write("lib/systemd/system/fstrim.timer", "[Unit]\nDescription=Discard unused blocks\n");
  const auto root = dir.path();
  std::filesystem::create_directories(root / "etc/systemd/system/multi-user.target.wants");
  std::filesystem::create_directories(root / "etc/systemd/system/timers.target.wants");
  std::filesystem::create_symlink("../../../../lib/systemd/system/ssh.service",
                                  root / "etc/systemd/system/multi-user.target.wants/ssh.service");
  std::filesystem::create_symlink("../../../../lib/systemd/system/fstrim.timer",
                                  root / "etc/systemd/system/timers.target.wants/fstrim.timer");
  std::filesystem::create_symlink("/dev/null",
                                  root / "etc/systemd/system/multi-user.target.wants/gone.service");
  dir.Write("etc/cron.d/warm", "@reboot root /usr/local/bin/warm --all\n");
  dir.Write("etc/rc.local", "#!/bin/sh\n/usr/bin/setleds -D +num\nexit 0\n");
}

std::shared_ptr<const platform::Services> LinuxServices(const TempDir& dir,
                                                        std::string refused = {}) {
  auto base = testing::MakeTestServices(dir.path());
  auto services = std::make_shared<platform::Services>(*base);
  services->files = std::make_shared<RefusingReader>(dir.path(), std::move(refused));
  services->software = platform::MakeLinuxSoftwareService(
      services->files, platform::MakeLiveSoftwareProbes(dir.path()), "/home/ann");
  return services;
}

TEST(SoftwareLinux, PackagesApplicationsAndJournal) {
  TempDir dir;
  WriteMachine(dir);
  TVexa_Software software(LinuxServices(dir));
  software.RefreshData();
  ASSERT_EQ(software.Count(), 5);
  const TSoftwareRecord& python = software.Record(0);
  EXPECT_EQ(python.Name, "python3");
  EXPECT_EQ(python.Version, "3.11.4-1") << "the journal's entry replaces the status file's";
  EXPECT_EQ(python.Company, "Matthias Klose");
  EXPECT_FALSE(python.SizeBytes.has_value()) << "the journal's entry has no size";
  ASSERT_TRUE(python.InstallTime.has_value()) << "from info/python3:amd64.list";
  EXPECT_NEAR(
      static_cast<double>(*python.InstallTime),
      static_cast<double>(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now())),
      600.0);
  EXPECT_TRUE(software.Record(3).ConfigOnly);
  EXPECT_EQ(software.Record(4).Name, "chromium");
  EXPECT_EQ(software.AppPaths(), (std::vector<std::string>{"My Editor=gedit --mine"}))
      << "the user's entry hides the system's of the same name; hidden entries are left out";
}

// Flatpak installations (system and user) and snaps name their publisher where their
// metadata does; a developer element's inner name is not the application's.
TEST(SoftwareLinux, FlatpakAndSnapVendors) {
  TempDir dir;
  const auto root = dir.path();
  const std::string calc = "var/lib/flatpak/app/org.gnome.Calculator/";
  dir.Write(calc + "x86_64/stable/active/metadata", "[Application]\nname=org.gnome.Calculator\n");
  dir.Write(calc + "x86_64/stable/active/files/share/metainfo/org.gnome.Calculator.metainfo.xml",
            "<component type=\"desktop-application\">\n  <id>org.gnome.Calculator</id>\n"
            "  <developer id=\"org.gnome\">\n    <name>The GNOME Project</name>\n"
            "  </developer>\n  <name>Calculator</name>\n  <name xml:lang=\"de\">Rechner</name>\n"
            "  <summary>Perform arithmetic</summary>\n"
            "  <releases><release version=\"45.0.2\" date=\"2023-11-01\"/>"
            "<release version=\"45.0\"/></releases>\n</component>\n");
  std::filesystem::create_symlink("x86_64/stable", root / calc / "current");
  // A user installation whose metainfo is found only in the exported copy.
  const std::string old = "home/ann/.local/share/flatpak/app/org.example.Old/";
  dir.Write(old + "x86_64/beta/active/export/share/metainfo/org.example.Old.metainfo.xml",
            "<component><name>Old Tool</name><developer_name>Old Corp</developer_name>"
            "</component>");
  std::filesystem::create_symlink("x86_64/beta", root / old / "current");
  dir.Write("snap/hello/42/meta/snap.yaml",
            "name: hello\nversion: '2.10'\nsummary: GNU Hello, the \"hello world\" snap\n"
            "publisher: Canonical\napps:\n  hello:\n    command: bin/hello\n");
  dir.Write("snap/store/7/meta/snap.yaml", "name: store\nversion: 1.0\n");
  std::filesystem::create_symlink("42", root / "snap/hello/current");
  std::filesystem::create_symlink("7", root / "snap/store/current");
  std::filesystem::create_directories(root / "snap/bin");

  TVexa_Software software(LinuxServices(dir));
  software.RefreshData();
  ASSERT_EQ(software.Count(), 4) << "snap/bin is no snap";
  auto find = [&](std::string_view id) -> const TSoftwareRecord* {
    for (int i = 0; i < software.Count(); ++i)
      if (software.Record(i).Id == id) return &software.Record(i);
    return nullptr;
  };
  const TSoftwareRecord* calculator = find("org.gnome.Calculator");
  ASSERT_NE(calculator, nullptr);
  EXPECT_EQ(calculator->Name, "Calculator");
  EXPECT_EQ(calculator->Company, "The GNOME Project");
  EXPECT_EQ(calculator->Version, "45.0.2");
  EXPECT_EQ(calculator->Summary, "Perform arithmetic");
  EXPECT_EQ(calculator->Origin, "flatpak");
  const TSoftwareRecord* oldTool = find("org.example.Old");
  ASSERT_NE(oldTool, nullptr);
  EXPECT_EQ(oldTool->Name, "Old Tool");
  EXPECT_EQ(oldTool->Company, "Old Corp");
  const TSoftwareRecord* hello = find("hello");
  ASSERT_NE(hello, nullptr);
  EXPECT_EQ(hello->Version, "2.10");
  EXPECT_EQ(hello->Company, "Canonical");
  EXPECT_EQ(hello->Summary, "GNU Hello, the \"hello world\" snap");
  const TSoftwareRecord* store = find("store");
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(store->Company, "") << "a snap.yaml without a publisher names none";
}

TEST(SoftwareLinux, StartupEntriesAndAnUnreadableUserFolder) {
  TempDir dir;
  WriteMachine(dir);
  TVexa_Startup startup(LinuxServices(dir));
  startup.RefreshData();
  EXPECT_EQ(startup.XdgSystem_Runs, (TStartupList{"KDE thing=kthing", "Tracker=tracker daemon"}))
      << "no desktop known: OnlyShowIn cannot rule an entry out; the user switched one off";
  EXPECT_EQ(startup.XdgUser_Runs, (TStartupList{"Sync=/home/ann/bin/sync --quiet"}));
  EXPECT_EQ(startup.SystemdSystem_Runs,
            (TStartupList{"ssh.service=/usr/sbin/sshd -D", "fstrim.timer=Discard unused blocks"}));
  EXPECT_EQ(startup.Cron_Runs, (TStartupList{"warm=/usr/local/bin/warm --all"}));
  EXPECT_EQ(startup.RcLocal_Runs, (TStartupList{"rc.local=/etc/rc.local"}));
  EXPECT_EQ(startup.RunsCount(), 7);

  TVexa_Startup refused(LinuxServices(dir, "/home/ann/.config/autostart"));
  refused.RefreshData();
  EXPECT_EQ(refused.XdgUser_Runs.size(), 0u);
  EXPECT_EQ(refused.XdgSystem_Runs.size(), 3u) << "without the user's overrides";
  for (const auto& location : refused.Locations()) {
    if (std::string_view(location.name) == "XdgUser_Runs") {
      EXPECT_EQ(location.source.status, platform::Status::PermissionDenied);
    }
  }
}

TEST(SoftwareLinux, RuntimesOfficeAndBrowsers) {
  TempDir dir;
  WriteMachine(dir);
  // A Node.js no package lists: its version comes from asking it.
  dir.Write("usr/local/bin/node", "#!/bin/sh\necho v20.10.0\n");
  ::chmod((dir.path() / "usr/local/bin/node").c_str(), 0755);
  TVexa_Engines engines(LinuxServices(dir));
  engines.RefreshData();
  EXPECT_FALSE(engines.FromRegistry);
  ASSERT_EQ(engines.Runtimes.size(), 2u);
  EXPECT_EQ(engines.Runtimes[0].Id, "python");
  EXPECT_EQ(engines.Runtimes[0].Version, "3.11.4");
  EXPECT_EQ(engines.Runtimes[1].Id, "node");
  EXPECT_EQ(engines.Runtimes[1].Version, "20.10.0");
  EXPECT_EQ(engines.Runtimes[1].Path, "/usr/local/bin/node");
  ASSERT_EQ(engines.Browsers.size(), 1u) << "firefox-esr's configuration alone is no browser";
  EXPECT_EQ(engines.Browsers[0].Name, "Chromium");
  ASSERT_EQ(engines.Office.Suites.size(), 1u);
  EXPECT_EQ(engines.Office.Suites[0].Version, "7.4.7");
  EXPECT_EQ(engines.Office.Suites[0].Components, (std::vector<std::string>{"Calc"}));
  EXPECT_EQ(engines.Office.InstalledDescription(), "LibreOffice 7.4.7");
}

TEST(SoftwareLinux, AHangingRuntimeIsEndedByTheTimeLimit) {
  TempDir dir;
  dir.Write("usr/bin/ruby", "#!/bin/sh\nsleep 60\n");
  ::chmod((dir.path() / "usr/bin/ruby").c_str(), 0755);
  auto services = LinuxServices(dir);
  const auto start = std::chrono::steady_clock::now();
  auto answer = services->software->RuntimeVersionOutput("ruby");
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(answer.source.status, platform::Status::TimedOut);
  EXPECT_LT(took, std::chrono::seconds(10));
  EXPECT_EQ(services->software->RuntimeVersionOutput("nothing").source.status,
            platform::Status::Missing);
}

TEST(SoftwareLinux, NoPackageDatabase) {
  TempDir dir;
  TVexa_Software software(LinuxServices(dir));
  software.RefreshData();
  EXPECT_EQ(software.Count(), 0);
  EXPECT_EQ(software.ValueSources().records.status, platform::Status::Missing);
  TVexa_Software none(testing::MakeTestServices(dir.path()));
  none.RefreshData();
  EXPECT_EQ(none.ValueSources().records.status, platform::Status::NotSupported);
}

}  // namespace
}  // namespace tavrin::collectors
