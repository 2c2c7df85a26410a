// Where the report code plugs into the main window: the report dialog and the two clipboard
// commands. The window only forwards the user's choice; until the report code installs its
// hooks the commands do nothing.
#pragma once

#include <functional>
#include <vector>

class QWidget;

namespace tavrin::pages {
class Page;
}

namespace tavrin::window {

/// A row of a page: index of its section, index of the row in that section.
struct RowRef {
  int section = 0;
  int row = 0;
};

struct ReportHooks {
  /// Shows the report dialog modally over `owner`.
  std::function<void(QWidget* owner)> showReport;
  /// Puts the chosen rows of `page` on the clipboard.
  std::function<void(const pages::Page& page, const std::vector<RowRef>& rows)> copySelected;
  /// Puts every row of `page` on the clipboard.
  std::function<void(const pages::Page& page)> copyAll;
};

void SetReportHooks(ReportHooks hooks);
const ReportHooks& GetReportHooks();

}  // namespace tavrin::window
