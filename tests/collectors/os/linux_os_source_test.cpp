// The Linux source over a captured file tree, a fixed environment and a fake locale database:
// odd os-release files, an unreadable machine id, huge and non-UTF-8 environments, the install
// date's two sources.
#include <gtest/gtest.h>

#include <atomic>

#include "collectors/os/os_dates.h"
#include "collectors/os/vsi_operating_system.h"
#include "platform/os_environment.h"
#include "platform/os_locale.h"
#include "platform/recorded/snapshot.h"
#include "tests/collectors/os/os_test_services.h"

namespace tavrin::collectors {
namespace {

// Files under a temporary root, except paths that answer "permission denied".
class DenyingReader : public platform::FileReader {
 public:
  DenyingReader(std::filesystem::path root, std::vector<std::string> denied)
      : FileReader(std::move(root)), denied_(std::move(denied)) {}
  platform::Answer<std::string> ReadFile(std::string_view path, std::size_t limit) const override {
    for (const auto& d : denied_)
      if (d == path)
        return platform::Answer<std::string>::Fail(platform::Status::PermissionDenied, d,
                                                   "Permission denied");
    return FileReader::ReadFile(path, limit);
  }

 private:
  std::vector<std::string> denied_;
};

class GermanLocales : public platform::LocaleDatabase {
 public:
  platform::Answer<platform::LocaleFacts> Describe(std::string_view name) const override {
    if (name != "de_DE.UTF-8" && name != "C")
      return platform::Answer<platform::LocaleFacts>::Fail(platform::Status::Missing,
                                                           std::string(name));
    platform::LocaleFacts f;
    f.name = std::string(name);
    f.codeset = name == "C" ? "ANSI_X3.4-1968" : "UTF-8";
    f.dateFormat = "%d.%m.%Y";
    f.timeFormat = "%T";
    f.decimalPoint = ",";
    f.currencySymbol = "€";
    f.languageName = name == "C" ? "" : "German";
    f.territoryName = name == "C" ? "" : "Germany";
    f.phonePrefix = "49";
    return platform::Answer<platform::LocaleFacts>::Of(f, "fake");
  }
};

class LinuxSource : public ::testing::Test {
 protected:
  testing::TempDir tree;
  std::vector<std::string> denied;

  void SetUp() override {
    tree.Write("etc/os-release",
               "NAME=\"Example Linux\"\nVERSION=\"7 (Quiet)\"\nVARIANT=\"Server "
               "Edition\"\nBUILD_ID=2024.1\n");
    tree.Write(
        "etc/passwd",
        "root:x:0:0:root:/root:/bin/sh\ntester:x:1000:1000:Tess Tester,,,:/home/tester:/bin/sh\n");
    tree.Write("etc/machine-id", "0123456789abcdef0123456789abcdef\n");
    tree.Write("proc/sys/kernel/osrelease", "6.1.0-test\n");
    tree.Write("proc/sys/kernel/arch", "x86_64\n");
    tree.Write("var/log/dpkg.log", "2023-05-06 07:08:09 startup archives unpack\n");
    tree.Write("home/tester/.config/user-dirs.dirs",
               "XDG_DESKTOP_DIR=\"$HOME/Desk\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    tree.Write("home/tester/.config/mimeapps.list",
               "[Default "
               "Applications]\nx-scheme-handler/http=web.desktop\nx-scheme-handler/"
               "mailto=missing.desktop\n");
    tree.Write("usr/share/applications/web.desktop",
               "[Desktop Entry]\nName=Web Browser\nExec=/usr/bin/web %u\n");
  }

