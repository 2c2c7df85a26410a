// The window and the command line show the same rows of the same snapshot: both open their
// sources and prepare their session through the same functions; this fills every page once
// the way tavrin-cli does and once the way the window does (start-up hold, gathering thread,
// then each page filled when its category is chosen) and compares label, value, comment and
// the reason of every empty value.
#include <gtest/gtest.h>

#include <chrono>

#include "cli/cli_host.h"
#include "gather/controller.h"
#include "pages/categories.h"
#include "session/language.h"
#include "session/session_setup.h"
#include "session/sources.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::session {
namespace {

const char* const kSnapshot = TAVRIN_SOURCE_DIR "/tests/fixtures/report/snapshot";

// What a user sees of a page, one line per row, missing value and empty section.
std::vector<std::string> Rows(const pages::Page& page) {
  std::vector<std::string> rows;
  for (const pages::Section& section : page.Sections()) {
    const std::string where = page.categoryKey() + "/" + section.Caption + ": ";
    for (const pages::TZuSectionItem& row : section.Items) {
      std::string line = where + row.Caption + " = ";
      for (const std::string& sub : row.SubItems) line += "[" + sub + "]";
      rows.push_back(line);
    }
    for (const pages::MissingValue& missing : section.missing)
      rows.push_back(where + missing.label + " is empty: " + missing.reason);
    if (section.Items.empty())
      rows.push_back(where + "(" + pages::EmptySectionReason(section) + ")");
  }
  return rows;
}

void Pump(gather::TGetFunctionsClass& controller, cli::CliHost& host) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!controller.ThreadFinished() && std::chrono::steady_clock::now() < deadline)
    host.queue().ProcessPending(std::chrono::milliseconds(50));
  host.queue().ProcessPending();
}

class SameRows : public ::testing::Test {
 protected:
  void TearDown() override {
    // The session words and localizes process-wide labels; later tests expect the defaults.
    text::ApplyPlatformWording(false);
    ForgetLanguage();
    labels::ResetToDefaults();
  }
  StartOptions Options() const {
    StartOptions options;
    options.replay = kSnapshot;
    options.advanced = true;  // every page and every row
    options.language = "ENU";
    return options;
  }
};

TEST_F(SameRows, WindowAndCommandLineFillEveryPageAlike) {
  // The command line: prepare, gather on the thread, read the pages it filled.
  std::map<std::string, std::vector<std::string>> cli_rows;
  {
    Sources sources = OpenSources(Options());
    ASSERT_TRUE(sources) << sources.error();
    cli::CliHost host(false);
    gather::TGetFunctionsClass controller;
    controller.SetHost(&host);
    PrepareSession(Options(), sources, controller);
    controller.StartGathering();
    Pump(controller, host);
    ASSERT_TRUE(controller.Gathered());
    for (const pages::TSICategory& category : pages::TSICategoryList())
      cli_rows[std::string(category.key)] = Rows(*controller.FindPage(category.key));
  }

  // The window: the start-up hold until its timer releases it, then a page is filled each
  // time its category is chosen (the action is the sender).
  Sources sources = OpenSources(Options());
  ASSERT_TRUE(sources) << sources.error();
  EXPECT_TRUE(sources.Replayed());
  cli::CliHost host(false);
  gather::TGetFunctionsClass controller;
  controller.SetInProgress(true);
  controller.SetHost(&host);
  const void* shown = nullptr;
  controller.SetPageDisplay([&shown](const void* sender) {
    if (sender != nullptr && sender == shown) return false;
    if (sender != nullptr) shown = sender;
    return true;
  });
  PrepareSession(Options(), sources, controller);
  controller.SetInProgress(false);
  controller.StartGathering();
  Pump(controller, host);
  ASSERT_TRUE(controller.Gathered());

  std::size_t compared = 0;
  for (const pages::TSICategory& category : pages::TSICategoryList()) {
    const int action = 0;  // stands for the category's action
    controller.FillCategory(category, &action);
    shown = nullptr;
    const std::vector<std::string> window_rows = Rows(*controller.FindPage(category.key));
    EXPECT_EQ(window_rows, cli_rows[std::string(category.key)]) << category.key;
    compared += window_rows.size();
  }
  EXPECT_GT(compared, 50u) << "the snapshot fills the pages";
}

TEST_F(SameRows, SnapshotSaysSoAndBadPathsSayWhy) {
  Sources sources = OpenSources(Options());
  ASSERT_TRUE(sources);
  EXPECT_NE(SessionTitle(sources).find(kSnapshot), std::string::npos);
  EXPECT_NE(SnapshotNote(sources).find("not this computer"), std::string::npos);
  EXPECT_FALSE(platform::IsLiveMachine(*sources.services()));

  StartOptions missing;
  missing.replay = std::string(kSnapshot) + "-missing";
  const Sources none = OpenSources(missing);
  EXPECT_FALSE(none);
  EXPECT_NE(none.error().find("-missing"), std::string::npos) << none.error();

  const Sources live = OpenSources(StartOptions{});
  ASSERT_TRUE(live);
  EXPECT_FALSE(live.Replayed());
  EXPECT_TRUE(SnapshotNote(live).empty());
  EXPECT_TRUE(platform::IsLiveMachine(*live.services()));
}

}  // namespace
}  // namespace tavrin::session
