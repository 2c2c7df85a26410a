// "Copy all" of the window as a table: what a page shows, made from the page model, for
// pasting into a spreadsheet or an editor.
#pragma once

#include <string>

#include "pages/page_model.h"

namespace tavrin::report {

/// Each section's caption (in the user's language) on a line of its own, then its rows as
/// label, value and comment separated by tabs; a section without rows gives its reason as
/// its one line. Lines end in LF; a blank line separates sections. Markup is removed, and
/// tabs or line breaks inside a text become blanks so the columns stay apart.
std::string PageTableText(const pages::Page& page);

}  // namespace tavrin::report
