// The report commands of the window program: the report dialog and the two clipboard copies
// of the pages' context menu, given to the main window as its report hooks.
#pragma once

#include <string>
#include <vector>

#include "app/window/report_hooks.h"

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::report {

/// The clipboard text of the chosen rows of `page`: each row as for CopySelectedText, rows
/// separated by CR LF and no line end after the last, so one row gives exactly that row's
/// text. References outside the page are skipped.
std::string SelectedRowsText(const pages::Page& page, const std::vector<window::RowRef>& rows);

/// Hooks that show the report dialog for `controller` and put the copy texts on the
/// system clipboard. The controller must outlive the hooks.
window::ReportHooks MakeReportHooks(gather::TGetFunctionsClass& controller);

}  // namespace tavrin::report
