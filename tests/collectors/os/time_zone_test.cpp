// Time zones from TZif files and POSIX rules: both hemispheres, zones without daylight saving,
// and files that are missing or cut short.
#include <gtest/gtest.h>

#include <filesystem>

#include "collectors/os/linux_os_parts.h"
#include "collectors/os/os_dates.h"
#include "collectors/os/tzif.h"
#include "tests/collectors/os/os_test_services.h"

namespace tavrin::collectors {
namespace {

std::string Be(int64_t v, int width) {
  std::string out;
  for (int i = width - 1; i >= 0; --i)
    out += static_cast<char>((static_cast<uint64_t>(v) >> (8 * i)) & 0xFF);
  return out;
}

struct TypeSpec {
  int32_t utoff;
  bool dst;
  uint8_t abbrIndex;
};

// A TZif file of `version` with the same data in the 32- and 64-bit blocks.
std::string Tzif(char version, const std::vector<int64_t>& times, const std::vector<uint8_t>& idx,
                 const std::vector<TypeSpec>& types, const std::string& chars,
                 const std::string& footer) {
  auto block = [&](int width) {
    std::string b = "TZif";
    b += version;
    b += std::string(15, '\0');
    for (int64_t n : {0, 0, 0, static_cast<int>(times.size()), static_cast<int>(types.size()),
                      static_cast<int>(chars.size())})
      b += Be(n, 4);
    for (int64_t t : times) b += Be(t, width);
    for (uint8_t i : idx) b += static_cast<char>(i);
    for (const TypeSpec& t : types)
      b += Be(t.utoff, 4) + static_cast<char>(t.dst) + static_cast<char>(t.abbrIndex);
    b += chars;
    return b;
  };
  std::string file = block(4);
  if (version >= '2') file += block(8) + "\n" + footer + "\n";
  return file;
}

TEST(PosixTz, BothHemispheresAndNoDaylightSaving) {
  auto berlin = ParsePosixTz("CET-1CEST,M3.5.0,M10.5.0/3");
  ASSERT_TRUE(berlin);
  ZoneYear z = ZoneYearOf(*berlin, 2024);
  EXPECT_EQ(z.stdName, "CET");
  EXPECT_EQ(z.stdUtoff, 3600);
  EXPECT_EQ(z.dstUtoff, 7200);
  EXPECT_EQ(DateTimeText(*z.dstStart), "2024-03-31 02:00:00");
  EXPECT_EQ(DateTimeText(*z.stdStart), "2024-10-27 03:00:00");

  auto sydney = ParsePosixTz("AEST-10AEDT,M10.1.0,M4.1.0/3");
  ASSERT_TRUE(sydney);
  z = ZoneYearOf(*sydney, 2024);
  EXPECT_EQ(DateTimeText(*z.dstStart), "2024-10-06 02:00:00");
  EXPECT_EQ(DateTimeText(*z.stdStart), "2024-04-07 03:00:00");

  auto tokyo = ParsePosixTz("JST-9");
  ASSERT_TRUE(tokyo);
  z = ZoneYearOf(*tokyo, 2024);
  EXPECT_EQ(z.stdUtoff, 9 * 3600);
  EXPECT_FALSE(z.dstStart);
  EXPECT_EQ(z.dstName, "");

  auto quoted = ParsePosixTz("<-03>3");
  ASSERT_TRUE(quoted);
  EXPECT_EQ(quoted->stdName, "-03");
  EXPECT_EQ(quoted->stdUtoff, -3 * 3600);

  // Julian days never count February 29; zero-based days do.
  auto julian = ParsePosixTz("AAA0BBB,J60/0,300/0");
  ASSERT_TRUE(julian);
  z = ZoneYearOf(*julian, 2024);
  EXPECT_EQ(DateTimeText(*z.dstStart), "2024-03-01 00:00:00");
  EXPECT_EQ(DateTimeText(*z.stdStart), "2024-10-27 00:00:00");

  for (const char* bad : {"", "AB1", "CET", "CET-1CEST,M13.1.0,M10.5.0", "CET-1CEST,M3.5.0",
                          "CET-1CEST,M3.5.0,M10.5.0 x"})
    EXPECT_FALSE(ParsePosixTz(bad)) << bad;
}

TEST(Tzif, HandBuiltFilesAndTheirTransitions) {
  // Version 1: two transitions in 2024 between "STD" (+1 h) and "DST" (+2 h).
  const int64_t spring = DaysFromCivil(2024, 3, 31) * 86400 + 3600;  // 01:00 UTC
  const int64_t autumn = DaysFromCivil(2024, 10, 27) * 86400 + 3600;
  const std::string v1 = Tzif('\0', {spring, autumn}, {1, 0}, {{3600, false, 0}, {7200, true, 4}},
                              std::string("STD\0DST\0", 8), "");
  auto parsed = ParseTzif(v1);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->version, 0);
  auto year = ZoneYearOf(*parsed, 2024);
  ASSERT_TRUE(year);
  EXPECT_EQ(year->stdName, "STD");
  EXPECT_EQ(year->dstName, "DST");
  EXPECT_EQ(DateTimeText(*year->dstStart), "2024-03-31 02:00:00");
  EXPECT_EQ(DateTimeText(*year->stdStart), "2024-10-27 03:00:00");
  // A year past the last transition of a version 1 file has no transitions to show.
  EXPECT_FALSE(ZoneYearOf(*parsed, 2030)->dstStart);

