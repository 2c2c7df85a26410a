// The services of libhelper.so, reached through their accessors as the program does.
#include <gtest/gtest.h>

#include "helpers/accessors.h"
#include "platform/linux/settings_file.h"
#include "tests/helpers/test_support.h"

namespace tavrin::helpers {
namespace {

using test::CountContaining;
using test::ScopedEnv;
using test::TempFolder;

TEST(HelpersFormatBytes, AutomaticUnitGroupsAndRounds) {
  IHelper& h = Helper();
  EXPECT_EQ(h.FormatBytes(kFormatAuto, ",", 1294467072, 2, 0, ""), "1.21 GB");
  EXPECT_EQ(h.FormatBytes(kFormatAuto, ",", 1023ull << 20 | 1ull << 19, 2, 0, ""), "1,023.50 MB");
  EXPECT_EQ(h.FormatBytes(kFormatAuto, ",", 0, 2, 0, ""), "0 bytes");
  EXPECT_EQ(h.FormatBytes(kFormatAuto, ",", 1023, 2, 0, ""), "1,023 bytes");
  EXPECT_EQ(h.FormatBytes(kFormatAuto, ",", 1024, 2, 0, ""), "1.00 KB");
  // 1023.999 KB rounds up to the next unit instead of showing "1,024.00 KB".
  EXPECT_EQ(h.FormatBytes(kFormatAuto, ",", 1048575, 2, 0, ""), "1.00 MB");
  EXPECT_EQ(h.FormatBytes(kFormatAuto, ",", UINT64_MAX, 2, 0, ""), "16,777,216.00 TB");
  EXPECT_EQ(h.FormatBytes(kFormatAuto, ".", 3ull << 40 | 1ull << 39, 1, 0, ""), "3,5 TB");
}

TEST(HelpersFormatBytes, FixedUnitFlagAndSuffix) {
  IHelper& h = Helper();
  EXPECT_EQ(h.FormatBytes(kFormatMegabytes, ",", 1294467072, 2, 0, ""), "1,234.50 MB");
  EXPECT_EQ(h.FormatBytes(kFormatKilobytes, ",", 5ull << 20, 0, 0, ""), "5,120 KB");
  EXPECT_EQ(h.FormatBytes(kFormatGigabytes, "", 3ull << 29, 3, 0, ""), "1.500 GB");
  EXPECT_EQ(h.FormatBytes(kFormatExact, " ", 1234567, 2, 0, ""), "1 234 567 bytes");
  // A count already in its unit keeps its value and takes the suffix instead of a unit.
  EXPECT_EQ(h.FormatBytes(kFormatExactGrouped, ",", 16384, 0, 1, " KB"), "16,384 KB");
  EXPECT_EQ(h.FormatBytes(kFormatKilobytesWhole, ",", 5ull << 20, 0, 0, ""), "5,120 KB");
  EXPECT_EQ(h.FormatBytes(kFormatMegabytes, ",", 1ull << 20, 2, 1, "/s"), "1.00/s");
}

class HelpersServices : public ::testing::Test {
 protected:
  TempFolder tmp_;
  test::IsolatedUser user_{tmp_.path()};
  ScopedEnv home_{"HOME", tmp_.path().string()};
  test::LogCapture log_{tmp_ / "log"};
};

TEST_F(HelpersServices, LinuxCodesStayOutsideTheAdministratorRange) {
  int32_t code = Helper().GetOSCode();
  EXPECT_TRUE(code < 4 || code > 9) << code;
  EXPECT_FALSE(Helper().GetOSName().empty());
  EXPECT_GT(Helper().GetInstalledMemory(kUnitMegabytes), 0u);
  EXPECT_EQ(Helper().GetInstalledMemory(kUnitMegabytes),
            Helper().GetInstalledMemory(kUnitBytes) >> 20);
}

TEST_F(HelpersServices, OpenLinkWithoutGraphicalSessionOnlyLogs) {
  ScopedEnv display("DISPLAY", std::nullopt), wayland("WAYLAND_DISPLAY", "");
  Helper().OpenLink("https://www.tavrin.example/");
  const std::vector<std::string> lines = log_.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("not opening https://www.tavrin.example/"), std::string::npos);
}

TEST_F(HelpersServices, DocumentsFolderFollowsUserDirs) {
  EXPECT_EQ(Helper().GetDocumentsFolder(), tmp_.path().string()) << "nothing set up: home";
  std::filesystem::create_directories(tmp_ / "Documents");
  EXPECT_EQ(Helper().GetDocumentsFolder(), (tmp_ / "Documents").string());
  test::WriteText(tmp_ / "config" / "user-dirs.dirs",
                  "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                  "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
  EXPECT_EQ(Helper().GetDocumentsFolder(), (tmp_ / "Dokumente").string());
}

TEST_F(HelpersServices, GlobalsNameTheProductAndItsFolders) {
  IGlobals& g = Globals();
  EXPECT_EQ(g.GetCompanyName() + " " + g.GetProductName(), "Tavrin Tavrin System Information");
  EXPECT_EQ(g.GetSettingsKeyRoot() + "Settings", "Software\\Tavrin\\Settings");
  EXPECT_EQ(g.GetDataFolder(), (tmp_ / "data" / "tavrin").string());
  ScopedEnv relative("XDG_DATA_HOME", "relative/data");
  EXPECT_EQ(g.GetDataFolder(), (tmp_ / ".local" / "share" / "tavrin").string());
  EXPECT_FALSE(g.GetProgramVersion().empty());
  EXPECT_FALSE(g.GetCurrentUserName().empty());
}

class HelpersOptions : public HelpersServices {
 protected:
  void Open() {
    ASSERT_TRUE(Options().OpenKey(RootKey::CurrentUser, "Software\\Tavrin\\Settings"));
    Options().RegisterDefault("Language", "ENU");
  }
  std::filesystem::path file_ = platform::SettingsFilePath();
};

TEST_F(HelpersOptions, CorruptFileKeepsDefaultsAndLogsOneLine) {
  test::WriteText(file_, "[Software\\Tavrin\\Settings]\nLanguage=\"DEU\"\nthis is no entry\n");
  Open();
  EXPECT_FALSE(Options().LoadOptions());
  EXPECT_EQ(Options().ReadString("Language"), "ENU");
  const std::vector<std::string> lines = log_.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("corrupt"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find(file_.string()), std::string::npos) << lines[0];
  EXPECT_TRUE(Options().SaveOptions());
  EXPECT_NE(test::ReadBytes(file_).find("this is no entry"), std::string::npos)
      << "nothing changed, so the user's file stays as it is";
}

TEST_F(HelpersOptions, SavesOnlyWhenChanged) {
  Open();
  ASSERT_TRUE(Options().LoadOptions());
  ASSERT_FALSE(std::filesystem::exists(file_));
  ASSERT_TRUE(Options().SaveOptions());
  EXPECT_FALSE(std::filesystem::exists(file_)) << "defaults alone are never written";

  // Someone else's key and a stored language; an unchanged save leaves the file alone.
  platform::RegistryTree tree;
  tree.SetValue(RootKey::CurrentUser, "Software\\Tavrin\\Settings", "Language",
                platform::RegValue::String("FRA"));
  tree.SetValue(RootKey::CurrentUser, "Software\\Tavrin\\DebugMode", "DebugMode",
                platform::RegValue::Dword(1));
  ASSERT_TRUE(platform::SaveSettingsFile(file_, tree));
  const std::string before = test::ReadBytes(file_);
  Open();
  ASSERT_TRUE(Options().LoadOptions());
  EXPECT_EQ(Options().ReadString("LANGUAGE"), "FRA");
  ASSERT_TRUE(Options().SaveOptions());
  EXPECT_EQ(test::ReadBytes(file_), before);

  Options().WriteString("Language", "DEU");
  ASSERT_TRUE(Options().SaveOptions());
  platform::SettingsLoad saved = platform::LoadSettingsFile(file_);
  ASSERT_TRUE(saved.problems.empty());
  auto language =
      saved.tree->ReadValue(RootKey::CurrentUser, "Software\\Tavrin\\Settings", "Language");
  ASSERT_TRUE(language);
  EXPECT_EQ(language->AsString(), "DEU");
  EXPECT_TRUE(
      saved.tree->ReadValue(RootKey::CurrentUser, "Software\\Tavrin\\DebugMode", "DebugMode"))
      << "other keys survive a save";
}

}  // namespace
}  // namespace tavrin::helpers
