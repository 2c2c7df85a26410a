#include "tests/support/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>

#include "tests/support/test_data.h"
#include "tests/support/test_services.h"

namespace tavrin::testing {
namespace {

// Sets TAVRIN_REWRITE_GOLDENS for one scope and restores what the run had.
class RewriteSwitch {
 public:
  explicit RewriteSwitch(bool on) {
    if (const char* v = std::getenv("TAVRIN_REWRITE_GOLDENS")) old_ = v;
    if (on) {
      setenv("TAVRIN_REWRITE_GOLDENS", "1", 1);
    } else {
      unsetenv("TAVRIN_REWRITE_GOLDENS");
    }
  }
  ~RewriteSwitch() {
    if (old_) {
      setenv("TAVRIN_REWRITE_GOLDENS", old_->c_str(), 1);
    } else {
      unsetenv("TAVRIN_REWRITE_GOLDENS");
    }
  }

 private:
  std::optional<std::string> old_;
};

TEST(Golden, RewriteThenCompareWithoutTheNoise) {
  TempDir dir;
  const auto file = dir.path() / "sub" / "expected.txt";
  const std::vector<GoldenNoise> noise = {{R"(\d\d:\d\d:\d\d)", "<time>"}};
  {
    RewriteSwitch on(true);
    EXPECT_TRUE(MatchesGolden(file, "Started: 10:11:12\nVendor: A\n", noise));
  }
  RewriteSwitch off(false);
  std::ifstream in(file);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "Started: <time>") << "goldens are written without their noise";
  EXPECT_TRUE(MatchesGolden(file, "Started: 23:59:01\nVendor: A\n", noise));
  EXPECT_FALSE(MatchesGolden(file, "Started: 23:59:01\r\nVendor: A\n", noise))
      << "line ends are part of the output";

  const auto differs = MatchesGolden(file, "Started: 00:00:00\nVendor: B\n", noise);
  ASSERT_FALSE(differs);
  const std::string message = differs.message();
  EXPECT_NE(message.find("line 2"), std::string::npos) << message;
  EXPECT_NE(message.find("\"Vendor: A\""), std::string::npos) << message;
  EXPECT_NE(message.find("\"Vendor: B\""), std::string::npos) << message;

  const auto shorter = MatchesGolden(file, "Started: 00:00:00\n", noise);
  EXPECT_NE(std::string(shorter.message()).find("(end of text)"), std::string::npos);
  EXPECT_FALSE(MatchesGolden(dir.path() / "none.txt", "x"));
}

TEST(Golden, LabeledLinesAndTheDataFolder) {
  EXPECT_EQ(LabeledLines({{"Vendor", "AMD"}, {"Family", "15"}}), "Vendor: AMD\nFamily: 15\n");
  EXPECT_TRUE(std::filesystem::is_directory(TestDataDir())) << TestDataDir();
  EXPECT_TRUE(std::filesystem::is_regular_file(TestData("README.md")));
}

}  // namespace
}  // namespace tavrin::testing
