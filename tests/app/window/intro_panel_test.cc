// The introduction's summary panel reads this machine when the window opens; once gathered, a
// replayed snapshot's own facts replace what belongs to another machine.
#include <gtest/gtest.h>

#include <QLabel>
#include <chrono>

#include "app/window/intro_page.h"
#include "collectors/firmware/vsi_machine.h"
#include "collectors/system_info.h"
#include "pages/fill_context.h"
#include "platform/file_reader.h"
#include "tests/support/test_services.h"
#include "text/labels.h"

namespace tavrin::window {
namespace {

TEST(IntroPanel, AReplayShowsTheRecordedMachineAndThisMachineOnlyItsMemoryWords) {
  const auto services = [](bool live) {
    auto s = std::make_shared<platform::Services>();
    s->system = std::make_shared<tavrin::testing::FixedSystemFacts>();
    s->files = std::make_shared<platform::FileReader>("/nonexistent/tavrin-test-root");
    s->live = live;
    return s;
  };
  pages::PageSummary summary;
  summary.windows_name = "Debian GNU/Linux 12 (bookworm)";
  summary.installed_memory = "8192 MB";

  auto replayed = std::make_shared<collectors::TVexa_SystemInfo>(services(false));
  replayed->Refresh<collectors::TVexa_Machine>(std::chrono::seconds(10));
  const PanelFacts facts = GatheredPanelFacts(*replayed, summary);
  EXPECT_EQ(facts.memory, "8192 MB");
  EXPECT_EQ(facts.os, summary.windows_name);
  EXPECT_EQ(facts.computer, "testhost");
  EXPECT_EQ(facts.freeSpace, lbl::S_NA) << "no root file system in the snapshot";

  auto live = std::make_shared<collectors::TVexa_SystemInfo>(services(true));
  const PanelFacts here = GatheredPanelFacts(*live, summary);
  EXPECT_EQ(here.memory, "8192 MB") << "the pages' words for the same memory";
  EXPECT_TRUE(here.os.empty() && here.computer.empty() && here.freeSpace.empty());

  TfrmPanelsForm panel;
  const QString before = panel.findChild<QLabel*>("lblOSValue")->text();
  panel.Show(here);
  EXPECT_EQ(panel.findChild<QLabel*>("lblMemoryValue")->text(), "8192 MB");
  EXPECT_EQ(panel.findChild<QLabel*>("lblOSValue")->text(), before) << "empty texts keep values";
  panel.Show(facts);
  EXPECT_EQ(panel.findChild<QLabel*>("lblComputerValue")->text(), "testhost");
}

}  // namespace
}  // namespace tavrin::window
