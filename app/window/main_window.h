// The main window: navigation links on the left, the shown page on the right, menus, status
// bar and the start of the gathering. It draws the gathering controller's pages and forwards
// the user's actions; it keeps no information of its own.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pages/categories.h"

class QAction;
class QSize;
class QLabel;
class QMenu;
class QStackedWidget;
class QTimer;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::window {

class GuiHost;
class IntroPage;
class SectionListView;

class TfrmSysInfo : public QMainWindow {
 public:
  explicit TfrmSysInfo(gather::TGetFunctionsClass& controller, QWidget* parent = nullptr);
  ~TfrmSysInfo() override;

  // Navigation.
  /// Rebuilds the category actions, links and menu items for the mode, then shows the
  /// introduction page.
  void BuildNavigation(bool advanced);
  /// The page display behind every filler: switches to the category of `sender` (one of the
  /// category actions). False when that page is already shown.
  bool ShowCategoryPage(const void* sender);
  void ShowIntroduction();
  /// Links of the three groups, top to bottom, the introduction link first.
  std::vector<QToolButton*> Links() const;
  QToolButton* CurrentLink() const { return current_link_; }
  /// Items of the "Categories" menu after the introduction entry and its separator.
  std::vector<QAction*> CategoryMenuActions() const;

  // Actions.
  /// An action by its name ("actRefresh", "act_si_cpuadvinfo"); null when there is none.
  QAction* Action(const QString& name) const;
  /// Enables the gathering-sensitive actions exactly while no gathering runs, and names the
  /// mode switch after the other mode.
  void UpdateActions();

  // State shown.
  int ActivePageIndex() const;
  QString HeaderText() const;
  QString DescriptionText() const;
  bool TitlePanelVisible() const;
  SectionListView* ViewOf(std::string_view categoryKey) const;
  /// The list of the shown page, null on the introduction page.
  SectionListView* ShownView() const;

  /// Runs when the window closes while a gathering thread exists, before it waits for the
  /// thread (the program takes its unloading lock there).
  void SetUnloadingHandler(std::function<void()> handler) { on_unloading_ = std::move(handler); }
  /// Brings the window to the front for a second start; ignored while the window is being
  /// built or torn down.
  void Activate();
  /// Whether automatic gathering starts 1500 ms after activation (tests switch it off).
  void SetAutoGather(bool enabled) { auto_gather_ = enabled; }
  /// Redraws the shown page from the model (after gathering work on the main thread).
  void PagesChanged();
  GuiHost& Host() { return *host_; }
  /// Runs on the main thread each time a gathering phase has refilled the pages.
  void SetGatheredHandler(std::function<void()> handler) { on_gathered_ = std::move(handler); }

  /// The window's title and, for a replayed snapshot, the note the status bar keeps showing.
  void SetSession(const std::string& title, const std::string& snapshotNote);
  QString SessionNote() const;
  /// Which collectors the last gathering abandoned at the time limit; empty when none.
  QString TimedOutNote() const;
  /// The program keeps the window's size and place and the mode in the settings; tests
  /// leave them alone. Turning it on puts the window where it was last time.
  void SetRememberSettings(bool remember);
  /// The mode the user chose last (the settings' "AdvancedMode").
  static bool RememberedAdvancedMode();
  /// The default size: the classic 864 x 584 grown to fit the pages, within `available`.
  static QSize DefaultSize(const QSize& available);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct CategoryAction {
    const pages::TSICategory* category;
    QToolButton* link;
  };

  void CreateActions();
  void CreateMenus();
  void CreateLayout();
  QWidget* CreateNavigation();
  void CreateStatusBar();
  void SetStatusText(const std::string& text);
  void SelectLink(const QAction* action);
  void SetActivePage(int index);
  void SizeColumns();
  void SysInfoTimerFired();

  // Action handlers.
  void SwitchModes();
  void Refresh();
  void ShowReport();
  void CopySelected();
  void CopyAll();
  void OpenSettings();
  void OpenAbout();
  void OpenHelp();

  gather::TGetFunctionsClass& controller_;
  std::unique_ptr<GuiHost> host_;
  std::map<QString, QAction*> actions_;
  std::map<const QAction*, CategoryAction> category_actions_;
  QToolButton* intro_link_ = nullptr;
  QToolButton* current_link_ = nullptr;
  std::vector<QVBoxLayout*> group_layouts_;  // System, Hardware, Other
  std::vector<QWidget*> groups_;
  QMenu* categories_menu_ = nullptr;
  QWidget* title_panel_ = nullptr;
  QLabel* title_icon_ = nullptr;
  QLabel* header_ = nullptr;
  QLabel* description_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  IntroPage* intro_ = nullptr;
  std::map<std::string, SectionListView*, std::less<>> views_;
  QLabel* status_[3] = {nullptr, nullptr, nullptr};
  QTimer* sys_info_timer_ = nullptr;
  QTimer* update_timer_ = nullptr;
  std::function<void()> on_unloading_;
  std::function<void()> on_gathered_;
  bool auto_gather_ = true;
  bool remember_ = false;
  bool created_ = false;
  bool closing_ = false;
  bool was_gathered_ = false;
  std::string pending_render_;  // page switched to by the running filler
};

}  // namespace tavrin::window
