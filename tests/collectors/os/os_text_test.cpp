// The text rules and the Linux configuration readers: environment blocks, proxies, locale
// pictures, os-release quoting, the user database and the XDG files.
#include <gtest/gtest.h>

#include "collectors/os/linux_config_text.h"
#include "collectors/os/os_text_rules.h"

namespace tavrin::collectors {
namespace {

using namespace std::string_literals;

TEST(EnvironmentBlock, WalkStopsAtTheEmptyStringOrTheLimit) {
  EXPECT_EQ(EnvironmentLines("A=1\0B=2\0\0C=3\0\0"s), (std::vector<std::string>{"A=1", "B=2"}));
  // A string still open at the limit is dropped with everything after it.
  const std::string block = "AB=1\0CD=22\0EF=333\0\0"s;
  EXPECT_EQ(EnvironmentLines(block, 11), (std::vector<std::string>{"AB=1", "CD=22"}));
  EXPECT_EQ(EnvironmentLines(block, 10), (std::vector<std::string>{"AB=1"}));
  EXPECT_TRUE(EnvironmentLines(""s).empty());

  std::vector<std::string> many;
  for (int i = 0; i < 2000; ++i) many.push_back("VARIABLE_" + std::to_string(i) + "=value");
  const auto walked = EnvironmentLines(EnvironmentBlockOf(many));
  std::size_t used = 0;
  for (const auto& line : walked) used += line.size() + 1;
  EXPECT_LE(used, kEnvironmentWalkLimit);
  EXPECT_GT(used + many[walked.size()].size() + 1, kEnvironmentWalkLimit)
      << "the next one would not fit";
}

TEST(Assignments, SplitAtTheFirstEqualsSign) {
  EXPECT_EQ(SplitAssignment("PATH=C:\\A=B"),
            (std::pair<std::string_view, std::string_view>{"PATH", "C:\\A=B"}));
  EXPECT_EQ(SplitAssignment("=C:=C:\\").first, "");
  EXPECT_EQ(SplitAssignment("NOEQUALS").second, "");
}

TEST(Proxy, LinesKeepNamedEntriesAndNumberTheOthers) {
  EXPECT_EQ(ProxyLines("http=a:1;ftp=b:2"), (std::vector<std::string>{"http=a:1", "ftp=b:2"}));
  EXPECT_EQ(ProxyLines("proxy:8080"), (std::vector<std::string>{"0=proxy:8080"}));
  EXPECT_EQ(ProxyLines("x=1;bare"), (std::vector<std::string>{"x=1", "1=bare"}));
  EXPECT_TRUE(ProxyLines("").empty());
}

TEST(ProgramPath, CutsTheCommandBackToAnExistingFile) {
  auto exists = [](std::string_view p) { return p == "C:\\Program Files\\App\\app.exe"; };
  EXPECT_EQ(ProgramPathOfCommand("\"C:\\Program Files\\App\\app.exe\" -url \"%1\"", exists),
            "C:\\Program Files\\App\\app.exe");
  EXPECT_EQ(ProgramPathOfCommand("nothing.exe", exists), "");
}

TEST(Locale, NegativeCurrencyPatternsAndPictures) {
  EXPECT_EQ(NegativeCurrencyPattern('1', "€"), "-€1.1");
  EXPECT_EQ(NegativeCurrencyPattern('8', "kr"), "-1.1 kr");
  EXPECT_EQ(NegativeCurrencyPattern('x', "$"), "");
  EXPECT_EQ(PictureOfStrftime("%d.%m.%Y"), "dd.MM.yyyy");
  EXPECT_EQ(PictureOfStrftime("%a %d %b %Y %r %Z"), "ddd dd MMM yyyy hh:mm:ss tt");
  EXPECT_EQ(PictureOfStrftime("%Ey-%Om-%-d %%"), "yy-MM-d %");

  platform::LocaleFacts de;
  de.dateFormat = "%d.%m.%Y";
  de.dateTimeFormat = "%a %d %b %Y %T";
  de.timeFormat = "%T";
  de.decimalPoint = ",";
  de.currencySymbol = "€";
  de.csPrecedes = 0;
  de.sepBySpace = 1;
  de.negCsPrecedes = 0;
  de.negSepBySpace = 1;
  de.negSignPosn = 1;
  de.measurement = 1;
  const LocaleData l = LocaleFromFacts(de);
  EXPECT_EQ(l.DateSeparator, ".");
  EXPECT_EQ(l.TimeSeparator, ":");
  EXPECT_EQ(l.ShortDateOrder, TDateOrder::DMY);
  EXPECT_EQ(l.YearFormat, TYearFormat::FourDigit);
  EXPECT_EQ(l.TimeFormatSpecifier, TTimeFormat::H24);
  EXPECT_EQ(l.PositiveCurrencyMode, TPositiveCurrencyMode::Suffix_One_Char_Separation);
  EXPECT_EQ(l.NegativeCurrencyMode, "-1.1 €");
  EXPECT_EQ(l.ListSeparator, ";");
}

TEST(Utf8, InvalidSequencesAreReplaced) {
  EXPECT_EQ(ValidUtf8("plain ü €"), "plain ü €");
  EXPECT_EQ(ValidUtf8("caf\xE9"), "caf\xEF\xBF\xBD");
  EXPECT_EQ(ValidUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD") << "overlong";
  EXPECT_EQ(ValidUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD") << "surrogate";
  EXPECT_EQ(ValidUtf8("\xE2\x82"), "\xEF\xBF\xBD\xEF\xBF\xBD") << "cut short";
}

TEST(OsRelease, QuotesEscapesAndNoise) {
  const auto v = ParseOsRelease(
      "# comment\n"
      "NAME=\"Fancy \\\"Linux\\\" \\$HOME \\\\ x\"\r\n"
      "ID=fancy\n"
      "VERSION='1.0 \"beta\"'\n"
      "PRETTY_NAME=Fancy\\ Linux trailing\n"
      "not an assignment\n"
      "BAD-NAME=x\n"
      "EMPTY=\n");
  EXPECT_EQ(v.at("NAME"), "Fancy \"Linux\" $HOME \\ x");
  EXPECT_EQ(v.at("ID"), "fancy");
  EXPECT_EQ(v.at("VERSION"), "1.0 \"beta\"");
  EXPECT_EQ(v.at("PRETTY_NAME"), "Fancy Linux");
  EXPECT_EQ(v.at("EMPTY"), "");
  EXPECT_EQ(v.count("BAD-NAME"), 0u);
}

TEST(LinuxConfig, MimeappsAndDesktopEntries) {
  const std::string mimeapps =
      "[Added Associations]\nx-scheme-handler/http=other.desktop;\n"
      "[Default Applications]\nx-scheme-handler/http= firefox.desktop ; chromium.desktop;\n";
  EXPECT_EQ(DefaultApplication(mimeapps, "x-scheme-handler/http"), "firefox.desktop");
  EXPECT_FALSE(DefaultApplication(mimeapps, "x-scheme-handler/mailto"));

  const auto entry = ParseDesktopEntry(
      "[Desktop Entry]\nName=Firefox\nName[de]=Feuerfuchs\nExec=/usr/lib/firefox/firefox %u\n"
      "[Desktop Action new]\nName=New Window\n");
  EXPECT_EQ(entry.name, "Firefox");
  EXPECT_EQ(entry.program, "/usr/lib/firefox/firefox");
  EXPECT_EQ(ParseDesktopEntry("[Desktop Entry]\nExec=\"/opt/My App/app\" --x\n").program,
            "/opt/My App/app");
}

}  // namespace
}  // namespace tavrin::collectors