  // Version 2: the footer rule speaks for the years after the table.
  const std::string v2 = Tzif('2', {0}, {0}, {{36000, false, 0}}, std::string("AEST\0", 5),
                              "AEST-10AEDT,M10.1.0,M4.1.0/3");
  parsed = ParseTzif(v2);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->footer, "AEST-10AEDT,M10.1.0,M4.1.0/3");
  year = ZoneYearOf(*parsed, 2024);
  EXPECT_EQ(DateTimeText(*year->dstStart), "2024-10-06 02:00:00");

  // Cut anywhere, the file is refused rather than read past its end.
  for (std::size_t cut :
       {std::size_t{0}, std::size_t{10}, std::size_t{44}, v2.size() / 2, v2.size() - 40})
    EXPECT_FALSE(ParseTzif(v2.substr(0, cut))) << "cut at " << cut;
  EXPECT_FALSE(ParseTzif("TZjf" + v2.substr(4)));
}

class ZoneFiles : public ::testing::Test {
 protected:
  testing::TempDir dir;
  TimeZoneReading Read(int year = 2024, std::vector<std::string> env = {}) {
    testing::LinuxTree linux{std::move(env)};
    return linuxparts::ReadTimeZone(*linux.Services(dir.path())->os, year);
  }
  bool CopyZone(const std::string& name) {
    const std::filesystem::path zone = "/usr/share/zoneinfo/" + name;
    if (!std::filesystem::exists(zone)) return false;
    std::filesystem::create_directories(dir.path() / "etc");
    std::filesystem::copy_file(zone, dir.path() / "etc/localtime");
    dir.Write("etc/timezone", name + "\n");
    return true;
  }
};

TEST_F(ZoneFiles, SystemZonesOfBothHemispheresAndWithoutDaylightSaving) {
  if (!CopyZone("Europe/Berlin")) GTEST_SKIP() << "no tzdata under /usr/share/zoneinfo";
  TimeZoneReading berlin = Read();
  EXPECT_EQ(berlin.DisplayName, "Europe/Berlin");
  EXPECT_EQ(berlin.StandardName, "CET");
  EXPECT_EQ(berlin.DaylightName, "CEST");
  EXPECT_EQ(berlin.Bias, -60);
  ASSERT_TRUE(berlin.transitions);
  EXPECT_EQ(DateTimeText(berlin.transitions->DaylightStart), "2024-03-31 02:00:00");
  EXPECT_EQ(DateTimeText(berlin.transitions->StandardStart), "2024-10-27 03:00:00");
  EXPECT_EQ(berlin.transitions->DaylightBias, -120);

  std::filesystem::remove_all(dir.path() / "etc");
  ASSERT_TRUE(CopyZone("Australia/Sydney"));
  TimeZoneReading sydney = Read();
  EXPECT_EQ(sydney.Bias, -600);
  ASSERT_TRUE(sydney.transitions);
  EXPECT_EQ(DateTimeText(sydney.transitions->StandardStart), "2024-04-07 03:00:00");
  EXPECT_EQ(DateTimeText(sydney.transitions->DaylightStart), "2024-10-06 02:00:00");

  std::filesystem::remove_all(dir.path() / "etc");
  ASSERT_TRUE(CopyZone("Asia/Tokyo"));
  TimeZoneReading tokyo = Read();
  EXPECT_EQ(tokyo.StandardName, "JST");
  EXPECT_EQ(tokyo.Bias, -540);
  EXPECT_FALSE(tokyo.transitions);
}

