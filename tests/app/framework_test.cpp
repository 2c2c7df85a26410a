#include "session/framework.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "helpers/accessors.h"
#include "helpers/locale_code.h"
#include "platform/linux/settings_file.h"
#include "tests/helpers/test_support.h"
#include "text/labels.h"

namespace tavrin {
namespace {

using helpers::test::ScopedEnv;

TEST(FrameworkLanguage, LocaleNamesGiveAbbreviatedLanguageNames) {
  using helpers::LanguageCodeForLocale;
  EXPECT_EQ(LanguageCodeForLocale("de_DE.UTF-8"), "DEU");
  EXPECT_EQ(LanguageCodeForLocale("de_AT"), "DEA");
  EXPECT_EQ(LanguageCodeForLocale("de_CH.utf8@euro"), "DES");
  EXPECT_EQ(LanguageCodeForLocale("de_BE.UTF-8"), "DEU") << "unlisted territory: main code";
  EXPECT_EQ(LanguageCodeForLocale("en_US.UTF-8"), "ENU");
  EXPECT_EQ(LanguageCodeForLocale("en_GB"), "ENG");
  EXPECT_EQ(LanguageCodeForLocale("fr_FR"), "FRA");
  EXPECT_EQ(LanguageCodeForLocale("pt_BR"), "PTB");
  EXPECT_EQ(LanguageCodeForLocale("zh_TW.Big5"), "CHT");
  for (const char* neutral : {"C", "POSIX", "C.UTF-8", "", "xx_YY"})
    EXPECT_EQ(LanguageCodeForLocale(neutral), "ENU") << neutral;
}

TEST(FrameworkLanguage, MessageLocaleComesFromLcAllThenLcMessagesThenLang) {
  ScopedEnv all("LC_ALL", std::nullopt), messages("LC_MESSAGES", "fr_FR.UTF-8"),
      lang("LANG", "de_AT.UTF-8");
  EXPECT_EQ(helpers::UserLanguageCode(), "FRA");
  {
    ScopedEnv set("LC_ALL", "en_GB.UTF-8");
    EXPECT_EQ(helpers::UserLanguageCode(), "ENG");
  }
  {
    ScopedEnv empty("LC_MESSAGES", "");
    EXPECT_EQ(helpers::UserLanguageCode(), "DEA");
  }
  ScopedEnv none("LC_MESSAGES", std::nullopt), noLang("LANG", std::nullopt);
  EXPECT_EQ(helpers::UserLanguageCode(), "ENU");
}

// Runs in a child process: the framework changes process-wide state (crash handler, bound
// libraries, label table) that other tests must not see.
TEST(FrameworkDeathTest, InitializeAndFinalizeAroundTheSettings) {
  helpers::test::TempFolder tmp;
  auto scenario = [&] {
    helpers::test::IsolatedUser user(tmp.path());
    setenv("LANG", "de_AT.UTF-8", 1);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    helpers::testing::ResetDebugLog(tmp.path(), {});
    std::string failures;
    auto check = [&](bool ok, const char* what) {
      if (!ok) failures += std::string(what) + "\n";
    };

    char program[] = "tavrin", debug[] = "-Debug";
    char* argv[] = {program, debug, nullptr};
    session::InitializeFramework(2, argv);
    check(helpers::Options().ReadString("Language").empty(), "no language chosen yet");
    check(helpers::Localizer().GetLanguage() == "DEA", "the locale picks the language");
    check(lbl::S_YES == helpers::Localizer().GetText("S_YES"), "labels went through localizer");
    check(lbl::S_YES == "Ja", "German from LANG");
    session::FinalizeFramework();
    check(lbl::S_YES.empty(), "labels cleared");
    check(helpers::LoadedLibraries().empty(), "libraries unloaded");
    auto saved = platform::LoadSettingsFile(platform::SettingsFilePath());
    auto stored = saved.tree->ReadValue(platform::RegRoot::CurrentUser,
                                        "Software\\Tavrin\\Settings", "Language");
    // Storing the locale's language would make a later LANG change useless.
    check(!stored || stored->AsString() == "", "first run stores no language");
    check(helpers::test::CountContaining(helpers::test::ReadLogLines(tmp / "debug.log"),
                                         "Tavrin System Information") == 1,
          "-Debug as first argument logs");

    // A chosen language wins over the locale, on a second start in the same process.
    platform::RegistryTree tree;
    tree.SetValue(platform::RegRoot::CurrentUser, "Software\\Tavrin\\Settings", "Language",
                  platform::RegValue::String("FRA"));
    tree.SetValue(platform::RegRoot::CurrentUser, "Software\\Tavrin\\Settings", "LanguageChosen",
                  platform::RegValue::String("1"));
    platform::SaveSettingsFile(platform::SettingsFilePath(), tree);
    session::InitializeFramework(2, argv);
    check(helpers::Options().ReadString("Language") == "FRA", "stored language");
    session::FinalizeFramework();

    // A language stored without the mark of a choice (by an earlier version) is no choice:
    // the locale counts.
    platform::RegistryTree unchosen;
    unchosen.SetValue(platform::RegRoot::CurrentUser, "Software\\Tavrin\\Settings", "Language",
                      platform::RegValue::String("DEU"));
    platform::SaveSettingsFile(platform::SettingsFilePath(), unchosen);
    setenv("LANG", "C.UTF-8", 1);
    session::InitializeFramework(2, argv);
    check(lbl::S_YES == "Yes", "C locale: English");
    session::FinalizeFramework();

    std::fprintf(stderr, "%sframework checks done\n", failures.c_str());
    std::fflush(stderr);
    _exit(failures.empty() ? 0 : 1);
  };
  EXPECT_EXIT(scenario(), ::testing::ExitedWithCode(0),
              ::testing::HasSubstr("framework checks done"));
}

}  // namespace
}  // namespace tavrin
