// Both display pages as a user gets them from the command line: the hybrid-graphics laptop with
// two monitors (labeled golden pages), a raw identification block, and the General page's row.
#include <gtest/gtest.h>

#include "tests/support/golden.h"
#include "tests/support/run_program.h"
#include "tests/support/test_data.h"
#include "tests/support/test_services.h"

namespace tavrin::pages {
namespace {

namespace fs = std::filesystem;
using testing::BinDir;
using testing::ProgramRun;
using testing::RunProgram;
using testing::TempDir;

fs::path Fixtures() {
  return testing::TestDataDir().parent_path() / "fixtures/display";
}

class DisplayPagesTest : public ::testing::Test {
 protected:
  TempDir home;
  ProgramRun Cli(std::vector<std::string> args) const {
    return RunProgram(BinDir() / "tavrin-cli", args,
                      {"XDG_CONFIG_HOME=" + (home.path() / "config").string(),
                       "XDG_STATE_HOME=" + (home.path() / "state").string(), "LANG=C", "LC_ALL="});
  }
};

TEST_F(DisplayPagesTest, TwoMonitorsOneBlockPerAdapterAndMonitor) {
  const auto snapshot = (Fixtures() / "two_monitors").string();
  for (const char* page : {"displayinfo", "displayadvinfo"}) {
    SCOPED_TRACE(page);
    const auto run = Cli({"--replay", snapshot, "--page", page, "--advanced", "--mask"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(testing::MatchesGolden(Fixtures() / (std::string("two_monitors.") + page + ".txt"),
                                       run.out, {{"snapshot /[^\\n]*", "snapshot FIXTURE"}}));
  }
  // Serial numbers are hidden by --mask and shown without it.
  const auto open = Cli({"--replay", snapshot, "--page", "displayinfo"});
  EXPECT_NE(open.out.find("141517"), std::string::npos);
  const auto general = Cli({"--replay", snapshot, "--page", "generalinfo"});
  EXPECT_NE(general.out.find("Intel graphics 8086:9A49 (i915)"), std::string::npos) << general.out;
}

TEST_F(DisplayPagesTest, ARawBlockPrintsTheMonitorRows) {
  const auto run =
      Cli({"--replay", testing::TestData("edid/BenQ_BNQ802E_C457DADB2E45.bin").string(), "--page",
           "displayinfo", "--advanced"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("BNQ 802E"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("checksum wrong"), std::string::npos)
      << "the extension block's wrong checksum is shown";
}

}  // namespace
}  // namespace tavrin::pages