TEST_F(ZoneFiles, MissingOrTruncatedFilesGiveEmptyValues) {
  TimeZoneReading none = Read();
  EXPECT_EQ(none.source.status, platform::Status::Missing);
  EXPECT_EQ(none.StandardName, "");
  EXPECT_FALSE(none.transitions);

  const std::string v2 = Tzif('2', {0}, {0}, {{3600, false, 0}}, std::string("CET\0", 4),
                              "CET-1CEST,M3.5.0,M10.5.0/3");
  dir.Write("etc/timezone", "Europe/Test\n");
  dir.Write("etc/localtime", v2.substr(0, v2.size() / 2));
  TimeZoneReading cut = Read();
  EXPECT_EQ(cut.DisplayName, "Europe/Test") << "the name is known even when the data is not";
  EXPECT_EQ(cut.source.status, platform::Status::Malformed);
  EXPECT_EQ(cut.StandardName, "");
  EXPECT_FALSE(cut.transitions);
}

// TZ chooses the zone over the system's: a zone of the tree, or a POSIX rule of its own.
TEST_F(ZoneFiles, TzVariableWinsOverTheSystemZone) {
  dir.Write("etc/timezone", "Europe/Test\n");
  dir.Write("etc/localtime", Tzif('2', {0}, {0}, {{3600, false, 0}}, std::string("CET\0", 4),
                                  "CET-1CEST,M3.5.0,M10.5.0/3"));
  dir.Write(
      "usr/share/zoneinfo/America/New_York",
      Tzif('2', {0}, {0}, {{-18000, false, 0}}, std::string("EST\0", 4), "EST5EDT,M3.2.0,M11.1.0"));
  EXPECT_EQ(Read().Bias, -60);
  for (const char* tz : {"TZ=America/New_York", "TZ=:America/New_York"}) {
    TimeZoneReading ny = Read(2024, {tz});
    EXPECT_EQ(ny.DisplayName, "America/New_York") << tz;
    EXPECT_EQ(ny.Bias, 300) << tz;
    EXPECT_EQ(ny.DaylightName, "EDT") << tz;
    EXPECT_EQ(ny.source.source, tz);
  }
  TimeZoneReading rule = Read(2024, {"TZ=EST5EDT,M3.2.0,M11.1.0"});
  EXPECT_EQ(rule.DisplayName, "EST5EDT,M3.2.0,M11.1.0");
  EXPECT_EQ(rule.Bias, 300);
  ASSERT_TRUE(rule.transitions);
  EXPECT_EQ(DateTimeText(rule.transitions->DaylightStart), "2024-03-10 02:00:00");
  EXPECT_EQ(DateTimeText(rule.transitions->StandardStart), "2024-11-03 02:00:00");

  EXPECT_EQ(Read(2024, {"TZ="}).Bias, 0) << "an empty TZ is UTC";
  TimeZoneReading garbage = Read(2024, {"TZ=**"});
  EXPECT_EQ(garbage.source.status, platform::Status::Malformed);
  EXPECT_EQ(garbage.StandardName, "");
}

TEST(TransitionRules, WeekOfMonthAndAbsoluteDates) {
  TransitionRule last{0, 10, 0, 5, 3, 0, 0, 0};  // last Sunday of October, 03:00
  EXPECT_EQ(DateTimeText(*TransitionInYear(last, 2024)), "2024-10-27 03:00:00");
  EXPECT_EQ(DateTimeText(*TransitionInYear(last, 2026)), "2026-10-25 03:00:00");
  TransitionRule second{0, 3, 0, 2, 2, 0, 0, 0};  // second Sunday of March
  EXPECT_EQ(DateTimeText(*TransitionInYear(second, 2024)), "2024-03-10 02:00:00");
  TransitionRule absolute{2007, 4, 0, 1, 2, 0, 0, 0};
  EXPECT_EQ(DateTimeText(*TransitionInYear(absolute, 2024)), "2007-04-01 02:00:00");
  EXPECT_FALSE(TransitionInYear(TransitionRule{}, 2024));
}

TEST(OsDates, UnixAndDosStamps) {
  EXPECT_EQ(DateTimeText(DateTimeFromUnix(0)), "1970-01-01 00:00:00");
  EXPECT_DOUBLE_EQ(DateTimeFromUnix(0), 25569.0);
  EXPECT_EQ(DateTimeText(0), "1899-12-30 00:00:00");
  // 2001-02-03 04:05:06 as a DOS stamp (seconds in steps of two).
  const uint32_t date = ((2001 - 1980) << 9) | (2 << 5) | 3;
  const uint32_t time = (4 << 11) | (5 << 5) | 3;
  EXPECT_EQ(DateTimeText(*DateTimeFromDosStamp((date << 16) | time)), "2001-02-03 04:05:06");
  EXPECT_FALSE(DateTimeFromDosStamp(0));
}

}  // namespace
}  // namespace tavrin::collectors
