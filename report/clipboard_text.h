// The plain text the pages' context menu puts on the clipboard, made from the page model.
#pragma once

#include <string>

#include "pages/page_model.h"

namespace tavrin::report {

/// "Copy selected": caption, a blank, the value column (which begins with its own blank), a
/// blank, the comment column; no line end.
std::string CopySelectedText(const pages::TZuSectionItem& row);

/// "Copy all": every row of every section in order as for CopySelectedText, each followed by
/// CR LF; section captions are left out.
std::string CopyAllText(const pages::Page& page);

/// Whether the menu offers "copy selected": only with a selected row.
inline bool CanCopySelected(const pages::TZuSectionItem* selected) {
  return selected != nullptr;
}
/// Whether the menu offers "copy all": only when some section has a row.
inline bool CanCopyAll(const pages::Page& page) {
  return page.RowCount() > 0;
}

}  // namespace tavrin::report
