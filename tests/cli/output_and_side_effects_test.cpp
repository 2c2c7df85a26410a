// tavrin-cli as a user runs it, for what happens around the pages: output that cannot be
// written, what --record writes and leaves alone, and what a run must not create.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/report/report_test_support.h"
#include "tests/support/run_program.h"
#include "tests/support/test_services.h"

namespace tavrin::cli {
namespace {

namespace fs = std::filesystem;
using testing::BinDir;
using ::testing::HasSubstr;
using testing::ProgramRun;
using testing::RunProgram;
using testing::TempDir;

class CliSideEffects : public ::testing::Test {
 protected:
  std::vector<std::string> Env() const {
    return {"HOME=" + (home.path() / "home").string(),
            "XDG_CONFIG_HOME=" + (home.path() / "config").string(),
            "XDG_STATE_HOME=" + (home.path() / "state").string(),
            "XDG_CACHE_HOME=",
            "XDG_RUNTIME_DIR=" + (home.path() / "runtime").string(),
            "LANG=C",
            "LC_ALL="};
  }
  ProgramRun Cli(const std::vector<std::string>& args, const fs::path& stdout_to = {}) const {
    return RunProgram(BinDir() / "tavrin-cli", args, Env(), 120, stdout_to);
  }
  std::string Snapshot() const { return (report::test::ReportFixtures() / "snapshot").string(); }

  TempDir home;
};

// Output paths: a full disk is a failure with a reason, on every way out.
TEST_F(CliSideEffects, OutputLostOnAFullDiskFailsWithTheReason) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--replay", Snapshot(), "--advanced"},
           {"--replay", Snapshot(), "--report", "json", "-o", "-"},
           {"--replay", Snapshot(), "--report", "text", "-o", "/dev/full"}}) {
    const ProgramRun run = Cli(args, "/dev/full");
    EXPECT_EQ(run.exit_code, 1) << args[2];
    EXPECT_THAT(run.err, HasSubstr("No space left on device")) << args[2];
  }
  EXPECT_TRUE(fs::is_character_file("/dev/full"));

  // A report through a link lands in the linked file; the link stays.
  fs::create_directories(home.path() / "reports");
  fs::create_symlink("reports/latest.json", home.path() / "report.json");
  const ProgramRun linked = Cli(
      {"--replay", Snapshot(), "--report", "json", "-o", (home.path() / "report.json").string()});
  ASSERT_EQ(linked.exit_code, 0) << linked.err;
  EXPECT_TRUE(fs::is_symlink(home.path() / "report.json"));
  EXPECT_GT(fs::file_size(home.path() / "reports/latest.json"), 100u);
}

// Recording: a folder of other files is refused untouched; a snapshot of ours is replaced
// with a note; the recording is private and holds only the current user's account.
TEST_F(CliSideEffects, RecordingRefusesForeignFoldersAndKeepsToItself) {
  const fs::path busy = home.path() / "busy";
  for (const char* sub : {"files", "registry", "cpuid", "firmware", "docs"})
    fs::create_directories(busy / sub);
  const ProgramRun refused = Cli({"--page", "wininfo", "--record", busy.string()});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_THAT(refused.err, HasSubstr(busy.string() + ": holds files but no snapshot"));
  for (const char* sub : {"files", "registry", "cpuid", "firmware", "docs"})
    EXPECT_TRUE(fs::is_directory(busy / sub)) << sub;

  const fs::path snap = home.path() / "snap";
  const ProgramRun first = Cli({"--page", "wininfo", "--record", snap.string()});
  ASSERT_EQ(first.exit_code, 0) << first.err;
  EXPECT_THAT(first.err, ::testing::Not(HasSubstr("replaced")));
  const ProgramRun again = Cli({"--page", "wininfo", "--record", snap.string()});
  ASSERT_EQ(again.exit_code, 0) << again.err;
  EXPECT_THAT(again.err, HasSubstr(snap.string() + ": the snapshot there is replaced"));

  struct stat st {};
  ASSERT_EQ(stat(snap.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  for (const auto& entry : fs::recursive_directory_iterator(snap)) {
    ASSERT_EQ(lstat(entry.path().c_str(), &st), 0);
    if (S_ISREG(st.st_mode)) {
      EXPECT_EQ(st.st_mode & 0777, 0600u) << entry.path();
    }
  }
  // The user database: at most the current user's line, never the whole file.
  if (fs::exists(snap / "files/etc/passwd")) {
    std::ifstream in(snap / "files/etc/passwd");
    std::size_t lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    EXPECT_LE(lines, 1u);
  }
  EXPECT_FALSE(fs::exists(snap / "files/proc/self/environ"));
}

// A run that changes no setting writes no settings file, and nothing reading the desktop
// settings or probing the graphics drivers leaves folders behind.
TEST_F(CliSideEffects, RunsLeaveNoSettingsFileAndNoDesktopSettingsFolders) {
  fs::create_directories(home.path() / "home");
  fs::create_directories(home.path() / "runtime");
  ::chmod((home.path() / "runtime").c_str(), 0700);
  ASSERT_EQ(Cli({"--advanced"}).exit_code, 0);
  ASSERT_EQ(Cli({"--replay", Snapshot(), "--page", "generalinfo"}).exit_code, 0);
  EXPECT_FALSE(fs::exists(home.path() / "config/tavrin/settings.ini"));
  EXPECT_FALSE(fs::exists(home.path() / "home/.cache/dconf"));
  EXPECT_FALSE(fs::exists(home.path() / "runtime/dconf"));
  // Under a display the graphics probes load the system's drivers, which keep no cache here.
  EXPECT_FALSE(fs::exists(home.path() / "home/.cache/mesa_shader_cache"));
}

// Exits: a limit no collector can meet is refused before anything runs.
TEST_F(CliSideEffects, TimeLimitBelowTenMillisecondsIsRefused) {
  for (const char* limit : {"0.0001", "1e-300", "0.009"}) {
    const ProgramRun run = Cli({"--timeout", limit, "--page", "generalinfo"});
    EXPECT_EQ(run.exit_code, 2) << limit;
    EXPECT_THAT(run.err, HasSubstr("from 0.01 to 86400"));
  }
  EXPECT_EQ(Cli({"--replay", Snapshot(), "--timeout", "0.01", "--page", "generalinfo"}).exit_code,
            0);
}

}  // namespace
}  // namespace tavrin::cli
