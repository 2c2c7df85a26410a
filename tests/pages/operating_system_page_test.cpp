// The Windows page from hand-written Windows snapshots, from a Linux tree with a fixed
// environment, and from this machine compared with its own sources.
#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <fstream>
#include <sstream>

#include "collectors/os/linux_config_text.h"
#include "gather/controller.h"
#include "pages/fillers.h"
#include "platform/linux/live_services.h"
#include "platform/os_environment.h"
#include "platform/recorded/snapshot.h"
#include "platform/recording/recorder.h"
#include "tests/collectors/os/os_test_services.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using collectors::TVexa_OperatingSystem;

const std::filesystem::path kFixtures =
    std::filesystem::path(TAVRIN_SOURCE_DIR) / "tests/fixtures/os";

// An aggregate whose OS slot uses `source` (null: the source the collector chooses itself).
std::shared_ptr<collectors::TVexa_SystemInfo> Aggregate(
    std::shared_ptr<const platform::Services> services,
    std::shared_ptr<const collectors::OsSource> source = nullptr) {
  auto standard = [](auto* type) {
    using T = std::remove_pointer_t<decltype(type)>;
    return collectors::TVexa_SystemInfo::Factory([](std::shared_ptr<const platform::Services> s) {
      return std::make_shared<T>(std::move(s));
    });
  };
  std::vector<collectors::TVexa_SystemInfo::Factory> slots = {
      standard(static_cast<collectors::TVexa_CPU*>(nullptr)),
      standard(static_cast<collectors::TVexa_Memory*>(nullptr)),
      [source](std::shared_ptr<const platform::Services> s)
          -> std::shared_ptr<collectors::TVexa_VSIC_Component> {
        if (source) return std::make_shared<TVexa_OperatingSystem>(s, source);
        return std::make_shared<TVexa_OperatingSystem>(s);
      },
      standard(static_cast<collectors::TVexa_Disk*>(nullptr)),
      standard(static_cast<collectors::TVexa_Machine*>(nullptr)),
  };
  return std::make_shared<collectors::TVexa_SystemInfo>(std::move(services), std::move(slots));
}

class WindowsPageTest : public ::testing::Test {
 protected:
  gather::TGetFunctionsClass controller;

  void TearDown() override { text::ApplyPlatformWording(false); }

  const Page& Fill(std::shared_ptr<collectors::TVexa_SystemInfo> aggregate,
                   bool refreshMachine = false) {
    controller.SetAggregate(aggregate);
    aggregate->Refresh<TVexa_OperatingSystem>(std::chrono::seconds(30));
    if (refreshMachine) aggregate->Refresh<collectors::TVexa_Machine>(std::chrono::seconds(30));
    controller.FillCategory(*FindCategory("wininfo"), nullptr);
    return *controller.FindPage("wininfo");
  }
  const Page& FillSnapshot(const std::string& name) {
    auto opened = platform::OpenSnapshot(kFixtures / name);
    EXPECT_TRUE(opened.services) << opened.error;
    return Fill(Aggregate(std::make_shared<const platform::Services>(std::move(*opened.services))));
  }
  static std::optional<std::string> Value(const Page& page, int section, std::string_view label) {
    for (const auto& row : page.Sections()[static_cast<std::size_t>(section)].Items)
      if (row.Caption == label) return std::string(TrimText(row.SubItems[0]));
    return std::nullopt;
  }
};

