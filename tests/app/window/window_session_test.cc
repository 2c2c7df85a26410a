// The window's rough edges: texts from the label table, a replayed snapshot named in title and
// status bar, collectors abandoned at the time limit named there too, the mode switch keeping
// the page, Ctrl+Q, the default size, and Copy All.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QToolButton>

#include "app/window/main_window.h"
#include "app/window/section_list_view.h"
#include "collectors/system_info.h"
#include "gather/controller.h"
#include "pages/categories.h"
#include "pages/page_model.h"
#include "tests/support/row_context.h"
#include "text/labels.h"

namespace tavrin::window {
namespace {

class WindowSession : public ::testing::Test {
 protected:
  void TearDown() override { labels::ResetToDefaults(); }
  gather::TGetFunctionsClass controller_;
};

std::vector<QString> MenuTitles(const TfrmSysInfo& window) {
  std::vector<QString> titles;
  for (QAction* menu : window.menuBar()->actions()) titles.push_back(menu->text());
  return titles;
}

TEST_F(WindowSession, MenusHeadingsAndColumnsComeFromTheLabelTable) {
  // Stand-ins for a language file: the window shows whatever the labels hold.
  lbl::S_MENU_FILE = "&Datei";
  lbl::S_MENU_HELP = "&Hilfe";
  lbl::S_ACT_EXIT = "Beenden";
  lbl::S_COL_VALUE = "Angabe";
  lbl::S_COL_COMMENTS = "Kommentar";
  lbl::S_GROUP_HARDWARE = "Geräte";
  TfrmSysInfo window(controller_);
  window.SetAutoGather(false);
  const std::vector<QString> menus = MenuTitles(window);
  ASSERT_EQ(menus.size(), 4u);
  EXPECT_EQ(menus[0], "&Datei");
  EXPECT_EQ(menus[3], "&Hilfe");
  EXPECT_EQ(window.Action("actExit")->text(), "Beenden");
  SectionListView* view = window.ViewOf("wininfo");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->headerItem()->text(1), "Angabe");
  EXPECT_EQ(view->headerItem()->text(2), "Kommentar");
  EXPECT_NE(window.findChild<QWidget*>("ZuHardwareGroup"), nullptr);
  bool heading = false;
  for (QLabel* label : window.findChild<QWidget*>("ZuHardwareGroup")->findChildren<QLabel*>())
    heading |= label->text() == QString::fromUtf8("GERÄTE");
  EXPECT_TRUE(heading);
  // The Help menu opens no web page: the program has no site to send anyone to.
  for (const char* gone : {"actProgramPage", "actCompanyPage", "actTechnicalSupport"})
    EXPECT_EQ(window.Action(gone), nullptr) << gone;
}

TEST_F(WindowSession, SnapshotIsNamedInTitleAndStatusBar) {
  TfrmSysInfo window(controller_);
  window.SetAutoGather(false);
  EXPECT_EQ(window.windowTitle(), "Tavrin System Information");
  window.SetSession("Tavrin System Information - snapshot /tmp/snap",
                    "Showing the recorded snapshot /tmp/snap, not this computer");
  EXPECT_EQ(window.windowTitle(), "Tavrin System Information - snapshot /tmp/snap");
  EXPECT_TRUE(window.SessionNote().contains("/tmp/snap"));
}

// A collector that hangs until the test lets it go.
class HangingCollector : public collectors::TVexa_VSIC_Component {
 public:
  HangingCollector(std::shared_ptr<const platform::Services> services,
                   std::shared_future<void> release)
      : TVexa_VSIC_Component("TVexa_Hang", "Hang", std::move(services)),
        release_(std::move(release)) {}
  void RefreshData() override {
    TVexa_VSIC_Component::RefreshData();
    release_.wait();
  }

