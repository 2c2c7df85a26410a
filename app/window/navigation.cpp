// Navigation of the main window: category actions, links and menu items for the mode,
// and showing a category page or the introduction.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/window/icons.h"
#include "app/window/intro_page.h"
#include "app/window/main_window.h"
#include "app/window/rich_text.h"
#include "app/window/section_list_view.h"
#include "gather/controller.h"

namespace tavrin::window {
namespace {

constexpr int kFixedTag = 100;
// Link colour of the navigation bar (0xDD6600 as blue-green-red).
constexpr const char* kLinkStyle =
    "QToolButton { color: #0066DD; text-align: left; padding: 3px 6px; border: none;"
    " border-radius: 3px; }"
    "QToolButton:hover { text-decoration: underline; }"
    "QToolButton:checked { background: palette(highlight); color: palette(highlighted-text);"
    " font-weight: bold; }";

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void StyleLink(QToolButton* link) {
  link->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  link->setIconSize(QSize(22, 22));
  link->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  link->setCursor(Qt::PointingHandCursor);
  link->setCheckable(true);
  link->setAutoRaise(true);
  link->setStyleSheet(kLinkStyle);
}

}  // namespace

void TfrmSysInfo::BuildNavigation(bool advanced) {
  for (QWidget* group : groups_) group->setUpdatesEnabled(false);

  // Everything but the fixed introduction entries goes.
  for (QVBoxLayout* layout : group_layouts_) {
    for (int i = layout->count() - 1; i >= 0; --i) {
      QWidget* widget = layout->itemAt(i)->widget();
      auto* link = qobject_cast<QToolButton*>(widget);
      if (link != nullptr && link->property("tag").toInt() != kFixedTag) {
        layout->removeWidget(link);
        delete link;
      }
    }
  }
  for (QAction* item : categories_menu_->actions())
    if (item->property("tag").toInt() != kFixedTag) categories_menu_->removeAction(item);
  for (auto& [action, entry] : category_actions_) {
    actions_.erase(action->objectName());
    delete action;
  }
  category_actions_.clear();
  current_link_ = nullptr;

  for (const pages::TSICategory& category : pages::TSICategoryList()) {
    if (category.advancedOnly && !advanced) continue;
    auto* action = new QAction(FromUtf8(*category.caption), this);
    action->setObjectName("act_si_" + FromView(category.key));
    action->setIcon(CategoryIcon(category.titleImageIndex));
    action->setIconVisibleInMenu(false);
    const pages::TSICategory* entry = &category;
    connect(action, &QAction::triggered, this, [this, action, entry] {
      pending_render_.clear();
      controller_.FillCategory(*entry, action);
      if (!pending_render_.empty()) {
        if (SectionListView* view = ViewOf(pending_render_)) view->Render();
        pending_render_.clear();
      }
      UpdateActions();
    });
    actions_[action->objectName()] = action;

    QToolButton* link = nullptr;
    const int group = static_cast<int>(category.group);
    if (group >= 1 && group <= 3) {
      link = new QToolButton(groups_[static_cast<std::size_t>(group - 1)]);
      link->setDefaultAction(action);
      StyleLink(link);
      link->setFont(intro_link_->font());
      group_layouts_[static_cast<std::size_t>(group - 1)]->addWidget(link);
    }
    categories_menu_->addAction(action);
    category_actions_[action] = {entry, link};
  }

  StyleLink(intro_link_);
  if (QAction* intro = Action("actIntro")) intro->setIconVisibleInMenu(false);
  current_link_ = intro_link_;
  if (QAction* general = Action("act_si_generalinfo"))
    intro_->SetGeneralCaption("<b>" + general->text().toHtmlEscaped() + "</b>");
  ShowIntroduction();

  for (QWidget* group : groups_) {
    group->setUpdatesEnabled(true);
    group->update();
  }
}

std::vector<QToolButton*> TfrmSysInfo::Links() const {
  std::vector<QToolButton*> links;
  for (QVBoxLayout* layout : group_layouts_)
    for (int i = 0; i < layout->count(); ++i)
      if (auto* link = qobject_cast<QToolButton*>(layout->itemAt(i)->widget()))
        links.push_back(link);
  return links;
}

std::vector<QAction*> TfrmSysInfo::CategoryMenuActions() const {
  std::vector<QAction*> items;
  for (QAction* item : categories_menu_->actions())
    if (item->property("tag").toInt() != kFixedTag && item != Action("actIntro"))
      items.push_back(item);
  return items;
}

bool TfrmSysInfo::ShowCategoryPage(const void* sender) {
  if (sender == nullptr) return true;
  const auto* action = static_cast<const QAction*>(sender);
  const auto found = category_actions_.find(action);
  if (found != category_actions_.end()) {
    const pages::TSICategory& category = *found->second.category;
    if (pages_->currentIndex() == category.pageIndex) return false;
    if (!controller_.Gathered() && !controller_.InProgress()) controller_.GatherWithProgress();
    header_->setText(FromUtf8(*category.caption));
    description_->setText(FromUtf8(ToQtRichText(*category.description)));
    title_icon_->setPixmap(
        CategoryIcon(category.titleImageIndex).pixmap(QSize(48, 48), devicePixelRatioF()));
    if (category.pageIndex > 0 && category.pageIndex < pages_->count())
      SetActivePage(category.pageIndex);
  }
  SelectLink(action);
  // The filler refills the page model after this returns; its action redraws the list then.
  if (found != category_actions_.end()) pending_render_ = std::string(found->second.category->key);
  repaint();
  return true;
}

void TfrmSysInfo::ShowIntroduction() {
  SetActivePage(0);  // also hides the title panel on the first showing
  SelectLink(Action("actIntro"));
}

void TfrmSysInfo::SelectLink(const QAction* action) {
  if (current_link_ != nullptr) current_link_->setChecked(false);
  for (QToolButton* link : Links()) {
    if (action != nullptr && link->defaultAction() != nullptr &&
        link->defaultAction()->objectName() == action->objectName()) {
      current_link_ = link;
      link->setChecked(true);
      return;
    }
  }
}

void TfrmSysInfo::SetActivePage(int index) {
  pages_->setCurrentIndex(index);
  // The title panel belongs to the information pages only.
  title_panel_->setVisible(index != 0);
}

int TfrmSysInfo::ActivePageIndex() const {
  return pages_->currentIndex();
}
QString TfrmSysInfo::HeaderText() const {
  return header_->text();
}
QString TfrmSysInfo::DescriptionText() const {
  return description_->text();
}
bool TfrmSysInfo::TitlePanelVisible() const {
  return !title_panel_->isHidden();
}

SectionListView* TfrmSysInfo::ViewOf(std::string_view categoryKey) const {
  const auto it = views_.find(categoryKey);
  return it == views_.end() ? nullptr : it->second;
}

SectionListView* TfrmSysInfo::ShownView() const {
  QWidget* shown = pages_->currentWidget();
  if (auto* view = dynamic_cast<SectionListView*>(shown)) return view;
  // A page with a widget of its own (the device tree) shows its page's list inside it.
  return shown != nullptr ? shown->findChild<SectionListView*>() : nullptr;
}

}  // namespace tavrin::window
