// The clipboard commands of the pages' context menu, run through the main window on the
// offscreen platform: the exact texts both copies put on the clipboard, and which copy
// commands the menu offers.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <map>

#include "app/window/main_window.h"
#include "app/window/report_dialog/report_commands.h"
#include "app/window/report_hooks.h"
#include "app/window/section_list_view.h"
#include "gather/controller.h"
#include "pages/page_model.h"
#include "tests/support/row_context.h"

namespace tavrin::window {
namespace {

class ReportClipboardTest : public ::testing::Test {
 protected:
  ReportClipboardTest() : window_(controller_) {
    window_.SetAutoGather(false);
    SetReportHooks(report::MakeReportHooks(controller_));
    // Show the Windows page without a gathering behind it, then leave the hold.
    controller_.SetInProgress(true);
    window_.Action("act_si_wininfo")->trigger();
    controller_.SetInProgress(false);
    window_.UpdateActions();
    page_ = controller_.FindPage("wininfo");
    view_ = window_.ShownView();
  }
  ~ReportClipboardTest() override { SetReportHooks({}); }

  void AddRow(int section, const char* label, const char* value, const char* comment) {
    ASSERT_TRUE(pages::AddItem(::tavrin::testing::RowsOf(controller_), *page_, section, label,
                               value, comment, false));
  }
  // Selects the row by its place in the page (every section is drawn; an empty one holds its
  // reason, which is no row of the page).
  void SelectRow(int shownSection, int row) {
    view_->clearSelection();
    view_->topLevelItem(shownSection)->child(row)->setSelected(true);
  }

  // Opens the list's context menu away from any row and returns its copy commands'
  // enabled states by caption.
  std::map<QString, bool> MenuCommands() {
    std::map<QString, bool> seen;
    QTimer::singleShot(0, [&seen] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      for (QAction* item : menu->actions())
        if (!item->isSeparator()) seen[item->text()] = item->isEnabled();
      menu->close();
    });
    const QPoint below_rows = view_->viewport()->mapToGlobal(QPoint(2, 5000));
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 5000), below_rows);
    QApplication::sendEvent(view_->viewport(), &event);
    return seen;
  }

  gather::TGetFunctionsClass controller_;
  TfrmSysInfo window_;
  pages::Page* page_ = nullptr;
  SectionListView* view_ = nullptr;
};

TEST_F(ReportClipboardTest, CopySelectedGivesOneRowWithoutLineEnd) {
  ASSERT_NE(view_, nullptr);
  ASSERT_EQ(view_->page(), page_);
  AddRow(0, "Windows:", "12", "");
  AddRow(1, "User Name", "alice", "from the session");
  view_->Render();

  SelectRow(0, 0);
  window_.Action("actCopySelected")->trigger();
  // Caption, a blank, the value column (" 12"), a blank, the empty comment.
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Windows:  12 ");

  SelectRow(1, 0);
  window_.Action("actCopySelected")->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "User Name  alice from the session");

  // Nothing selected: the clipboard keeps what it had.
  view_->clearSelection();
  QGuiApplication::clipboard()->setText("before");
  window_.Action("actCopySelected")->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

TEST_F(ReportClipboardTest, CopyAllGivesSectionsAndTabSeparatedColumns) {
  AddRow(0, "Windows:", "12", "");
  AddRow(0, "Build", "22631", "release");
  AddRow(2, "PATH", "/usr/bin", "");
  AddRow(2, "LANG", "C.UTF-8", "");
  view_->Render();
  window_.Action("actCopyAll")->trigger();
  const std::string copied = QGuiApplication::clipboard()->text().toStdString();
  EXPECT_EQ(copied.rfind("Windows Information\nWindows:\t12\nBuild\t22631\trelease\n\n", 0), 0u)
      << copied;
  EXPECT_NE(copied.find("\n\nEnvironment\nPATH\t/usr/bin\nLANG\tC.UTF-8\n"), std::string::npos)
      << copied;
  // A section without rows keeps its caption and gives its reason as its one line.
  EXPECT_NE(copied.find("\n\nUser Information\n"), std::string::npos) << copied;
}

TEST_F(ReportClipboardTest, SelectedRowsTextJoinsRowsAndSkipsStrayReferences) {
  AddRow(0, "Windows:", "12", "");
  AddRow(1, "User Name", "alice", "");
  EXPECT_EQ(report::SelectedRowsText(*page_, {{0, 0}, {1, 0}}),
            "Windows:  12 \r\nUser Name  alice ");
  EXPECT_EQ(report::SelectedRowsText(*page_, {{0, 5}, {9, 0}, {-1, 0}}), "");
}

TEST_F(ReportClipboardTest, MenuOffersCopiesOnlyWhenThereIsSomethingToCopy) {
  const QString copy_selected = window_.Action("actCopySelected")->text();
  const QString copy_all = window_.Action("actCopyAll")->text();

  std::map<QString, bool> empty_page = MenuCommands();
  EXPECT_FALSE(empty_page.at(copy_selected));
  EXPECT_FALSE(empty_page.at(copy_all));

  AddRow(1, "User Name", "alice", "");
  view_->Render();
  std::map<QString, bool> no_selection = MenuCommands();
  EXPECT_FALSE(no_selection.at(copy_selected));
  EXPECT_TRUE(no_selection.at(copy_all));

  SelectRow(1, 0);
  std::map<QString, bool> selected = MenuCommands();
  EXPECT_TRUE(selected.at(copy_selected));
  EXPECT_TRUE(selected.at(copy_all));
}

}  // namespace
}  // namespace tavrin::window