  std::unique_ptr<TVexa_OperatingSystem> Gather(std::vector<std::string> env) {
    testing::LinuxTree linux{std::move(env), std::make_shared<GermanLocales>(), nullptr,
                             std::make_shared<DenyingReader>(tree.path(), denied)};
    auto os = std::make_unique<TVexa_OperatingSystem>(linux.Services(tree.path()));
    os->RefreshData();
    return os;
  }
};

TEST_F(LinuxSource, AnswersEveryGroupFromItsLinuxSource) {
  auto os = Gather(
      {"LANG=de_DE.UTF-8", "http_proxy=http://proxy:3128", "HTTPS_PROXY=http://secure:3129"});
  EXPECT_TRUE(os->IsLinux());
  EXPECT_EQ(os->OSName, "Example Linux 7 (Quiet)");
  EXPECT_EQ(os->OSEdition, "Server Edition");
  EXPECT_EQ(os->CSD, "6.1.0-test");
  EXPECT_EQ(os->Machine(), "x86_64");
  EXPECT_EQ(os->MajorVersion, 6u);
  EXPECT_EQ(os->OS, TOSVersion::osUnknown);
  EXPECT_FALSE(os->Identification().isNT);
  EXPECT_EQ(os->BuildLab, "2024.1");
  EXPECT_EQ(os->RegisteredUser, "Tess Tester");
  EXPECT_EQ(os->ProductID, "0123456789abcdef0123456789abcdef");
  EXPECT_EQ(os->ValueSources().release.source, "/proc/sys/kernel/osrelease");
  EXPECT_EQ(os->LanguageID, "de_DE.UTF-8");
  EXPECT_EQ(os->LocaleInfo().FullLocalizeLanguage, "German (Germany)");
  EXPECT_EQ(os->LocaleInfo().FullLanguageEnglishName, "German");
  EXPECT_EQ(os->LocaleInfo().CountryCode, "49");
  EXPECT_EQ(os->LocaleInfo().ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(os->LocaleInfo().CodeSet, "UTF-8");
  EXPECT_EQ(os->Internet().DefaultBrowserName, "Web Browser");
  EXPECT_EQ(os->Internet().DefaultBrowser, "/usr/bin/web");
  EXPECT_EQ(os->Internet().DefaultMailClientName, "missing.desktop") << "named, not installed";
  EXPECT_EQ(os->Internet().ConnectionType, TConnectionType::ctLAN);
  EXPECT_EQ(os->Internet().ProxyServer,
            (std::vector<std::string>{"http=http://proxy:3128", "https=http://secure:3129"}));
  auto has = [&os](const std::string& line) {
    return std::find(os->Folders.begin(), os->Folders.end(), line) != os->Folders.end();
  };
  EXPECT_TRUE(has("Desktop=/home/tester/Desk"));
  EXPECT_TRUE(has("Personal=/home/tester/Docs"));
  EXPECT_TRUE(has("Profile=/home/tester"));
  EXPECT_TRUE(has("ProgramFiles=/usr"));
}

TEST_F(LinuxSource, OsReleaseWithoutNamesAndAnUnreadableMachineId) {
  tree.Write("etc/os-release", "ID=mystery\nVERSION_ID=1\n");
  denied = {"/etc/machine-id"};
  auto os = Gather({});
  EXPECT_EQ(os->OSName, "Linux") << "os-release tells readers to assume this name";
  EXPECT_EQ(os->OSEdition, "");
  EXPECT_EQ(os->ProductID, "");
  EXPECT_EQ(os->ValueSources().productId.status, platform::Status::PermissionDenied);
  // Without a language in the environment the C locale answers.
  EXPECT_EQ(os->LanguageID, "C");
  EXPECT_EQ(os->LocaleInfo().CodeSet, "ANSI_X3.4-1968");

  std::filesystem::remove(tree.path() / "etc/os-release");
  os = Gather({});
  EXPECT_EQ(os->OSName, "Linux");
  EXPECT_EQ(os->ValueSources().identity.status, platform::Status::Ok)
      << "the version record still answered";
}

TEST_F(LinuxSource, HugeAndNonUtf8Environments) {
  std::vector<std::string> env;
  for (int i = 0; i < 100000; ++i)
    env.push_back("V" + std::to_string(i) + "=" + std::string(20, 'x'));
  env.insert(env.begin(), "RAW=caf\xE9");
  auto os = Gather(env);
  ASSERT_FALSE(os->Environment.empty());
  EXPECT_EQ(os->Environment.front(), "RAW=caf\xE9")
      << "the collector keeps the bytes; pages clean them";
  std::size_t used = 0;
  for (const auto& line : os->Environment) used += line.size() + 1;
  EXPECT_LE(used, 4096u);
}

// A bundle built without operating-system services reads what its file tree holds, the way
// snapshots of earlier versions kept these facts (the environment under /proc/self/environ).
TEST_F(LinuxSource, BundleWithoutOsServicesReadsItsFileTree) {
  auto services = testing::MakeTestServices(tree.path());
  TVexa_OperatingSystem without(services);
  without.RefreshData();
  EXPECT_EQ(without.OSName, "Example Linux 7 (Quiet)");
  EXPECT_EQ(without.RegisteredUser, "Tess Tester") << "the account named by the system facts";
  EXPECT_TRUE(without.Environment.empty());
  EXPECT_EQ(without.ValueSources().environment.status, platform::Status::Missing);
  EXPECT_EQ(without.LanguageID, "") << "without the environment the language is unknown";

  tree.Write("proc/self/environ", std::string("LANG=C\0PATH=/bin\0", 18));
  TVexa_OperatingSystem with(services);
  with.RefreshData();
  EXPECT_EQ(with.Environment, (std::vector<std::string>{"LANG=C", "PATH=/bin"}));
  EXPECT_EQ(with.LanguageID, "C");
  EXPECT_EQ(with.LocaleInfo().FullCountryCode, "") << "the C locale names no country";
}

// A snapshot written before the operating-system answers had a file of their own keeps them
// as copied files; it still replays.
TEST(LinuxSnapshot, EarlierFormatAnswersFromItsFiles) {
  testing::TempDir dir;
  dir.Write("snapshot.json", R"({"format": "tavrin-snapshot", "version": 1})");
  dir.Write("system.json", R"({"UserName": {"status": "ok", "source": "getpwuid_r", "value": "ann"},
    "OsVersionRecord": {"status": "ok", "source": "uname",
      "value": {"platform": 256, "major": 6, "minor": 1, "build": 0, "csd": "-9-amd64"}}})");
  dir.Write("files/etc/os-release", "PRETTY_NAME=\"Old Linux 1\"\n");
  dir.Write("files/etc/passwd", "ann:x:1000:1000:Ann Old:/home/ann:/bin/sh\n");
  dir.Write("files/proc/sys/kernel/osrelease", "6.1.0-9-amd64\n");
  dir.Write("files/proc/self/environ", std::string("LANG=C\0TZ=UTC0\0", 16));
  auto opened = platform::OpenSnapshot(dir.path());
  ASSERT_TRUE(opened.services) << opened.error;
  TVexa_OperatingSystem os(std::make_shared<const platform::Services>(std::move(*opened.services)));
  os.RefreshData();
  EXPECT_EQ(os.OSName, "Old Linux 1");
  EXPECT_EQ(os.CSD, "6.1.0-9-amd64");
  EXPECT_EQ(os.RegisteredUser, "Ann Old");
  EXPECT_EQ(os.Environment, (std::vector<std::string>{"LANG=C", "TZ=UTC0"}));
  EXPECT_EQ(os.TimeZone().DisplayName, "UTC0") << "the recorded TZ rule";
  EXPECT_EQ(os.Internet().proxySource.status, platform::Status::Missing);
}

// Building the collector reads nothing; the reads happen when it refreshes.
class CountingReader : public platform::FileReader {
 public:
  using FileReader::FileReader;
  platform::Answer<std::string> ReadFile(std::string_view path, std::size_t limit) const override {
    ++reads;
    return FileReader::ReadFile(path, limit);
  }
  mutable std::atomic<int> reads{0};
};

TEST_F(LinuxSource, ConstructionReadsNothing) {
  auto reader = std::make_shared<CountingReader>(tree.path());
  testing::LinuxTree linux{{}, nullptr, nullptr, reader};
  TVexa_OperatingSystem os(linux.Services(tree.path()));
  os.TimeZone().RefreshData();  // a part on its own, before its owner chose a source
  EXPECT_EQ(reader->reads, 0);
  os.RefreshData();
  EXPECT_GT(reader->reads, 0);
  EXPECT_EQ(os.OSName, "Example Linux 7 (Quiet)");
}

// Install evidence in order: the root file system's creation, then the package database,
// each named as the source; with neither, one short reason.
class BirthReader : public platform::FileReader {
 public:
  BirthReader(std::filesystem::path root, std::optional<int64_t> birth)
      : FileReader(std::move(root)), birth_(birth) {}
  platform::Answer<int64_t> BirthTime(std::string_view path) const override {
    if (!birth_) return platform::Answer<int64_t>::Fail(platform::Status::NotSupported, "statx");
    return platform::Answer<int64_t>::Of(*birth_, "statx " + std::string(path));
  }

