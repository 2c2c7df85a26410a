// The list of an information page: one collapsible, captioned header per section with its
// rows of label, value and comment below. It draws a page of the page model and reads
// nothing else; the selection is given to the clipboard commands as row references.
#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <functional>
#include <vector>

#include "app/window/report_hooks.h"

class QAction;

namespace tavrin::pages {
class Page;
struct TZuSectionItem;
}  // namespace tavrin::pages

namespace tavrin::window {

/// Column widths of a list `listWidth` wide on a page control `pageWidth` wide with
/// `columns` columns: the first 40 % of the list when the page control is at least 20 pixels
/// wider, else 230; the middle columns 70 % of the rest, and the third 23 % of the rest.
std::vector<int> ColumnWidths(int pageWidth, int listWidth, int columns);

class SectionListView : public QTreeWidget {
 public:
  explicit SectionListView(QWidget* parent = nullptr);

  /// Binds the page to draw (owned by the gathering controller) and the sections' icon.
  void SetPage(const pages::Page* page, const QIcon& sectionIcon);
  const pages::Page* page() const { return page_; }

  /// Redraws every row from the page; collapsed sections stay collapsed.
  void Render();
  /// Redraws for the page that follows this list: its follower is not called.
  void RenderOwn();
  /// Calls `follow` after every redraw made by others than `page` itself (the window redraws
  /// a page's list when it is shown, after a mode switch or a report), so the page can show
  /// its own choice again; `deferred` calls it once the redraw that caused it is done.
  void FollowRedraws(QObject* page, std::function<void()> follow, bool deferred = true);

  std::vector<RowRef> SelectedRows() const;
  bool HasSelection() const { return !SelectedRows().empty(); }
  bool HasRows() const;
  /// The value column of the row, without the page model's leading blank.
  QString ValueOf(const RowRef& row) const;
  /// The page's row, or null for a reference outside the page.
  const pages::TZuSectionItem* RowAt(const RowRef& row) const;

  /// The commands of the context menu besides "Copy value".
  void SetContextActions(QAction* copySelected, QAction* copyAll);
  /// Applies ColumnWidths for a page control `pageWidth` wide.
  void SizeColumns(int pageWidth);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  const pages::Page* page_ = nullptr;
  QIcon section_icon_;
  QAction* copy_selected_ = nullptr;
  QAction* copy_all_ = nullptr;
  QObject* follower_ = nullptr;
  std::function<void()> follow_;
  bool follow_deferred_ = true;
  bool own_render_ = false;
};

}  // namespace tavrin::window