TEST_F(WindowsPageTest, WindowsSnapshotRows) {
  const Page& xp = FillSnapshot("xp");
  EXPECT_EQ(xp.Sections()[0].Caption, "Windows Information");
  EXPECT_EQ(Value(xp, 0, lbl::S_WIN_WINVERSION), "Windows XP (5.1.2600) Home");
  EXPECT_EQ(Value(xp, 0, lbl::S_WIN_LATESTSP), "Service Pack 3");
  EXPECT_EQ(Value(xp, 0, lbl::S_WIN_INSTALLED), "2009-07-13 17:18:53");
  EXPECT_EQ(Value(xp, 0, lbl::S_WIN_DEFAULTINTER),
            "C:\\Program Files\\Mozilla Firefox\\firefox.exe");
  EXPECT_EQ(Value(xp, 0, lbl::S_WIN_LANGUAGE), "Deutsch (Deutschland) (ID: $0407)");
  EXPECT_EQ(Value(xp, 0, lbl::S_WINCOUNTRYINFO), "Deutschland (Country Code: 49)");
  EXPECT_EQ(Value(xp, 0, "Time Zone Information:"),
            "(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna");
  EXPECT_FALSE(Value(xp, 0, lbl::S_WIN_LOGGEDUSER)) << "only Vista has the logged-user rows";
  EXPECT_FALSE(Value(xp, 0, lbl::S_WIN_SID));
  EXPECT_EQ(Value(xp, 1, lbl::S_WINREGISTEREDTO), "Eve Home");
  EXPECT_FALSE(Value(xp, 1, lbl::S_WIN_ORGANIZATION)) << "an empty value gives no row";
  EXPECT_EQ(Value(xp, 1, lbl::S_WIN_DVD), "2");
  EXPECT_EQ(Value(xp, 3, "Desktop"), "C:\\Documents and Settings\\Eve\\Desktop");
  EXPECT_FALSE(Value(xp, 3, "ProgramFiles")) << "folders with an empty path give no row";
  EXPECT_TRUE(xp.Sections()[2].Items.empty()) << "a replayed machine has no process environment";

  const Page& vista = FillSnapshot("vista");
  EXPECT_EQ(Value(vista, 0, lbl::S_WIN_LOGGEDUSER), "ann");
  EXPECT_EQ(Value(vista, 0, lbl::S_WIN_SID), "S-1-5-21-1004336348-1177238915-682003330-1000");
  EXPECT_EQ(Value(vista, 0, lbl::S_WIN_WINVERSION), "Windows Vista (6.0.6002) Home Premium");
}

TEST_F(WindowsPageTest, EnvironmentRowsSplitAtTheFirstEqualsSign) {
  testing::TempDir tree;
  std::vector<std::string> env = {"PATH=C:\\A=B", "=C:=C:\\", "NOEQUALS", "RAW=caf\xE9", "EMPTY="};
  for (int i = 0; i < 1000; ++i) env.push_back("FILL" + std::to_string(i) + "=xxxxxxxxxx");
  testing::LinuxTree linux{env};
  const Page& page = Fill(Aggregate(linux.Services(tree.path())));
  const auto& rows = page.Sections()[2].Items;
  EXPECT_EQ(Value(page, 2, "PATH"), "C:\\A=B");
  EXPECT_EQ(Value(page, 2, "RAW"), "caf\xEF\xBF\xBD") << "bytes that are not UTF-8 are replaced";
  for (const auto& row : rows) {
    EXPECT_NE(row.Caption, "NOEQUALS");
    EXPECT_NE(row.Caption, "EMPTY");
    EXPECT_FALSE(row.Caption.empty());
    EXPECT_TRUE(row.sensitive);
  }
  // Only variables that end within the first 4096 characters of the block.
  std::size_t used = 0;
  std::size_t shown = 0;
  for (const auto& line : env) {
    if (used + line.size() + 1 > 4096) break;
    used += line.size() + 1;
    if (line.find('=') != std::string::npos && line.front() != '=' && line.back() != '=') ++shown;
  }
  EXPECT_EQ(rows.size(), shown);
}

