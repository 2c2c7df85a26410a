#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "helpers/accessors.h"
#include "helpers/liblocalizer/language_file.h"
#include "tests/helpers/test_support.h"

namespace tavrin::helpers {
namespace {

using test::CountContaining;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr std::string_view kEnglishIni =
    "[Language]\n"
    "Name=English\n"
    "Codes=ENU,ENG,ENA\n"
    "[Labels]\n"
    "S_YES=\"Yes\"\n"
    "[report]\n"
    "title=\"System report\"\n";

// CRLF line ends, a byte-order mark, comments, inner quotes, a semicolon and a label far
// longer than one inih line.
std::string GermanIni() {
  return "\xEF\xBB\xBF; Deutsche Texte\r\n"
         "[Language]\r\n"
         "Name=Deutsch\r\n"
         "Codes=DEU, DEA,DES\r\n"
         "[Labels]\r\n"
         "S_YES=\"Ja\"\r\n"
         "s_no = \"Nein \"wirklich\" ; nie\"\r\n"
         "S_REC_FROM=\"" +
         std::string(300, 'x') +
         " %s\"\r\n"
         "[Report]\r\n"
         "title=\"Systembericht\"\r\n"
         "footer=Seite\r\n";
}

class HelpersLocalizer : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteText(lang_ / "English.ini", kEnglishIni);
    test::WriteText(lang_ / "German.ini", GermanIni());
  }

  bool Init(std::string_view code) {
    return Localizer().InitLocalizer(lang_.string(), "tavrin_tests", code);
  }
  std::string Translated(std::string_view key, std::string text) {
    Localizer().TranslateVar(key, text);
    return text;
  }

  test::TempFolder tmp_;
  test::IsolatedUser user_{tmp_.path()};
  test::LogCapture log_{tmp_ / "log"};
  std::filesystem::path lang_ = tmp_ / "Lang";
};

TEST_F(HelpersLocalizer, ChoosesTheFileListingTheCode) {
  ASSERT_TRUE(Init("dea"));
  EXPECT_EQ(Localizer().GetLanguage(), "DEA");
  EXPECT_EQ(Translated("S_YES", "Yes"), "Ja");
  EXPECT_EQ(Translated("S_NO", "No"), "Nein \"wirklich\" ; nie");
  EXPECT_EQ(Translated("S_REC_FROM", "?"), std::string(300, 'x') + " %s");
  EXPECT_EQ(Translated("S_NA", "n/a"), "n/a") << "a key the language lacks stays";
  EXPECT_EQ(Localizer().GetText("S_YES"), "Ja");
  EXPECT_EQ(Localizer().GetText("S_NA"), "n/a") << "English default";
  EXPECT_EQ(Localizer().GetText("S_NO_SUCH_KEY"), "");
  EXPECT_THAT(Localizer().GetSectionTexts("report"),
              ElementsAre("title=Systembericht", "footer=Seite"));

  std::vector<LanguageInfo> languages = Localizer().ListLanguages();
  ASSERT_EQ(languages.size(), 2u);
  EXPECT_EQ(languages[0].name, "Deutsch");
  EXPECT_EQ(languages[0].code, "DEU");
  EXPECT_EQ(languages[1].name, "English");
  EXPECT_EQ(CountContaining(log_.Lines(), "Localizer"), 1u);
}

TEST_F(HelpersLocalizer, MalformedFileFallsBackToEnglishWithOneLogLine) {
  test::WriteText(lang_ / "German.ini",
                  "[Language]\nName=Deutsch\nCodes=DEU\n[Labels]\nS_YES=\"Ja\"\nkaputt\n");
  EXPECT_FALSE(Init("DEU"));
  EXPECT_EQ(Localizer().GetLanguage(), "ENU");
  EXPECT_EQ(Translated("S_YES", "Yes"), "Yes");
  EXPECT_EQ(Localizer().GetText("S_YES"), "Yes");
  EXPECT_THAT(Localizer().GetSectionTexts("report"), ElementsAre("title=System report"));
  const auto lines = log_.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("German.ini is malformed (line 6"), std::string::npos) << lines[0];
  ASSERT_EQ(Localizer().ListLanguages().size(), 1u) << "only well-formed files are offered";
}

// A FIFO in the folder would block an ordinary read for ever, and a huge file would be read
// whole: both are refused unread and named, and the good files still serve.
TEST_F(HelpersLocalizer, FifoAndOversizedFilesAreRefusedUnread) {
  ASSERT_EQ(::mkfifo((lang_ / "Zzz.ini").c_str(), 0600), 0);
  // Valid text, then a hole past the limit: read whole it would parse as a language.
  test::WriteText(lang_ / "Big.ini", "[Language]\nName=Gross\nCodes=XXL\n");
  std::filesystem::resize_file(lang_ / "Big.ini", kMaxLanguageFileBytes + 1);

  ASSERT_TRUE(Init("DEU"));  // returns at all: the FIFO was not opened for a blocking read
  EXPECT_EQ(Translated("S_YES", "Yes"), "Ja");
  std::vector<std::string> offered;
  for (const LanguageInfo& l : Localizer().ListLanguages()) offered.push_back(l.name);
  EXPECT_THAT(offered, ElementsAre("Deutsch", "English"));

  EXPECT_FALSE(Init("XXL"));
  const auto lines = log_.Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_THAT(lines.back(), HasSubstr("Big.ini is malformed: cannot be read (larger than 4 MB)"));
}

TEST_F(HelpersLocalizer, MissingFolderOrCodeGivesBuiltInEnglish) {
  EXPECT_FALSE(Localizer().InitLocalizer((tmp_ / "nowhere").string(), "tavrin_tests", "DEU"));
  EXPECT_EQ(Localizer().GetLanguage(), "ENU");
  EXPECT_EQ(Translated("S_YES", "unchanged"), "unchanged");
  EXPECT_EQ(Localizer().GetText("S_USER_NOT_ADMIN").substr(0, 28), "This program can only run wi");
  EXPECT_THAT(Localizer().GetSectionTexts("report"), ElementsAre());

  EXPECT_FALSE(Init("FRA"));
  EXPECT_EQ(Localizer().GetLanguage(), "ENU");
  EXPECT_EQ(Translated("S_YES", "Yes"), "Yes");

  const auto lines = log_.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("not found"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("no language file for \"FRA\""), std::string::npos) << lines[1];
}

}  // namespace
}  // namespace tavrin::helpers
