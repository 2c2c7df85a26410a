// The window program's command line, as a user without a display meets it.
#include <gtest/gtest.h>

#include "tests/support/run_program.h"
#include "tests/support/test_services.h"

namespace tavrin::startup {
namespace {

class WindowStart : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = testing::BinDir() / "tavrin";
    ASSERT_TRUE(std::filesystem::exists(program_)) << "the window program is built with the tests";
  }
  // No display of any kind, and settings and state of the test's own.
  std::vector<std::string> NoDisplay() const {
    return {"DISPLAY=",
            "WAYLAND_DISPLAY=",
            "QT_QPA_PLATFORM=",
            "XDG_CONFIG_HOME=" + (home_.path() / "config").string(),
            "XDG_STATE_HOME=" + (home_.path() / "state").string(),
            "XDG_RUNTIME_DIR=" + home_.path().string()};
  }
  std::filesystem::path program_;
  testing::TempDir home_;
};

TEST_F(WindowStart, HelpAndVersionNeedNoDisplay) {
  const testing::ProgramRun help = testing::RunProgram(program_, {"--help"}, NoDisplay(), 30);
  EXPECT_EQ(help.exit_code, 0) << help.err;
  EXPECT_NE(help.out.find("--replay PATH"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("tavrin-cli"), std::string::npos);
  const testing::ProgramRun version = testing::RunProgram(program_, {"--version"}, NoDisplay(), 30);
  EXPECT_EQ(version.exit_code, 0) << version.err;
  EXPECT_EQ(version.out.rfind("tavrin ", 0), 0u) << version.out;
}

TEST_F(WindowStart, WithoutDisplayPointsToTheCommandLineAndExitsOne) {
  const testing::ProgramRun run = testing::RunProgram(program_, {}, NoDisplay(), 30);
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_NE(run.err.find("Use tavrin-cli"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("crash"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(home_.path() / "state" / "tavrin")) << "no crash report";

  const testing::ProgramRun bad = testing::RunProgram(program_, {"--replay"}, NoDisplay(), 30);
  EXPECT_EQ(bad.exit_code, 2);
  EXPECT_NE(bad.err.find("--replay needs"), std::string::npos) << bad.err;
}

}  // namespace
}  // namespace tavrin::startup