TEST_F(WindowsPageTest, LinuxWordingReplacesAndRestoresTexts) {
  const std::string windowsVersion = lbl::S_WIN_WINVERSION;
  text::ApplyPlatformWording(true);
  text::ApplyPlatformWording(true);  // twice changes nothing
  EXPECT_EQ(lbl::S_GEN_WINNAME, "Operating System Name:");
  EXPECT_EQ(lbl::S_WIN, "System Information");
  testing::TempDir tree;
  tree.Write("etc/os-release", "PRETTY_NAME=\"Example Linux 1\"\n");
  const Page& page = Fill(Aggregate(testing::MakeTestServices(tree.path())));
  EXPECT_EQ(page.Sections()[0].Caption, "System Information");
  EXPECT_TRUE(Value(page, 0, lbl::S_WIN_WINVERSION));
  EXPECT_EQ(Value(page, 0, "System Version:"), "Example Linux 1 (6.1.0)");
  text::ApplyPlatformWording(false);
  EXPECT_EQ(lbl::S_WIN_WINVERSION, windowsVersion);
  EXPECT_EQ(lbl::S_GEN_WINNAME, "Windows Name:");

  platform::Services windows;
  windows.system = std::make_shared<testing::FixedSystemFacts>();
  EXPECT_TRUE(text::DescribesLinux(windows));
  auto opened = platform::OpenSnapshot(kFixtures / "xp");
  ASSERT_TRUE(opened.services);
  EXPECT_FALSE(text::DescribesLinux(*opened.services));
}

// This machine: the page agrees with os-release, uname, the environment and the zone files.
TEST_F(WindowsPageTest, ThisMachineAgreesWithItsOwnSources) {
  auto services = std::make_shared<const platform::Services>(platform::MakeLiveServices());
  const Page& page = Fill(Aggregate(services), /*refreshMachine=*/true);

  std::ifstream osRelease("/etc/os-release");
  if (osRelease) {
    std::stringstream text;
    text << osRelease.rdbuf();
    const auto values = collectors::ParseOsRelease(text.str());
    if (auto it = values.find("PRETTY_NAME"); it != values.end()) {
      auto version = Value(page, 0, lbl::S_WIN_WINVERSION);
      ASSERT_TRUE(version);
      EXPECT_EQ(version->rfind(it->second, 0), 0u) << *version;
    }
  }
  utsname names{};
  ASSERT_EQ(::uname(&names), 0);
  EXPECT_EQ(Value(page, 0, lbl::S_WIN_LATESTSP), std::string(names.release));
  auto version = Value(page, 0, lbl::S_WIN_WINVERSION);
  EXPECT_NE(version->find(
                "(" + std::string(names.release)
                          .substr(0, std::string(names.release).find_first_not_of("0123456789."))),
            std::string::npos);

  const auto& machine = controller.Aggregate()->Machine();
  if (!machine.MachineName.empty()) {
    EXPECT_EQ(Value(page, 1, lbl::S_WIN_COMPNAME), std::string(names.nodename));
  }
  if (!machine.User.empty()) {
    EXPECT_EQ(Value(page, 1, lbl::S_WIN_USERNAME), machine.User);
  }

  const char* lang = std::getenv("LC_ALL");
  if (lang == nullptr || *lang == '\0') lang = std::getenv("LC_MESSAGES");
  if (lang == nullptr || *lang == '\0') lang = std::getenv("LANG");
  auto language = Value(page, 0, lbl::S_WIN_LANGUAGE);
  ASSERT_TRUE(language);
  EXPECT_NE(language->find("(ID: " + std::string(lang != nullptr && *lang ? lang : "C") + ")"),
            std::string::npos)
      << *language;
  EXPECT_EQ(Value(page, 2, "PATH"), std::string(std::getenv("PATH") ? std::getenv("PATH") : ""));

  std::ifstream timezone("/etc/timezone");
  std::string zone;
  if (timezone && std::getline(timezone, zone) && !zone.empty()) {
    EXPECT_EQ(Value(page, 0, "Time Zone Information:"), zone);
  } else {
    std::error_code ec;
    const auto target = std::filesystem::read_symlink("/etc/localtime", ec);
    if (ec) GTEST_SKIP() << "this machine names no time zone";
    const std::string t = target.string();
    EXPECT_EQ(Value(page, 0, "Time Zone Information:"), t.substr(t.find("zoneinfo/") + 9));
  }
}

// Every row as a line: section, label, value and where it came from, or why it is empty.
std::vector<std::string> RowLines(const Page& page) {
  std::vector<std::string> lines;
  for (const auto& section : page.Sections()) {
    for (const auto& row : section.Items)
      lines.push_back(section.Caption + " | " + row.Caption + " | " +
                      (row.SubItems.empty() ? "" : row.SubItems[0]) + " | " + row.source);
    for (const auto& missing : section.missing)
      lines.push_back(section.Caption + " | " + missing.label + " | (empty) | " + missing.reason);
  }
  return lines;
}

