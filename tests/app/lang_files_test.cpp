// The language files shipped in Lang/: they must parse the way the localizer reads them and
// translate every label without losing what the program fills into or around the text.
#include "base/strings.h"
#include "text/labels.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tavrin {
namespace {

// Every label a language file translates: the classic table and the added rows' labels.
std::vector<labels::Entry> AllLabels() {
  std::vector<labels::Entry> all(labels::Table().begin(), labels::Table().end());
  all.insert(all.end(), labels::AddedTable().begin(), labels::AddedTable().end());
  return all;
}

// The INI reader works with a 200-byte line buffer (content, newline, terminator); anything
// longer is cut off and the rest of the line misread.
constexpr std::size_t kMaxLineBytes = 198;

struct IniFile {
  std::map<std::string, std::map<std::string, std::string>> sections;
  std::map<std::string, std::string> rawLabels;  // values as written, quotes included
  std::vector<std::string> problems;
};

// As the localizer trims: blanks and control characters.
std::string Trim(std::string_view s) {
  return std::string(base::Trim(s));
}

// Reads the file the way the localizer sees it: sections, key=value, whole-line comments,
// and one surrounding pair of double quotes stripped from a value.
IniFile ReadIni(const std::string& path) {
  IniFile ini;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ini.problems.push_back("cannot open " + path);
    return ini;
  }
  std::string line, section;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    const std::string where = "line " + std::to_string(number);
    if (line.size() > kMaxLineBytes) ini.problems.push_back(where + " is too long");
    const std::string text = Trim(line);
    if (text.empty() || text[0] == ';' || text[0] == '#') continue;
    if (text[0] == '[') {
      section = text.substr(1, text.find(']') - 1);
      ini.sections[section];
      continue;
    }
    const auto eq = text.find('=');
    if (eq == std::string::npos) {
      ini.problems.push_back(where + " has no '='");
      continue;
    }
    const std::string key = Trim(text.substr(0, eq));
    std::string value = Trim(text.substr(eq + 1));
    if (value.find(" ;") != std::string::npos)
      ini.problems.push_back(where + " would be cut at an inline comment");
    if (section == "Labels") ini.rawLabels[key] = value;
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (!ini.sections[section].emplace(key, value).second)
      ini.problems.push_back(where + " repeats " + key);
  }
  return ini;
}

std::string LangFile(const char* name) {
  return std::string(TAVRIN_SOURCE_DIR) + "/Lang/" + name;
}

std::vector<std::string> Matches(const std::string& text, const std::regex& re) {
  std::vector<std::string> out;
  for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
    out.push_back(it->str());
  return out;
}

std::set<std::string> Codes(const std::string& list) {
  std::set<std::string> codes;
  std::stringstream ss(list);
  for (std::string code; std::getline(ss, code, ',');) codes.insert(Trim(code));
  return codes;
}

TEST(LangFilesTest, EnglishNamesItsCodesAndTranslatesNothing) {
  const IniFile ini = ReadIni(LangFile("English.ini"));
  EXPECT_TRUE(ini.problems.empty()) << ::testing::PrintToString(ini.problems);
  ASSERT_TRUE(ini.sections.count("Language"));
  EXPECT_EQ(ini.sections.at("Language").at("Name"), "English");
  EXPECT_EQ(Codes(ini.sections.at("Language").at("Codes")),
            (std::set<std::string>{"ENU", "ENG", "ENA", "ENC", "ENZ", "ENI", "ENS", "ENL"}));
  ASSERT_TRUE(ini.sections.count("Labels"));
  EXPECT_TRUE(ini.sections.at("Labels").empty());
}

class GermanFileTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ini_ = new IniFile(ReadIni(LangFile("German.ini"))); }
  static void TearDownTestSuite() {
    delete ini_;
    ini_ = nullptr;
  }
  void TearDown() override { labels::ResetToDefaults(); }

  const std::map<std::string, std::string>& Labels() const { return ini_->sections["Labels"]; }

  static IniFile* ini_;
};

IniFile* GermanFileTest::ini_ = nullptr;

TEST_F(GermanFileTest, ParsesCleanlyAndServesTheGermanLocales) {
  EXPECT_TRUE(ini_->problems.empty()) << ::testing::PrintToString(ini_->problems);
  ASSERT_TRUE(ini_->sections.count("Language"));
  EXPECT_EQ(ini_->sections.at("Language").at("Name"), "Deutsch");
  EXPECT_EQ(Codes(ini_->sections.at("Language").at("Codes")),
            (std::set<std::string>{"DEU", "DEA", "DES", "DEL", "DEC"}));
}

TEST_F(GermanFileTest, TranslatesExactlyTheKeysOfTheTable) {
  std::set<std::string> expected;
  for (const auto& e : AllLabels()) {
    expected.emplace(e.key);
    EXPECT_TRUE(Labels().count(std::string(e.key))) << "missing " << e.key;
  }
  for (const auto& [key, value] : Labels()) EXPECT_TRUE(expected.count(key)) << "unknown " << key;
  for (const auto& [key, raw] : ini_->rawLabels)
    EXPECT_TRUE(raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') << key;
}

TEST_F(GermanFileTest, KeepsPlaceholdersTagsBlanksAndColons) {
  const std::regex placeholder("%[sd]");
  const std::regex tag("<[^>]*>");
  for (const auto& e : AllLabels()) {
    const auto it = Labels().find(std::string(e.key));
    if (it == Labels().end()) continue;  // reported by the key test
    const std::string english(e.english), german = it->second;
    ASSERT_FALSE(german.empty()) << e.key;
    EXPECT_EQ(Matches(german, placeholder), Matches(english, placeholder)) << e.key;
    EXPECT_EQ(Matches(german, tag), Matches(english, tag)) << e.key;
    EXPECT_EQ(german.front() == ' ', english.front() == ' ') << e.key;
    if (english.back() == ':' || english.back() == '#') {
      EXPECT_EQ(german.back(), english.back()) << e.key;
    }
  }
}

TEST_F(GermanFileTest, LocalizingWithItReplacesTheTexts) {
  labels::Localize([&](std::string_view key, std::string& text) {
    const auto it = Labels().find(std::string(key));
    if (it != Labels().end()) text = it->second;
  });
  EXPECT_EQ(lbl::S_YES, "Ja");
  EXPECT_EQ(lbl::S_CPU_SIZE, "Größe:");  // read as UTF-8
  EXPECT_EQ(lbl::S_COUNT_MHZ, " MHz");
  EXPECT_EQ(lbl::S_PRINTER, "%s (Anschluss: %d)");
  EXPECT_EQ(lbl::S_WIN_DESC.rfind("<font color = \"$404040\">", 0), 0u);
  // Cut out of untranslated type names, so it must stay as it is.
  EXPECT_EQ(lbl::S_COUNT_UNKNOWN, " Unknown,");
}

}  // namespace
}  // namespace tavrin