 private:
  std::shared_future<void> release_;
};

TEST_F(WindowSession, StatusBarNamesCollectorsAbandonedAtTheTimeLimit) {
  std::promise<void> release;
  const std::shared_future<void> released = release.get_future().share();
  auto services = std::make_shared<platform::Services>();
  services->system = std::make_shared<testing::FixedSystemFacts>();
  controller_.SetAggregate(std::make_shared<collectors::TVexa_SystemInfo>(
      services, std::vector<collectors::TVexa_SystemInfo::Factory>{
                    [released](std::shared_ptr<const platform::Services> s) {
                      return std::make_shared<HangingCollector>(std::move(s), released);
                    }}));
  controller_.SetCollectorTimeLimit(std::chrono::milliseconds(100));
  TfrmSysInfo window(controller_);
  window.SetAutoGather(false);
  EXPECT_EQ(window.TimedOutNote(), "");
  controller_.SetInProgress(false);
  ASSERT_TRUE(controller_.GatherWithProgress());
  window.PagesChanged();
  EXPECT_EQ(window.TimedOutNote(), "Timed out: Hang did not answer within 100 ms");
  release.set_value();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the abandoned refresh ends
}

TEST_F(WindowSession, ModeSwitchKeepsThePageShownAndCtrlQQuits) {
  TfrmSysInfo window(controller_);
  window.SetAutoGather(false);
  controller_.SetInProgress(false);
  window.UpdateActions();
  controller_.SetInProgress(true);  // no gathering behind the page switches
  window.Action("act_si_wininfo")->trigger();
  const int page = window.ActivePageIndex();
  ASSERT_NE(page, 0);
  controller_.SetInProgress(false);
  window.UpdateActions();
  controller_.SetInProgress(true);
  window.Action("actSwitchModes")->trigger();
  EXPECT_EQ(window.ActivePageIndex(), page) << "the page shown stays";
  EXPECT_EQ(window.CurrentLink()->defaultAction()->objectName(), "act_si_wininfo");
  EXPECT_TRUE(controller_.AdvancedMode());

  // The advanced-only page is not there in easy mode: back to the introduction.
  window.Action("act_si_cpuadvinfo")->trigger();
  controller_.SetInProgress(false);
  window.UpdateActions();
  window.Action("actSwitchModes")->trigger();
  EXPECT_EQ(window.ActivePageIndex(), 0);

  EXPECT_TRUE(window.Action("actExit")->shortcuts().contains(QKeySequence(QKeySequence::Quit)));
  EXPECT_EQ(window.Action("actExit")->shortcut(), QKeySequence("Alt+X"));
}

TEST_F(WindowSession, DefaultSizeFitsSmallScreens) {
  const QSize laptop = TfrmSysInfo::DefaultSize(QSize(1366, 740));
  EXPECT_LE(laptop.width(), 1366);
  EXPECT_LE(laptop.height(), 740);
  EXPECT_GE(laptop.width(), 864) << "not smaller than the classic window";
  const QSize large = TfrmSysInfo::DefaultSize(QSize(2560, 1400));
  EXPECT_LE(large.width(), 1400) << "a large screen does not get a huge window";
  TfrmSysInfo window(controller_);
  EXPECT_LE(window.minimumWidth(), 1366);
  EXPECT_LE(window.minimumHeight(), 700);
}

TEST_F(WindowSession, CopyAllSeparatesColumnsWithTabsAndKeepsCaptions) {
  TfrmSysInfo window(controller_);
  window.SetAutoGather(false);
  controller_.SetInProgress(false);
  window.UpdateActions();
  pages::Page* page = controller_.FindPage("wininfo");
  ASSERT_NE(page, nullptr);
  pages::AddItem(::tavrin::testing::RowsOf(controller_), *page, 1, "User Name:", "tester",
                 "from the system", false);
  controller_.SetInProgress(true);
  window.Action("act_si_wininfo")->trigger();
  controller_.SetInProgress(false);
  window.UpdateActions();
  window.ViewOf("wininfo")->Render();
  window.Action("actCopyAll")->trigger();
  const QString copied = QApplication::clipboard()->text();
  EXPECT_TRUE(copied.contains("User Information\nUser Name:\ttester\tfrom the system\n"))
      << copied.toStdString();
}

}  // namespace
}  // namespace tavrin::window
