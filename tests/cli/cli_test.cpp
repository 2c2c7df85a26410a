#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "helpers/binding.h"
#include "tests/support/run_program.h"
#include "tests/support/test_services.h"
#include "text/labels.h"

namespace tavrin::cli {
namespace {

using testing::BinDir;
using testing::ProgramRun;
using testing::RunProgram;
using testing::TempDir;

// Every run gets settings and state folders of its own, never the user's.
class CliTest : public ::testing::Test {
 protected:
  TempDir home;
  std::vector<std::string> Env() const {
    return {"XDG_CONFIG_HOME=" + (home.path() / "config").string(),
            "XDG_STATE_HOME=" + (home.path() / "state").string(), "LANG=C",
            "LC_ALL=", "LC_MESSAGES="};
  }
  ProgramRun Cli(const std::vector<std::string>& args) const {
    return RunProgram(BinDir() / "tavrin-cli", args, Env());
  }
};

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST_F(CliTest, HelpVersionAndBadArguments) {
  const ProgramRun help = Cli({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("--replay PATH"), std::string::npos);
  EXPECT_NE(help.out.find("--lang CODE"), std::string::npos);
  EXPECT_EQ(Cli({"--version"}).exit_code, 0);

  for (const auto& bad :
       std::vector<std::vector<std::string>>{{"--bogus"},
                                             {"--page", "nosuchpage"},
                                             {"--replay"},
                                             {"--timeout", "-3"},
                                             {"--record", "a", "--replay", "b"}}) {
    const ProgramRun run = Cli(bad);
    EXPECT_EQ(run.exit_code, 2) << bad[0];
    EXPECT_EQ(Count(run.err, "\n"), 1u) << "one line: " << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

TEST_F(CliTest, UnreadableSnapshotExitsOneWithPathAndReason) {
  const ProgramRun run = Cli({"--replay", (home.path() / "missing").string()});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find((home.path() / "missing").string()), std::string::npos);
  EXPECT_NE(run.err.find("no such directory"), std::string::npos);
}

TEST_F(CliTest, AdvancedModePrintsEveryPageAndEasyModeEleven) {
  const ProgramRun advanced = Cli({"--advanced"});
  ASSERT_EQ(advanced.exit_code, 0) << advanced.err;
  EXPECT_EQ(Count(advanced.out, "=== "), 14u);
  for (const char* title : {"General Information", "CPU Properties", "Devices Manager"})
    EXPECT_NE(advanced.out.find("=== " + std::string(title) + " ==="), std::string::npos);
  EXPECT_NE(advanced.out.find("*** User Information ***"), std::string::npos);

  const ProgramRun easy = Cli({});
  ASSERT_EQ(easy.exit_code, 0) << easy.err;
  EXPECT_EQ(Count(easy.out, "=== "), 11u);
  EXPECT_EQ(easy.out.find("=== CPU Properties ==="), std::string::npos);

  const ProgramRun one = Cli({"--page", "wininfo"});
  EXPECT_EQ(Count(one.out, "=== "), 1u);
}

TEST_F(CliTest, RecordThenReplayPrintsTheSameText) {
  // A generous time limit: a collector abandoned on a busy machine while recording would leave
  // rows that the replay fills.
  const auto snap = home.path() / "snap";
  const ProgramRun recorded = Cli({"--advanced", "--timeout", "600", "--record", snap.string()});
  ASSERT_EQ(recorded.exit_code, 0) << recorded.err;
  const auto moved = home.path() / "moved" / "snap";
  std::filesystem::create_directories(moved.parent_path());
  std::filesystem::rename(snap, moved);
  const ProgramRun replayed = Cli({"--advanced", "--timeout", "600", "--replay", moved.string()});
  ASSERT_EQ(replayed.exit_code, 0) << replayed.err;
  // The processor's frequency is measured, not read: the replay measures it again against the
  // counter rate of the whole recording, while the recording run's few milliseconds of
  // measuring may have been interrupted on a busy machine. Every other row is a recorded
  // answer and must come back as it was shown.
  const auto lines_of = [](const std::string& text) {
    std::vector<std::string> kept;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
      if (line.find(lbl::S_CPU_FREQ) == std::string::npos) kept.push_back(line);
    return kept;
  };
  const auto want = lines_of(recorded.out), got = lines_of(replayed.out);
  EXPECT_EQ(got.size(), want.size());
  // The first differing line says more than two pages of text would.
  for (std::size_t i = 0; i < std::min(got.size(), want.size()); ++i)
    if (got[i] != want[i]) {
      ADD_FAILURE() << "line " << i + 1 << " recorded: " << want[i] << "\n  replayed: " << got[i];
      break;
    }
}

TEST_F(CliTest, MissingHelperLibraryGivesTheLoadErrorAndEnds) {
  // A copy of the program folder without the localizer library.
  const auto folder = home.path() / "install";
  std::filesystem::create_directories(folder);
  for (const char* file : {"tavrin-cli", "libhelper.so"})
    std::filesystem::copy_file(BinDir() / file, folder / file);
  std::filesystem::copy(BinDir() / "Lang", folder / "Lang",
                        std::filesystem::copy_options::recursive);
  const ProgramRun run = RunProgram(folder / "tavrin-cli", {}, Env());
  EXPECT_EQ(run.exit_code, helpers::kLoadErrorExitCode);
  EXPECT_NE(run.err.find("An error occurred while loading library Localizer.dll::Localizer."),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("Please reinstall the application."), std::string::npos);
  EXPECT_TRUE(run.out.empty()) << "ends before printing any page";
}

TEST_F(CliTest, BrokenSettingsAndLanguageFilesLeaveEnglish) {
  home.Write("config/tavrin/settings.ini",
             "[Software\\Tavrin\\Settings\nLanguage=dword:zz\n\x01\x02");
  const ProgramRun broken_settings = Cli({"--page", "generalinfo"});
  EXPECT_EQ(broken_settings.exit_code, 0) << broken_settings.err;
  EXPECT_NE(broken_settings.out.find("=== General Information ==="), std::string::npos);

  // German chosen, but the folder holds only a malformed German file.
  const auto folder = home.path() / "install";
  std::filesystem::create_directories(folder / "Lang");
  for (const char* file : {"tavrin-cli", "libhelper.so", "libLocalizer.so"})
    std::filesystem::copy_file(BinDir() / file, folder / file);
  std::ofstream(folder / "Lang" / "German.ini") << "[Language\nCodes=DEU\n[Labels]\nS_GEN=\"Allg";
  auto env = Env();
  env.push_back("LANG=de_DE.UTF-8");
  const ProgramRun malformed = RunProgram(folder / "tavrin-cli", {"--page", "generalinfo"}, env);
  EXPECT_EQ(malformed.exit_code, 0) << malformed.err;
  EXPECT_NE(malformed.out.find("=== General Information ==="), std::string::npos);

  std::filesystem::remove_all(folder / "Lang");
  const ProgramRun no_folder = RunProgram(folder / "tavrin-cli", {"--page", "generalinfo"}, env);
  EXPECT_EQ(no_folder.exit_code, 0) << no_folder.err;
  EXPECT_NE(no_folder.out.find("=== General Information ==="), std::string::npos);
}

// Lines whose label (right-aligned, padded with blanks) does not end in column 40, counted
// in characters.
std::vector<std::string> MisalignedRows(const std::string& text) {
  std::vector<std::string> bad;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const std::size_t colon = line.find(":      ");
    if (line.empty() || line[0] != ' ' || colon == std::string::npos) continue;
    std::size_t column = 0;
    for (std::size_t i = 0; i < colon; ++i)
      if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++column;
    if (column != 39) bad.push_back(line);
  }
  return bad;
}

TEST_F(CliTest, LocaleOrLangOptionGivesGermanEverywhereWithLabelsAligned) {
  const std::string snapshot = TAVRIN_SOURCE_DIR "/tests/fixtures/report/snapshot";
  auto env = Env();
  env.push_back("LANG=de_DE.UTF-8");
  const ProgramRun run =
      RunProgram(BinDir() / "tavrin-cli", {"--replay", snapshot, "--page", "sysdevinfo"}, env);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out.find("=== System Devices ==="), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("*** CPU-Informationen ***"), std::string::npos) << run.out;
  // Labels end in the same column however many bytes their letters take ("Größe:").
  const ProgramRun live = RunProgram(BinDir() / "tavrin-cli", {"--advanced"}, env);
  ASSERT_EQ(live.exit_code, 0) << live.err;
  EXPECT_NE(live.out.find("ö"), std::string::npos);
  EXPECT_EQ(MisalignedRows(live.out), std::vector<std::string>{});

  // --lang wins over the locale, and over the settings, for this run only.
  const ProgramRun english =
      RunProgram(BinDir() / "tavrin-cli",
                 {"--replay", snapshot, "--page", "sysdevinfo", "--lang", "ENU"}, env);
  EXPECT_NE(english.out.find("*** CPU Information ***"), std::string::npos) << english.out;
  const ProgramRun by_option = Cli({"--replay", snapshot, "--page", "wininfo", "--lang", "de"});
  EXPECT_NE(by_option.out.find("Benutzername:"), std::string::npos) << by_option.out;
  // Nothing was stored: the locale still decides the next start.
  const ProgramRun after = Cli({"--replay", snapshot, "--page", "wininfo"});
  EXPECT_EQ(after.out.find("Benutzername:"), std::string::npos);

  const ProgramRun unknown = Cli({"--page", "wininfo", "--lang", "XYZ"});
  EXPECT_EQ(unknown.exit_code, 0);
  EXPECT_NE(unknown.err.find("no language file for XYZ"), std::string::npos) << unknown.err;
}

}  // namespace
}  // namespace tavrin::cli
