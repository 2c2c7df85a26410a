// The operating-system facts below the collectors: the Linux texts they are read from, the TZ
// variable in all its forms, the snapshot form of every answer, and short reasons.
#include <gtest/gtest.h>

#include "platform/linux/linux_os_facts.h"
#include "platform/linux/linux_os_text.h"
#include "platform/os_facts_json.h"
#include "tests/support/test_services.h"

namespace tavrin::platform {
namespace {

TEST(LinuxOsText, PasswdUserDirsAndPackageLog) {
  const std::string passwd =
      "root:x:0:0:root:/root:/bin/bash\nann:x:1000:1000:Ann Example,Room "
      "1,,:/home/ann:/bin/sh\nshort:x\n";
  auto ann = FindPasswdEntry(passwd, "ann");
  ASSERT_TRUE(ann);
  EXPECT_EQ(*ann, (UserAccount{"ann", "Ann Example", "/home/ann"}));
  EXPECT_FALSE(FindPasswdEntry(passwd, "short"));
  EXPECT_FALSE(FindPasswdEntry(passwd, "an"));

  const auto dirs = ParseUserDirs(
      "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_MUSIC_DIR=\"/srv/"
      "music\"\nXDG_VIDEOS_DIR=\"videos\"\n",
      "/home/ann");
  EXPECT_EQ(dirs.at("XDG_DESKTOP_DIR"), "/home/ann/Schreibtisch");
  EXPECT_EQ(dirs.at("XDG_MUSIC_DIR"), "/srv/music");
  EXPECT_EQ(dirs.count("XDG_VIDEOS_DIR"), 0u) << "relative paths are not allowed";

  auto earliest = EarliestLogStamp(
      "2025-06-24 14:36:25 startup\ngarbage\n2024-01-02 03:04:05 install x\n2024-13-01 00:00:00 "
      "bad\n2024-01-01 25:00:00 bad hour\n");
  ASSERT_TRUE(earliest);
  EXPECT_EQ(*earliest, 1704164645);
  EXPECT_FALSE(EarliestLogStamp("no dates here\n"));
}

TEST(LinuxOsText, ZoneNamesAndTheTzVariable) {
  EXPECT_EQ(ZoneOfLinkTarget("../usr/share/zoneinfo/Europe/Berlin"), "Europe/Berlin");
  EXPECT_EQ(ZoneOfLinkTarget("/usr/share/zoneinfo/posix/Asia/Tokyo"), "Asia/Tokyo");
  EXPECT_EQ(ZoneOfLinkTarget("/etc/elsewhere"), "");

  using Kind = TzRequest::Kind;
  auto kind = [](const char* tz) { return ParseTzVariable(tz).kind; };
  EXPECT_EQ(kind(""), Kind::Utc);
  EXPECT_EQ(kind(":"), Kind::Utc);
  EXPECT_EQ(kind(":/etc/localtime"), Kind::File);
  EXPECT_EQ(kind("/zones/x"), Kind::File);
  EXPECT_EQ(kind(":America/New_York"), Kind::NameOrRule);
  EXPECT_TRUE(ParseTzVariable(":America/New_York").colon);
  EXPECT_EQ(ParseTzVariable(":America/New_York").text, "America/New_York");
  EXPECT_FALSE(ParseTzVariable("EST5EDT,M3.2.0,M11.1.0").colon);
}

// The zone in effect for each form TZ takes, over a file tree with one zone installed.
TEST(LinuxOsFacts, TimeZoneHonoursTz) {
  testing::TempDir tree;
  const std::string zone = std::string("TZif2") + std::string(100, '\x01');
  tree.Write("usr/share/zoneinfo/America/New_York", zone);
  tree.Write("etc/localtime", "system zone");
  tree.Write("etc/timezone", "Europe/Berlin\n");
  tree.Write("zones/mine", "my zone");
  auto zoneFor = [&](std::vector<std::string> env) {
    auto files = std::make_shared<FileReader>(tree.path());
    auto facts = MakeLinuxOsFacts(files, std::make_shared<FixedEnvironment>(std::move(env)),
                                  nullptr, LinuxCalls::FilesOnly);
    return facts->TimeZone();
  };
  auto system = zoneFor({});
  ASSERT_TRUE(system);
  EXPECT_EQ(*system, (ZoneFacts{"Europe/Berlin", "system zone", ""}));
  EXPECT_EQ(system.source.source, "/etc/localtime");

  for (const char* tz : {"TZ=America/New_York", "TZ=:America/New_York"}) {
    auto ny = zoneFor({tz});
    ASSERT_TRUE(ny) << tz;
    EXPECT_EQ(*ny, (ZoneFacts{"America/New_York", zone, ""})) << tz;
    EXPECT_EQ(ny.source.source, tz) << "the variable is the source";
  }
  auto rule = zoneFor({"TZ=EST5EDT,M3.2.0,M11.1.0"});
  ASSERT_TRUE(rule);
  EXPECT_EQ(*rule, (ZoneFacts{"", "", "EST5EDT,M3.2.0,M11.1.0"}));
  auto utc = zoneFor({"TZ="});
  ASSERT_TRUE(utc);
  EXPECT_EQ(utc->rule, "UTC0");
  auto file = zoneFor({"TZ=:/zones/mine"});
  ASSERT_TRUE(file);
  EXPECT_EQ(file->tzif, "my zone");
  auto dir = zoneFor({"TZ=New_York", "TZDIR=/usr/share/zoneinfo/America"});
  ASSERT_TRUE(dir);
  EXPECT_EQ(dir->tzif, zone) << "TZDIR moves the zone tree";

  auto unknown = zoneFor({"TZ=:Nowhere/City"});
  EXPECT_FALSE(unknown) << "a name with ':' is never a rule";
  EXPECT_EQ(unknown.source.Explain(), "TZ=:Nowhere/City: missing (no zone Nowhere/City)");
  auto climbing = zoneFor({"TZ=../../etc/timezone"});
  ASSERT_TRUE(climbing);
  EXPECT_TRUE(climbing->tzif.empty()) << "a name leaving the zone tree is read as a rule";
}

template <class T>
Answer<T> roundTrip(const Answer<T>& answer) {
  nlohmann::json j = nlohmann::json::parse(DumpJson(AnswerJson(answer)));
  return AnswerFromJson<T>(&j, "test");
}

TEST(OsFactsJson, EveryAnswerSurvivesItsSnapshotForm) {
  for (std::string bytes : {std::string(), std::string("a"), std::string("ab"),
                            std::string("TZif\0\x01\xff\x80zz", 10)}) {
    EXPECT_EQ(Base64Decode(Base64Encode(bytes)), bytes);
  }
  EXPECT_EQ(Base64Encode("Man"), "TWFu");
  EXPECT_FALSE(Base64Decode("T!Fu"));

  auto zone = Answer<ZoneFacts>::Of({"X/Y", std::string("TZif\0\xff", 6), "R1"}, "TZ=X/Y");
  EXPECT_EQ(*roundTrip(zone), *zone);
  EXPECT_EQ(roundTrip(zone).source.source, "TZ=X/Y");
  auto failed = Answer<UserAccount>::Fail(Status::PermissionDenied, "user database", "denied");
  EXPECT_EQ(roundTrip(failed).source.status, Status::PermissionDenied);
  LocaleFacts facts;
  facts.name = "de_DE.UTF-8";
  facts.negSignPosn = 1;
  facts.territoryName = "Germany";
  EXPECT_EQ(roundTrip(Answer<LocaleFacts>::Of(facts, "newlocale"))->territoryName, "Germany");
  GnomeProxySettings gnome;
  gnome.mode = "manual";
  gnome.socks = {"s", 1080};
  EXPECT_EQ(roundTrip(Answer<GnomeProxySettings>::Of(gnome, "g"))->socks.port, 1080);
  EXPECT_EQ(roundTrip(Answer<FolderList>::Of({{"Temp", "/tmp"}}, "f"))->at(0).second, "/tmp");

  EXPECT_EQ(AnswerFromJson<int64_t>(nullptr, "RootBirthTime").source.Explain(),
            "RootBirthTime: not supported here (not recorded in the snapshot)");
  nlohmann::json bad = {{"status", "ok"}, {"source", "x"}, {"value", "not a number"}};
  EXPECT_EQ(AnswerFromJson<int64_t>(&bad, "x").source.status, Status::Malformed);
}

TEST(ProvenanceExplain, OneShortReason) {
  EXPECT_EQ(
      Provenance::Failure(Status::PermissionDenied, "/dev/mem", "Permission denied").Explain(),
      "/dev/mem: permission denied");
  EXPECT_EQ(Provenance::Failure(Status::Missing, "tables",
                                "no route answered; /sys/x: missing (No such file)")
                .Explain(),
            "tables: missing (no route answered)");
  EXPECT_EQ(Provenance::Failure(Status::Missing, "", "").Explain(), "missing");
  EXPECT_EQ(Provenance::Answered("uname").Explain(), "from uname");
}

}  // namespace
}  // namespace tavrin::platform
