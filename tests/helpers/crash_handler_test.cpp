#include "helpers/crash_handler.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include "tests/helpers/test_support.h"

namespace tavrin::helpers {
namespace {

TEST(HelpersCrashHandlerDeathTest, WritesReportThenDiesOfTheSameSignal) {
  test::TempFolder tmp;
  const std::filesystem::path folder = tmp / "state" / "tavrin";
  EXPECT_EXIT(
      {
        setenv("XDG_STATE_HOME", (tmp / "state").c_str(), 1);
        InstallCrashHandler();
        raise(SIGFPE);
      },
      ::testing::KilledBySignal(SIGFPE),
      ::testing::HasSubstr("crashed with SIGFPE; report written to " + folder.string() +
                           "/crash-"));

  std::vector<std::filesystem::path> reports;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    reports.push_back(entry.path());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_THAT(reports[0].filename().string(), ::testing::MatchesRegex("crash-[0-9]+\\.txt"));
  const std::string report = test::ReadBytes(reports[0]);
  EXPECT_THAT(report, ::testing::HasSubstr("Program: tavrin_tests\n"));
  EXPECT_THAT(report, ::testing::HasSubstr("Signal: SIGFPE (8)"));
  EXPECT_THAT(report, ::testing::ContainsRegex("Time: [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8} UTC"));
  EXPECT_THAT(report, ::testing::HasSubstr("Backtrace:\n"));
  EXPECT_GT(std::count(report.begin(), report.end(), '\n'), 8) << "frames follow";
}

}  // namespace
}  // namespace tavrin::helpers
