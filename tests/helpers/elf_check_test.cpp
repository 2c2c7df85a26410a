// Helper libraries are checked before the loader maps them: a cut, foreign or odd file is a
// load error with a reason, never a SIGBUS.
#include "helpers/elf_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "helpers/binding.h"
#include "tests/helpers/test_support.h"
#include "tests/support/run_program.h"

namespace tavrin::helpers {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(ElfCheck, CompleteLibraryPassesAndDamagedOnesAreNamed) {
  test::TempFolder tmp;
  const fs::path good = tavrin::testing::BinDir() / "libhelper.so";
  EXPECT_EQ(ElfLibraryProblem(good), "");

  const fs::path cut = tmp / "libcut.so";
  fs::copy_file(good, cut);
  ASSERT_EQ(::truncate(cut.c_str(), 4096), 0);
  EXPECT_THAT(ElfLibraryProblem(cut), StartsWith("cut short: 4096 of at least "));
  ASSERT_EQ(::truncate(cut.c_str(), 40), 0);
  EXPECT_THAT(ElfLibraryProblem(cut), StartsWith("cut short: 40 of at least 64"));

  test::WriteText(tmp / "text.so", "#!/bin/sh\necho not a library\n");
  EXPECT_EQ(ElfLibraryProblem(tmp / "text.so"), "not an ELF file");
  test::WriteText(tmp / "empty.so", "");
  EXPECT_EQ(ElfLibraryProblem(tmp / "empty.so"), "not an ELF file");

  ASSERT_EQ(::mkfifo((tmp / "fifo.so").c_str(), 0600), 0);
  EXPECT_EQ(ElfLibraryProblem(tmp / "fifo.so"), "not a regular file");
  EXPECT_EQ(ElfLibraryProblem(tmp / "missing.so"), "No such file or directory");
}

// The program started with a cut localizer library ends with the load error, naming the
// file and why, instead of dying on a signal.
TEST(ElfCheck, ProgramWithACutLibraryExitsWithTheReason) {
  test::TempFolder tmp;
  const fs::path bin = tavrin::testing::BinDir();
  for (const char* file : {"tavrin-cli", "libhelper.so", "libLocalizer.so"})
    fs::copy_file(bin / file, tmp / file);
  fs::copy(bin / "Lang", tmp / "Lang", fs::copy_options::recursive);
  ASSERT_EQ(::truncate((tmp / "libLocalizer.so").c_str(), 4096), 0);
  const auto run =
      tavrin::testing::RunProgram(tmp / "tavrin-cli", {"--page", "generalinfo"},
                                  {"XDG_CONFIG_HOME=" + (tmp / "config").string(),
                                   "XDG_STATE_HOME=" + (tmp / "state").string(), "LANG=C"});
  EXPECT_EQ(run.exit_code, kLoadErrorExitCode) << run.err;
  EXPECT_THAT(run.err, HasSubstr((tmp / "libLocalizer.so").string() +
                                 " cannot be loaded: cut short: 4096 of at least"));
  EXPECT_TRUE(run.out.empty());
}

}  // namespace
}  // namespace tavrin::helpers
