// The actions of the main window, its menus, and the action update rule.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "text/labels.h"
#include "app/window/icons.h"
#include "app/window/intro_page.h"
#include "app/window/main_window.h"
#include "app/window/report_hooks.h"
#include "app/window/section_list_view.h"
#include "gather/controller.h"
#include "helpers/accessors.h"

namespace tavrin::window {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void OpenLink(const std::string& link) {
  helpers::Helper().OpenLink(link);
}

}  // namespace

void TfrmSysInfo::CreateActions() {
  struct ActionDefinition {
    const char* name;
    const char* caption;
    const char* shortcut;
    const char* icon;
    std::function<void()> run;
  };
  const ActionDefinition definitions[] = {
      {"actSwitchModes", "Switch to Advanced Mode", "Ctrl+S", nullptr, [this] { SwitchModes(); }},
      {"actSettings", "Settings", nullptr, "configure", [this] { OpenSettings(); }},
      {"actReport", "Generate Report", "Ctrl+R", "document-export", [this] { ShowReport(); }},
      {"actAbout", "About", nullptr, "help-about", [this] { OpenAbout(); }},
      {"actExit", "Exit", "Alt+X", "application-exit", [this] { close(); }},
      {"actIntro", "Introduction", nullptr, "go-home", [this] { ShowIntroduction(); }},
      {"actRefresh", "Refresh", "F5", "view-refresh", [this] { Refresh(); }},
      {"actCopySelected", "Copy Selected to Clipboard", nullptr, "edit-copy",
       [this] { CopySelected(); }},
      {"actCopyAll", "Copy All to Clipboard", nullptr, nullptr, [this] { CopyAll(); }},
      {"actProgramPage", "Visit Program Page", nullptr, nullptr,
       [] { OpenLink(helpers::Globals().GetProgramPageLink()); }},
      {"actCompanyPage", "Visit Company Page", nullptr, nullptr,
       [] { OpenLink(helpers::Globals().GetCompanyPageLink()); }},
      {"actTechnicalSupport", "Technical Support", nullptr, nullptr,
       [] { OpenLink(helpers::Globals().GetSupportPageLink()); }},
      {"actHelp", "Contents", nullptr, nullptr,
       [] { OpenLink(helpers::Globals().GetProgramPageLink()); }},
      {"actCheckUpdates", "Check for Updates..", nullptr, nullptr,
       [] { helpers::Helper().CheckForUpdates(); }},
  };
  for (const ActionDefinition& definition : definitions) {
    auto* action = new QAction(QString::fromUtf8(definition.caption), this);
    action->setObjectName(definition.name);
    if (definition.shortcut != nullptr) action->setShortcut(QKeySequence(definition.shortcut));
    if (definition.icon != nullptr) action->setIcon(ThemedIcon(definition.icon));
    connect(action, &QAction::triggered, this, definition.run);
    addAction(action);  // shortcuts work without the menu bar having focus
    actions_[action->objectName()] = action;
  }
  for (const char* initially_off : {"actSwitchModes", "actReport", "actRefresh"})
    actions_[initially_off]->setEnabled(false);
}

void TfrmSysInfo::CreateMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(Action("actSettings"));
  file->addAction(Action("actReport"));
  file->addSeparator();
  file->addAction(Action("actExit"));

  categories_menu_ = menuBar()->addMenu(tr("&Categories"));
  categories_menu_->setObjectName("catMenuContainer");
  categories_menu_->addAction(Action("actIntro"));
  QAction* separator = categories_menu_->addSeparator();
  separator->setProperty("tag", 100);

  QMenu* view = menuBar()->addMenu(tr("&View"));
  view->addAction(Action("actRefresh"));
  view->addAction(Action("actSwitchModes"));

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  help->addAction(Action("actHelp"));
  help->addSeparator();
  help->addAction(Action("actProgramPage"));
  help->addAction(Action("actCompanyPage"));
  help->addAction(Action("actTechnicalSupport"));
  help->addSeparator();
  help->addAction(Action("actCheckUpdates"));
  help->addAction(Action("actAbout"));
}

QAction* TfrmSysInfo::Action(const QString& name) const {
  const auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void TfrmSysInfo::UpdateActions() {
  const bool idle = !controller_.InProgress();
  for (const char* name :
       {"actReport", "actRefresh", "actCopySelected", "actCopyAll", "actSwitchModes"})
    if (QAction* action = Action(name)) action->setEnabled(idle);
  if (intro_ != nullptr) intro_->SetReportEnabled(idle);
  if (QAction* modes = Action("actSwitchModes"))
    modes->setText(
        FromUtf8(controller_.AdvancedMode() ? lbl::S_SWITCH_TO_EASY : lbl::S_SWITCH_TO_ADV));
}

void TfrmSysInfo::SwitchModes() {
  controller_.SetAdvancedMode(!controller_.AdvancedMode());
  BuildNavigation(controller_.AdvancedMode());
  UpdateActions();
}

void TfrmSysInfo::Refresh() {
  if (controller_.InProgress()) return;
  controller_.ClearGathered();
  controller_.GatherWithProgress();
  ShowIntroduction();
  UpdateActions();
}

void TfrmSysInfo::ShowReport() {
  const auto& show = GetReportHooks().showReport;
  if (!show) return;
  show(this);
  // Making a report refills every page; the shown list follows its page again.
  if (SectionListView* view = ShownView()) view->Render();
}

void TfrmSysInfo::CopySelected() {
  SectionListView* view = ShownView();
  if (view == nullptr || view->page() == nullptr) return;
  if (const auto& copy = GetReportHooks().copySelected) copy(*view->page(), view->SelectedRows());
}

void TfrmSysInfo::CopyAll() {
  SectionListView* view = ShownView();
  if (view == nullptr || view->page() == nullptr) return;
  if (const auto& copy = GetReportHooks().copyAll) copy(*view->page());
}

void TfrmSysInfo::OpenSettings() {
  helpers::ISettings& settings = helpers::Settings();
  settings.Attach(&helpers::Localizer(), &helpers::Options());
  settings.ShowSettings(this, [] {});
}

void TfrmSysInfo::OpenAbout() {
  helpers::About().ShowAbout(0, 0, "about.png");
}

}  // namespace tavrin::window
