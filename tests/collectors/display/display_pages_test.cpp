// Both display pages as a user gets them from the command line: the hybrid-graphics laptop with
// two monitors (labeled golden pages), a raw identification block, and the General page's row.
#include <gtest/gtest.h>

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
  const auto video = Cli({"--replay", snapshot, "--page", "displayinfo", "--advanced"});
  ASSERT_EQ(video.exit_code, 0) << video.err;
  for (const char* text :
       {"Intel graphics 8086:9A49 (i915) (primary)", "AMD graphics 1002:73FF (amdgpu)",
        "(size of the memory window; the driver reports no count)", "7.98 GB",
        "readable by root only", "1920 x 1080 pixels", "24 bits per pixel",
        "OpenGL 4.6 (Compatibility Profile) Mesa 22.3.6, Vulkan 1.3.239",
        "eDP-1: 1920 x 1080 pixels, 24 bits per pixel, 60.01 Hz, at 0,0 (primary)",
        "LG Display LP156WF4-SPK1", "AOC 2470", "week 15 of 2019", "256 bytes, checksum valid",
        "1 (CTA-861 revision 3)"})
    EXPECT_NE(video.out.find(text), std::string::npos) << text << "\n" << video.out;
  EXPECT_NE(video.out.find("141517"), std::string::npos);
  // A report made with --mask hides the monitors' serial numbers.
  const auto masked = Cli({"--replay", snapshot, "--report", "text", "-o", "-", "--mask"});
  ASSERT_EQ(masked.exit_code, 0) << masked.err;
  EXPECT_EQ(masked.out.find("141517"), std::string::npos);

  const auto advanced = Cli({"--replay", snapshot, "--page", "displayadvinfo", "--advanced"});
  ASSERT_EQ(advanced.exit_code, 0) << advanced.err;
  const auto& out = advanced.out;
  for (const char* text : {"*** OpenGL ***", "*** Vulkan ***", "*** Video Acceleration ***",
                           "*** Connectors ***", "*** Monitor Details ***", "card1 DP-1",
                           "AMD Radeon RX 6600M", "H264High", "front left/right"})
    EXPECT_NE(out.find(text), std::string::npos) << text << "\n" << out;
  // Largest mode first, each once.
  const auto first = out.find(" - 24 bit");
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(out.rfind("1920 x 1080", first), std::string::npos);
  EXPECT_EQ(out.find("1920 x 1080 - 24 bit", first + 1), std::string::npos);

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
