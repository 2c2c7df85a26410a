#include "helpers/debug_log.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "helpers/program_path.h"
#include "platform/linux/settings_file.h"
#include "tests/helpers/test_support.h"

namespace tavrin::helpers {
namespace {

using test::ReadBytes;
using test::ReadLogLines;
using test::TempFolder;

class HelpersDebugLog : public ::testing::Test {
 protected:
  // Leaves the mode "off", so later tests of this process write no log anywhere.
  void TearDown() override {
    testing::ResetDebugLog(tmp_.path(), {});
    testing::DecideDebugMode(false);
  }

  // Writes the settings file that the mode decision reads.
  void StoreDebugMode(platform::RegValue value) {
    platform::RegistryTree tree;
    tree.SetValue(platform::RegRoot::CurrentUser, "Software\\Tavrin\\DebugMode", "DebugMode",
                  std::move(value));
    ASSERT_TRUE(platform::SaveSettingsFile(platform::SettingsFilePath(), tree));
  }

  bool LogsWith(std::vector<std::string> arguments) {
    testing::ResetDebugLog(tmp_.path(), std::move(arguments));
    DebugLog("probe");
    return std::filesystem::exists(tmp_ / "debug.log");
  }

  TempFolder tmp_;
  test::IsolatedUser user_{tmp_.path()};
};

TEST_F(HelpersDebugLog, LinesAreUtf16LeAfterOneBomAndEndInCrlf) {
  testing::ResetDebugLog(tmp_.path(), {"-debug"});
  DebugLog("Grüße €");
  DebugLogFmt("VSI_CPU. %d caches, %s", 3, "done");
  DebugLog("bad \xFF byte");

  const std::string bytes = ReadBytes(tmp_ / "debug.log");
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.size() % 2, 0u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE", 2)) << "byte-order mark";
  EXPECT_EQ(bytes.find(std::string("\xFF\xFE", 2), 2), std::string::npos) << "only once";
  // "0" of the hour as one UTF-16LE code unit
  EXPECT_EQ(bytes[3], '\0');
  EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\r\0\n\0", 4));

  const std::vector<std::string> lines = ReadLogLines(tmp_ / "debug.log");
  ASSERT_EQ(lines.size(), 3u);
  const std::regex stamp(R"(^\d{2}:\d{2}:\d{2}:\d{3}: \(tavrin_tests\) )");
  for (const std::string& line : lines) EXPECT_TRUE(std::regex_search(line, stamp)) << line;
  EXPECT_EQ(lines[0].substr(lines[0].find(") ") + 2), "Grüße €");
  EXPECT_EQ(lines[1].substr(lines[1].find(") ") + 2), "VSI_CPU. 3 caches, done");
  EXPECT_EQ(lines[2].substr(lines[2].find(") ") + 2), "bad \uFFFD byte");
}

TEST_F(HelpersDebugLog, ModeFollowsFirstArgumentAndNumericSetting) {
  EXPECT_TRUE(LogsWith({"-DEBUG"}));
  std::filesystem::remove(tmp_ / "debug.log");
  EXPECT_FALSE(LogsWith({"-report", "-debug"})) << "only the first argument counts";
  EXPECT_FALSE(LogsWith({}));

  StoreDebugMode(platform::RegValue::String("1"));
  EXPECT_FALSE(LogsWith({})) << "the text \"1\" is not the number 1";
  StoreDebugMode(platform::RegValue::Dword(2));
  EXPECT_FALSE(LogsWith({}));
  StoreDebugMode(platform::RegValue::Dword(1));
  EXPECT_TRUE(LogsWith({}));
}

TEST_F(HelpersDebugLog, LogGoesToTheStateFolderUnlessTheSettingsAskForTheProgramFolder) {
  testing::ResetDebugLog({}, {"-debug"});
  DebugLog("default place");
  const std::vector<std::string> lines = ReadLogLines(StateFolder() / "debug.log");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(") default place"), std::string::npos);
  EXPECT_EQ(StateFolder(), tmp_ / "state" / "tavrin");

  platform::RegistryTree tree;
  tree.SetValue(platform::RegRoot::CurrentUser, "Software\\Tavrin\\DebugMode", "LogInProgramFolder",
                platform::RegValue::Dword(1));
  ASSERT_TRUE(platform::SaveSettingsFile(platform::SettingsFilePath(), tree));
  testing::ResetDebugLog({}, {"-debug"});
  DebugLog("beside the program");
  // The test program's folder is the build's bin folder; the line went there, not here.
  EXPECT_EQ(ReadLogLines(StateFolder() / "debug.log").size(), 1u);
  const std::filesystem::path beside = ProgramFolder() / "debug.log";
  const std::vector<std::string> there = ReadLogLines(beside);
  ASSERT_FALSE(there.empty());
  EXPECT_NE(there.back().find(") beside the program"), std::string::npos);
  std::filesystem::remove(beside);
}

TEST_F(HelpersDebugLog, ModeIsDecidedOnce) {
  testing::ResetDebugLog(tmp_.path(), {});
  EXPECT_FALSE(DebugModeOn());
  StoreDebugMode(platform::RegValue::Dword(1));
  EXPECT_FALSE(DebugModeOn());
  DebugLog("not written");
  EXPECT_FALSE(std::filesystem::exists(tmp_ / "debug.log"));
}

TEST_F(HelpersDebugLog, UnwritableProgramFolderMovesLogToStateFolder) {
  // A folder below a regular file cannot be created or written, even by root.
  test::WriteText(tmp_ / "plain-file", "x");
  const std::filesystem::path blocked = tmp_ / "plain-file" / "bin";
  testing::ResetDebugLog(blocked, {"-debug"});
  DebugLog("first");
  DebugLog("second");

  const std::filesystem::path moved = tmp_ / "state" / "tavrin" / "debug.log";
  ASSERT_EQ(StateFolder(), moved.parent_path());
  const std::vector<std::string> lines = ReadLogLines(moved);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[0].find(blocked.string() + " is not writable"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find(") first"), std::string::npos);
  EXPECT_NE(lines[2].find(") second"), std::string::npos);
}

TEST_F(HelpersDebugLog, TwoThreadsWriteWholeLines) {
  testing::ResetDebugLog(tmp_.path(), {"-debug"});
  constexpr int kLines = 200;
  auto writer = [](const char* who) {
    for (int i = 0; i < kLines; ++i) DebugLogFmt("%s line %03d", who, i);
  };
  std::thread a(writer, "gatherer"), b(writer, "window");
  a.join();
  b.join();
  const std::vector<std::string> lines = ReadLogLines(tmp_ / "debug.log");
  ASSERT_EQ(lines.size(), 2u * kLines);
  const std::regex whole(
      R"(^\d{2}:\d{2}:\d{2}:\d{3}: \(tavrin_tests\) (gatherer|window) line \d{3}$)");
  for (const std::string& line : lines) ASSERT_TRUE(std::regex_match(line, whole)) << line;
}

}  // namespace
}  // namespace tavrin::helpers
