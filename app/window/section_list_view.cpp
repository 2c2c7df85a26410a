#include "app/window/section_list_view.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTimer>

#include "app/window/rich_text.h"
#include "pages/page_model.h"
#include "report/clipboard_text.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::window {
namespace {

constexpr int kSectionRole = Qt::UserRole + 1;
constexpr int kRowRole = Qt::UserRole + 2;
constexpr int kRichRole = Qt::UserRole + 3;

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Draws labels that carry <b> or <font> markup as rich text, everything else as usual.
class RichTextDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QString html = index.data(kRichRole).toString();
    if (html.isEmpty()) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.text.clear();
    QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

    QTextDocument document;
    document.setDefaultFont(item.font);
    document.setDocumentMargin(0);
    document.setHtml(html);
    const QRect text_rect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget);
    painter->save();
    painter->translate(text_rect.left() + 3,
                       text_rect.top() + (text_rect.height() - document.size().height()) / 2);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = item.palette;
    if (item.state & QStyle::State_Selected)
      context.palette.setColor(QPalette::Text, item.palette.color(QPalette::HighlightedText));
    context.clip = QRectF(0, 0, text_rect.width() - 3, text_rect.height());
    painter->setClipRect(context.clip);
    document.documentLayout()->draw(painter, context);
    painter->restore();
  }
};

}  // namespace

std::vector<int> ColumnWidths(int pageWidth, int listWidth, int columns) {
  std::vector<int> widths(static_cast<std::size_t>(std::max(columns, 0)), 0);
  if (columns <= 0) return widths;
  widths[0] = pageWidth - listWidth >= 20 ? listWidth * 40 / 100 : 230;
  const int rest = listWidth - widths[0];
  for (int c = 1; c + 1 < columns; ++c) widths[static_cast<std::size_t>(c)] = rest * 70 / 100;
  if (columns >= 3) widths[2] = rest * 23 / 100;
  return widths;
}