 private:
  std::optional<int64_t> birth_;
};

TEST_F(LinuxSource, InstallDateFromCreationTimeThenPackageLog) {
  auto gather = [this](std::optional<int64_t> birth) {
    testing::LinuxTree linux{
        {}, nullptr, nullptr, std::make_shared<BirthReader>(tree.path(), birth)};
    auto os = std::make_unique<TVexa_OperatingSystem>(linux.Services(tree.path()));
    os->RefreshData();
    return os;
  };
  auto born = gather(1700000000);  // 2023-11-14 22:13:20 UTC
  EXPECT_EQ(DateTimeText(born->InstallDate), "2023-11-14 22:13:20");
  EXPECT_EQ(born->ValueSources().installDate.Explain(),
            "from creation time of the root file system");

  auto logged = gather(std::nullopt);
  EXPECT_EQ(DateTimeText(logged->InstallDate), "2023-05-06 07:08:09");
  EXPECT_EQ(logged->ValueSources().installDate.Explain(), "from oldest entry of /var/log/dpkg.log");

  std::filesystem::remove(tree.path() / "var/log/dpkg.log");
  auto none = gather(std::nullopt);
  EXPECT_FALSE(none->ValueSources().installDate.ok());
  EXPECT_EQ(none->ValueSources().installDate.Explain(),
            "/var/log/dpkg.log: missing (no package log)");
}

}  // namespace
}  // namespace tavrin::collectors
