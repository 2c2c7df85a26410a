// The main window on the offscreen platform: navigation of both modes, page switching and
// the action update rule. Pages come from a captured-free empty machine: the tests need the
// window's behaviour, not data.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QToolButton>

#include "app/window/main_window.h"
#include "app/window/rich_text.h"
#include "app/window/section_list_view.h"
#include "gather/controller.h"
#include "pages/categories.h"
#include "pages/page_model.h"
#include "tests/support/row_context.h"
#include "text/labels.h"

namespace tavrin::window {
namespace {

std::vector<std::string> LinkNames(const TfrmSysInfo& window) {
  std::vector<std::string> names;
  for (QToolButton* link : window.Links())
    names.push_back(link->defaultAction()->objectName().toStdString());
  return names;
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : window_(controller_) {
    window_.SetAutoGather(false);
    // Leave the start-up hold as the start timer would, without gathering.
    controller_.SetInProgress(false);
    window_.UpdateActions();
  }
  gather::TGetFunctionsClass controller_;
  TfrmSysInfo window_;
};

TEST_F(MainWindowTest, EasyAndAdvancedNavigation) {
  std::vector<std::string> easy = LinkNames(window_);
  ASSERT_EQ(easy.size(), 12u);  // the introduction and eleven categories
  EXPECT_EQ(easy.front(), "actIntro");
  EXPECT_EQ(window_.CategoryMenuActions().size(), 11u);
  for (const char* advanced_only :
       {"act_si_cpuadvinfo", "act_si_displayadvinfo", "act_si_harddriveadvinfo"}) {
    EXPECT_EQ(window_.Action(advanced_only), nullptr) << advanced_only;
  }
  EXPECT_EQ(window_.Action("actSwitchModes")->text().toStdString(), lbl::S_SWITCH_TO_ADV);

  window_.Action("actSwitchModes")->trigger();
  ASSERT_TRUE(controller_.AdvancedMode());
  std::vector<std::string> advanced = LinkNames(window_);
  ASSERT_EQ(advanced.size(), 15u);
  EXPECT_EQ(advanced.front(), "actIntro");
  EXPECT_EQ(window_.CategoryMenuActions().size(), 14u);
  EXPECT_EQ(window_.ActivePageIndex(), 0);
  EXPECT_EQ(window_.CurrentLink()->defaultAction()->objectName(), "actIntro");
  EXPECT_EQ(window_.Action("actSwitchModes")->text().toStdString(), lbl::S_SWITCH_TO_EASY);
  // Menu items follow registration order, like the links within each group.
  std::vector<std::string> menu;
  for (QAction* item : window_.CategoryMenuActions())
    menu.push_back(item->objectName().toStdString());
  std::vector<std::string> registry;
  for (const auto& category : pages::TSICategoryList())
    registry.push_back("act_si_" + std::string(category.key));
  EXPECT_EQ(menu, registry);

  window_.Action("actSwitchModes")->trigger();
  EXPECT_EQ(LinkNames(window_), easy);
  EXPECT_EQ(window_.ActivePageIndex(), 0);
}

TEST_F(MainWindowTest, ChoosingACategoryShowsItsPageOnce) {
  controller_.SetInProgress(true);  // no gathering behind the page switch
  QAction* windows = window_.Action("act_si_wininfo");
  ASSERT_NE(windows, nullptr);
  EXPECT_FALSE(window_.TitlePanelVisible());
  windows->trigger();
  const pages::TSICategory* category = pages::FindCategory("wininfo");
  EXPECT_EQ(window_.ActivePageIndex(), category->pageIndex);
  EXPECT_EQ(window_.HeaderText().toStdString(), *category->caption);
  EXPECT_FALSE(window_.DescriptionText().isEmpty());
  EXPECT_TRUE(window_.TitlePanelVisible());
  EXPECT_EQ(window_.CurrentLink()->defaultAction(), windows);
  EXPECT_TRUE(window_.CurrentLink()->isChecked());
  // The page already shown: the display says stop, nothing is refilled.
  EXPECT_FALSE(window_.ShowCategoryPage(windows));
  // The gathering's own calls always go on.
  EXPECT_TRUE(window_.ShowCategoryPage(nullptr));

  window_.Action("actIntro")->trigger();
  EXPECT_EQ(window_.ActivePageIndex(), 0);
  EXPECT_FALSE(window_.TitlePanelVisible());
  EXPECT_FALSE(window_.Links()[1]->isChecked());
}

TEST_F(MainWindowTest, ActionsFollowTheGathering) {
  const char* gated[] = {"actReport", "actRefresh", "actCopySelected", "actCopyAll",
                         "actSwitchModes"};
  for (const char* name : gated) EXPECT_TRUE(window_.Action(name)->isEnabled()) << name;
  controller_.SetInProgress(true);
  window_.UpdateActions();
  for (const char* name : gated) EXPECT_FALSE(window_.Action(name)->isEnabled()) << name;
  for (const char* name : {"actSettings", "actAbout", "actExit", "actIntro"})
    EXPECT_TRUE(window_.Action(name)->isEnabled()) << name;
  // A refresh while gathering runs does nothing, and the mode switch cannot be used.
  window_.Action("actRefresh")->trigger();
  EXPECT_FALSE(controller_.Gathered());
  controller_.SetInProgress(false);
  window_.UpdateActions();
  for (const char* name : gated) EXPECT_TRUE(window_.Action(name)->isEnabled()) << name;

  EXPECT_EQ(window_.Action("actSwitchModes")->shortcut(), QKeySequence("Ctrl+S"));
  EXPECT_EQ(window_.Action("actReport")->shortcut(), QKeySequence("Ctrl+R"));
  EXPECT_EQ(window_.Action("actRefresh")->shortcut(), QKeySequence("F5"));
  EXPECT_EQ(window_.Action("actExit")->shortcut(), QKeySequence("Alt+X"));
}

TEST_F(MainWindowTest, ListShowsPageRowsAndSelection) {
  pages::Page* page = controller_.FindPage("wininfo");
  ASSERT_NE(page, nullptr);
  ASSERT_GE(page->Sections().size(), 1u);
  pages::AddItem(::tavrin::testing::RowsOf(controller_), *page, 0, "<b>Name</b>", "Linux  Mint", "",
                 false);
  pages::AddItem(::tavrin::testing::RowsOf(controller_), *page, 0, "Kernel", "6.1", "from uname",
                 false);
  SectionListView* view = window_.ViewOf("wininfo");
  ASSERT_NE(view, nullptr);
  view->Render();
  // Every section is drawn; the empty ones hold the reason they are empty.
  ASSERT_EQ(view->topLevelItemCount(), static_cast<int>(page->Sections().size()));
  QTreeWidgetItem* section = view->topLevelItem(0);
  ASSERT_EQ(section->childCount(), 2);
  EXPECT_EQ(section->child(0)->text(0), "Name");
  EXPECT_EQ(section->child(0)->text(1), "Linux Mint");
  EXPECT_EQ(section->child(1)->text(2), "from uname");
  EXPECT_FALSE(view->HasSelection());
  section->child(1)->setSelected(true);
  ASSERT_EQ(view->SelectedRows().size(), 1u);
  EXPECT_EQ(view->ValueOf(view->SelectedRows()[0]), "6.1");
  EXPECT_EQ(view->headerItem()->text(1), "Specification");
}

TEST(ColumnWidths, FirstColumnByHowMuchTheListFills) {
  // A list 15 pixels narrower than the page control: 230 for the first column.
  EXPECT_EQ(ColumnWidths(1000, 985, 3), (std::vector<int>{230, 528, 173}));
  EXPECT_EQ(ColumnWidths(1000, 900, 3), (std::vector<int>{360, 378, 124}));
  EXPECT_EQ(ColumnWidths(1000, 900, 2), (std::vector<int>{360, 0}));
}

TEST(RichText, LabelMarkupBecomesQtRichText) {
  const std::string grey = "<font color = \"$404040\">Text with <b>bold</b></font>";
  EXPECT_TRUE(HasLabelMarkup(grey));
  EXPECT_FALSE(HasLabelMarkup("<unknown> value"));
  EXPECT_EQ(ToQtRichText(grey), "<font color=\"#404040\">Text with <b>bold</b></font>");
  // Colours are stored blue-green-red.
  EXPECT_EQ(ToQtRichText("<font color=\"$DD6600\">x</font>"), "<font color=\"#0066DD\">x</font>");
  EXPECT_EQ(StripMarkup(grey), "Text with bold");
  EXPECT_EQ(StripMarkup("a &lt;b&gt; &amp; c"), "a <b> & c");
}

}  // namespace
}  // namespace tavrin::window