// A recording of this machine replays to the same rows: the operating-system answers, the
// environment and the locale descriptions travel in the snapshot.
TEST_F(WindowsPageTest, RecordedMachineReplaysTheSameRows) {
  testing::TempDir dir;
  std::vector<std::string> live;
  {
    platform::SnapshotRecorder recorder(dir.path() / "snap", platform::MakeLiveServices());
    live = RowLines(Fill(Aggregate(std::make_shared<const platform::Services>(recorder.services())),
                         /*refreshMachine=*/true));
    std::string error;
    ASSERT_TRUE(recorder.Finish(&error)) << error;
  }
  auto opened = platform::OpenSnapshot(dir.path() / "snap");
  ASSERT_TRUE(opened.services) << opened.error;
  EXPECT_TRUE(opened.warnings.empty()) << opened.warnings.front();
  const auto replayed = RowLines(
      Fill(Aggregate(std::make_shared<const platform::Services>(std::move(*opened.services))),
           /*refreshMachine=*/true));
  ASSERT_GT(live.size(), 5u);
  EXPECT_EQ(replayed, live);
}

// The language row names the language; the portable locale is named as such.
TEST_F(WindowsPageTest, LanguageRowNamesTheLanguage) {
  class Locales : public platform::LocaleDatabase {
   public:
    platform::Answer<platform::LocaleFacts> Describe(std::string_view name) const override {
      platform::LocaleFacts f;
      f.name = std::string(name);
      if (name == "en_US.UTF-8") {
        f.languageName = "English";
        f.territoryName = "United States";
      }
      return platform::Answer<platform::LocaleFacts>::Of(f, "test locales");
    }
  };
  testing::TempDir tree;
  auto language = [&](std::vector<std::string> env) {
    testing::LinuxTree linux{std::move(env), std::make_shared<Locales>()};
    return Value(Fill(Aggregate(linux.Services(tree.path()))), 0, lbl::S_WIN_LANGUAGE);
  };
  EXPECT_EQ(language({"LANG=en_US.UTF-8"}), "English (United States) (ID: en_US.UTF-8)");
  EXPECT_EQ(language({"LANG=C.UTF-8"}), "C (POSIX default) (ID: C.UTF-8)");
  EXPECT_EQ(language({}), "C (POSIX default)");
  EXPECT_EQ(language({"LC_ALL=POSIX"}), "C (POSIX default)");
}

// --explain names the right source of each value: the kernel release from uname, the boot
// time, user and computer name from their services, the folders from theirs.
TEST_F(WindowsPageTest, EachValueNamesItsSource) {
  auto services = std::make_shared<const platform::Services>(platform::MakeLiveServices());
  const Page& page = Fill(Aggregate(services), /*refreshMachine=*/true);
  auto sourceOf = [&page](int section, std::string_view label) -> std::string {
    for (const auto& row : page.Sections()[static_cast<std::size_t>(section)].Items)
      if (row.Caption == label) return row.source;
    for (const auto& missing : page.Sections()[static_cast<std::size_t>(section)].missing)
      if (missing.label == label) return missing.reason;
    return "(no row)";
  };
  EXPECT_EQ(sourceOf(0, lbl::S_WIN_LATESTSP), "uname");
  EXPECT_NE(sourceOf(0, lbl::S_WIN_LASTBOOT), "");
  EXPECT_NE(sourceOf(1, lbl::S_WIN_USERNAME), "");
  EXPECT_NE(sourceOf(1, lbl::S_WIN_COMPNAME), "");
  const auto installed = sourceOf(0, lbl::S_WIN_INSTALLED);
  EXPECT_TRUE(installed.find("creation time of the root file system") != std::string::npos ||
              installed.find("dpkg") != std::string::npos)
      << installed;
  for (const auto& row : page.Sections()[3].Items) EXPECT_NE(row.source, "") << row.Caption;
}

}  // namespace
}  // namespace tavrin::pages
