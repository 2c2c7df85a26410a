// The actions of the main window, its menus, and the action update rule.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStackedWidget>
#include <QToolButton>

#include "app/window/device_tree_page.h"
#include "app/window/icons.h"
#include "app/window/intro_page.h"
#include "app/window/main_window.h"
#include "app/window/report_hooks.h"
#include "app/window/section_list_view.h"
#include "gather/controller.h"
#include "helpers/accessors.h"
#include "report/clipboard_table.h"
#include "session/framework.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::window {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void TfrmSysInfo::CreateActions() {
  struct ActionDefinition {
    const char* name;
    const std::string& caption;
    const char* shortcut;
    const char* icon;
    std::function<void()> run;
  };
  // The mode switch is named after the other mode by UpdateActions.
  const ActionDefinition definitions[] = {
      {"actSwitchModes", lbl::S_SWITCH_TO_ADV, "Ctrl+S", nullptr, [this] { SwitchModes(); }},
      {"actSettings", lbl::S_ACT_SETTINGS, nullptr, "configure", [this] { OpenSettings(); }},
      {"actReport", lbl::S_ACT_REPORT, "Ctrl+R", "document-export", [this] { ShowReport(); }},
      {"actAbout", lbl::S_ACT_ABOUT, nullptr, "help-about", [this] { OpenAbout(); }},
      {"actExit", lbl::S_ACT_EXIT, "Alt+X", "application-exit", [this] { close(); }},
      {"actIntro", lbl::S_ACT_INTRO, nullptr, "go-home", [this] { ShowIntroduction(); }},
      {"actRefresh", lbl::S_ACT_REFRESH, "F5", "view-refresh", [this] { Refresh(); }},
      {"actCopySelected", lbl::S_ACT_COPY_SELECTED, nullptr, "edit-copy",
       [this] { CopySelected(); }},
      {"actCopyAll", lbl::S_ACT_COPY_ALL, nullptr, nullptr, [this] { CopyAll(); }},
      {"actHelp", lbl::S_ACT_HELP, "F1", "help-contents", [this] { OpenHelp(); }},
  };
  for (const ActionDefinition& definition : definitions) {
    auto* action = new QAction(FromUtf8(definition.caption), this);
    action->setObjectName(definition.name);
    if (definition.shortcut != nullptr) action->setShortcut(QKeySequence(definition.shortcut));
    if (definition.icon != nullptr) action->setIcon(ThemedIcon(definition.icon));
    connect(action, &QAction::triggered, this, definition.run);
    addAction(action);  // shortcuts work without the menu bar having focus
    actions_[action->objectName()] = action;
  }
  // Ctrl+Q quits as in every other program of the desktop, beside the classic Alt+X.
  actions_["actExit"]->setShortcuts({QKeySequence("Alt+X"), QKeySequence(QKeySequence::Quit)});
  for (const char* initially_off : {"actSwitchModes", "actReport", "actRefresh"})
    actions_[initially_off]->setEnabled(false);
}

void TfrmSysInfo::CreateMenus() {
  QMenu* file = menuBar()->addMenu(FromUtf8(lbl::S_MENU_FILE));
  file->addAction(Action("actSettings"));
  file->addAction(Action("actReport"));
  file->addSeparator();
  file->addAction(Action("actExit"));

  categories_menu_ = menuBar()->addMenu(FromUtf8(lbl::S_MENU_CATEGORIES));
  categories_menu_->setObjectName("catMenuContainer");
  categories_menu_->addAction(Action("actIntro"));
  QAction* separator = categories_menu_->addSeparator();
  separator->setProperty("tag", 100);

  QMenu* view = menuBar()->addMenu(FromUtf8(lbl::S_MENU_VIEW));
  view->addAction(Action("actRefresh"));
  view->addAction(Action("actSwitchModes"));

  // No links to web pages: the program has no site of its own; its help is built in.
  QMenu* help = menuBar()->addMenu(FromUtf8(lbl::S_MENU_HELP));
  help->addAction(Action("actHelp"));
  help->addSeparator();
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
  // The page shown stays shown when the new mode has it; else the introduction.
  const QString shown = ShownView() != nullptr && CurrentLink() != nullptr &&
                                CurrentLink()->defaultAction() != nullptr
                            ? CurrentLink()->defaultAction()->objectName()
                            : QString();
  controller_.SetAdvancedMode(!controller_.AdvancedMode());
  BuildNavigation(controller_.AdvancedMode());
  if (QAction* again = shown.isEmpty() ? nullptr : Action(shown)) again->trigger();
  UpdateActions();
  if (remember_) {
    helpers::Options().WriteString(session::kAdvancedModeOption,
                                   controller_.AdvancedMode() ? "1" : "0");
    helpers::Options().SaveOptions();
  }
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
  // The Device manager page copies the selected device with its properties, or the selected
  // group with its devices, unless rows of its details list are what the user picked.
  if (const auto* devices = dynamic_cast<const DeviceTreePage*>(pages_->currentWidget());
      devices != nullptr && devices->CopiesTreeSelection()) {
    if (const std::string text = devices->SelectedNodeText(); !text.empty())
      QApplication::clipboard()->setText(FromUtf8(text));
    return;
  }
  SectionListView* view = ShownView();
  if (view == nullptr || view->page() == nullptr) return;
  if (const auto& copy = GetReportHooks().copySelected) copy(*view->page(), view->SelectedRows());
}

void TfrmSysInfo::CopyAll() {
  // The Device manager page: its whole tree, then what the details list shows.
  if (const auto* devices = dynamic_cast<const DeviceTreePage*>(pages_->currentWidget())) {
    if (const std::string text = devices->AllText(); !text.empty())
      QApplication::clipboard()->setText(FromUtf8(text));
    return;
  }
  SectionListView* view = ShownView();
  if (view == nullptr || view->page() == nullptr) return;
  // Columns apart by tabs and the section captions kept, so the text pastes into a
  // spreadsheet or an editor as the page looks.
  QApplication::clipboard()->setText(FromUtf8(report::PageTableText(*view->page())));
}

void TfrmSysInfo::OpenSettings() {
  helpers::IOptions& options = helpers::Options();
  const std::string before = options.ReadString("Language");
  helpers::ISettings& settings = helpers::Settings();
  settings.Attach(&helpers::Localizer(), &options);
  settings.ShowSettings(this, [] {});
  const std::string chosen = options.ReadString("Language");
  if (chosen == before) return;
  // Saved now, not at exit: a crash or a second instance must not lose the choice.
  options.WriteString(session::kLanguageChosenOption, "1");
  options.SaveOptions();
  QString name = FromUtf8(chosen);
  for (const helpers::LanguageInfo& language : helpers::Localizer().ListLanguages())
    if (language.code == chosen) name = FromUtf8(language.name);
  if (chosen == "ENU") name = QStringLiteral("English");
  QMessageBox::information(this, FromUtf8(lbl::S_ACT_SETTINGS),
                           FromUtf8(FormatText(lbl::S_LANGUAGE_SAVED, {name.toStdString()})));
}

void TfrmSysInfo::OpenAbout() {
  helpers::About().ShowAbout(0, 0, "about.png");
}

void TfrmSysInfo::OpenHelp() {
  QMessageBox box(QMessageBox::Information, FromUtf8(lbl::S_ACT_HELP), FromUtf8(lbl::S_HELP_TEXT),
                  QMessageBox::Ok, this);
  box.exec();
}

}  // namespace tavrin::window
