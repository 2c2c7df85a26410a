#include "app/window/report_dialog/report_commands.h"

#include <QClipboard>
#include <QGuiApplication>

#include "app/window/report_dialog/generate_report_dialog.h"
#include "report/clipboard_text.h"

namespace tavrin::report {
namespace {

void SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace

std::string SelectedRowsText(const pages::Page& page, const std::vector<window::RowRef>& rows) {
  std::string text;
  bool first = true;
  for (const window::RowRef& ref : rows) {
    if (ref.section < 0 || static_cast<std::size_t>(ref.section) >= page.Sections().size())
      continue;
    const auto& items = page.Sections()[static_cast<std::size_t>(ref.section)].Items;
    if (ref.row < 0 || static_cast<std::size_t>(ref.row) >= items.size()) continue;
    if (!first) text += "\r\n";
    text += CopySelectedText(items[static_cast<std::size_t>(ref.row)]);
    first = false;
  }
  return text;
}

window::ReportHooks MakeReportHooks(gather::TGetFunctionsClass& controller) {
  window::ReportHooks hooks;
  hooks.showReport = [&controller](QWidget* owner) {
    TfrmGenerateReport dialog(controller, owner);
    dialog.exec();
  };
  // Nothing chosen or nothing on the page leaves the clipboard as it was.
  hooks.copySelected = [](const pages::Page& page, const std::vector<window::RowRef>& rows) {
    const std::string text = SelectedRowsText(page, rows);
    if (!text.empty()) SetClipboardText(text);
  };
  hooks.copyAll = [](const pages::Page& page) {
    if (CanCopyAll(page)) SetClipboardText(CopyAllText(page));
  };
  return hooks;
}

}  // namespace tavrin::report