SectionListView::SectionListView(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(3);
  setHeaderLabels(
      {FromUtf8(lbl::S_COL_NAME), FromUtf8(lbl::S_COL_VALUE), FromUtf8(lbl::S_COL_COMMENTS)});
  for (int c = 0; c < 3; ++c) header()->resizeSection(c, 190);
  header()->setStretchLastSection(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  setAlternatingRowColors(true);
  setAllColumnsShowFocus(true);
  setItemDelegate(new RichTextDelegate(this));
  setContextMenuPolicy(Qt::DefaultContextMenu);
}

void SectionListView::SetPage(const pages::Page* page, const QIcon& sectionIcon) {
  page_ = page;
  section_icon_ = sectionIcon;
  Render();
}

void SectionListView::Render() {
  // Keep what the user collapsed and where the list was scrolled.
  QSet<QString> collapsed;
  for (int i = 0; i < topLevelItemCount(); ++i)
    if (!topLevelItem(i)->isExpanded()) collapsed.insert(topLevelItem(i)->text(0));
  const int scroll = verticalScrollBar() ? verticalScrollBar()->value() : 0;

  setUpdatesEnabled(false);
  clear();
  if (page_ != nullptr) {
    QFont section_font = font();
    section_font.setBold(true);
    const auto& sections = page_->Sections();
    for (std::size_t s = 0; s < sections.size(); ++s) {
      const pages::Section& section = sections[s];
      auto* header_item = new QTreeWidgetItem(this);
      const QString caption = FromUtf8(StripMarkup(text::SectionCaptionText(section.Caption)));
      header_item->setText(0, caption);
      header_item->setIcon(0, section_icon_);
      header_item->setFont(0, section_font);
      header_item->setFirstColumnSpanned(true);
      header_item->setFlags(Qt::ItemIsEnabled);
      header_item->setData(0, kSectionRole, static_cast<int>(s));
      header_item->setData(0, kRowRole, -1);
      for (std::size_t r = 0; r < section.Items.size(); ++r) {
        const pages::TZuSectionItem& row = section.Items[r];
        auto* item = new QTreeWidgetItem(header_item);
        if (HasLabelMarkup(row.Caption)) {
          item->setText(0, FromUtf8(StripMarkup(row.Caption)));
          item->setData(0, kRichRole, FromUtf8(ToQtRichText(row.Caption)));
        } else {
          item->setText(0, FromUtf8(row.Caption));
        }
        if (!row.SubItems.empty()) item->setText(1, FromUtf8(row.SubItems[0]).trimmed());
        if (row.SubItems.size() > 1) item->setText(2, FromUtf8(row.SubItems[1]));
        // Long texts are cut at the column's edge; the tooltip shows them whole.
        for (int c = 0; c < 3; ++c)
          if (!item->text(c).isEmpty()) item->setToolTip(c, item->text(c));
        item->setData(0, kSectionRole, static_cast<int>(s));
        item->setData(0, kRowRole, static_cast<int>(r));
      }
      if (section.Items.empty()) {
        // One row in place of the empty section says why it is empty; it is no data row.
        auto* reason = new QTreeWidgetItem(header_item);
        reason->setText(0, FromUtf8(pages::EmptySectionReason(section)));
        reason->setFirstColumnSpanned(true);
        reason->setFlags(Qt::ItemIsEnabled);
        reason->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
        reason->setData(0, kSectionRole, static_cast<int>(s));
        reason->setData(0, kRowRole, -1);
      }
      header_item->setExpanded(!collapsed.contains(caption));
    }
  }
  setUpdatesEnabled(true);
  if (verticalScrollBar()) verticalScrollBar()->setValue(scroll);
  if (!own_render_ && follow_) {
    if (follow_deferred_)
      QTimer::singleShot(0, follower_, follow_);
    else
      follow_();
  }
}

void SectionListView::RenderOwn() {
  own_render_ = true;
  Render();
  own_render_ = false;
}

void SectionListView::FollowRedraws(QObject* page, std::function<void()> follow, bool deferred) {
  follower_ = page;
  follow_ = std::move(follow);
  follow_deferred_ = deferred;
  // A page destroyed before the list must not be called.
  connect(page, &QObject::destroyed, this, [this] { follow_ = nullptr; });
}

std::vector<RowRef> SectionListView::SelectedRows() const {
  std::vector<RowRef> rows;
  for (QTreeWidgetItem* item : selectedItems()) {
    const int row = item->data(0, kRowRole).toInt();
    if (row >= 0) rows.push_back({item->data(0, kSectionRole).toInt(), row});
  }
  std::sort(rows.begin(), rows.end(), [](const RowRef& a, const RowRef& b) {
    return a.section != b.section ? a.section < b.section : a.row < b.row;
  });
  return rows;
}

bool SectionListView::HasRows() const {
  return page_ != nullptr && report::CanCopyAll(*page_);
}

const pages::TZuSectionItem* SectionListView::RowAt(const RowRef& ref) const {
  if (page_ == nullptr) return nullptr;
  const auto& sections = page_->Sections();
  if (ref.section < 0 || ref.section >= static_cast<int>(sections.size())) return nullptr;
  const auto& items = sections[static_cast<std::size_t>(ref.section)].Items;
  if (ref.row < 0 || ref.row >= static_cast<int>(items.size())) return nullptr;
  return &items[static_cast<std::size_t>(ref.row)];
}

QString SectionListView::ValueOf(const RowRef& ref) const {
  const pages::TZuSectionItem* row = RowAt(ref);
  if (row == nullptr || row->SubItems.empty()) return {};
  return FromUtf8(row->SubItems[0]).trimmed();
}

void SectionListView::SetContextActions(QAction* copySelected, QAction* copyAll) {
  copy_selected_ = copySelected;
  copy_all_ = copyAll;
}

void SectionListView::SizeColumns(int pageWidth) {
  const std::vector<int> widths = ColumnWidths(pageWidth, viewport()->width(), columnCount());
  for (int c = 0; c + 1 < columnCount(); ++c)
    header()->resizeSection(c, widths[static_cast<std::size_t>(c)]);
}

void SectionListView::resizeEvent(QResizeEvent* event) {
  QTreeWidget::resizeEvent(event);
  // The list fills its page, so its parent is the page control it is measured against.
  if (parentWidget() != nullptr) SizeColumns(parentWidget()->width());
}

void SectionListView::contextMenuEvent(QContextMenuEvent* event) {
  QTreeWidgetItem* item = itemAt(viewport()->mapFromGlobal(event->globalPos()));
  RowRef clicked{-1, -1};
  if (item != nullptr && item->data(0, kRowRole).toInt() >= 0) {
    clicked = {item->data(0, kSectionRole).toInt(), item->data(0, kRowRole).toInt()};
    if (!item->isSelected()) setCurrentItem(item);
  }
  QMenu menu(this);
  QAction* copy_value =
      menu.addAction(QIcon::fromTheme("edit-copy"), FromUtf8(lbl::S_ACT_COPY_VALUE));
  copy_value->setEnabled(clicked.row >= 0);
  QObject::connect(copy_value, &QAction::triggered, this,
                   [this, clicked] { QApplication::clipboard()->setText(ValueOf(clicked)); });
  // The shared commands follow the list they were opened on.
  if (copy_selected_ != nullptr || copy_all_ != nullptr) menu.addSeparator();
  if (copy_selected_ != nullptr) {
    QAction* a = menu.addAction(copy_selected_->icon(), copy_selected_->text());
    const std::vector<RowRef> selected = SelectedRows();
    a->setEnabled(copy_selected_->isEnabled() &&
                  report::CanCopySelected(selected.empty() ? nullptr : RowAt(selected.front())));
    QObject::connect(a, &QAction::triggered, copy_selected_, &QAction::trigger);
  }
  if (copy_all_ != nullptr) {
    QAction* a = menu.addAction(copy_all_->icon(), copy_all_->text());
    a->setEnabled(copy_all_->isEnabled() && HasRows());
    QObject::connect(a, &QAction::triggered, copy_all_, &QAction::trigger);
  }
  menu.exec(event->globalPos());
}

}  // namespace tavrin::window
