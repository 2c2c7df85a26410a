#include "report/clipboard_table.h"

#include "pages/markup.h"
#include "text/label_wording.h"

namespace tavrin::report {
namespace {

std::string Cell(std::string_view text) {
  std::string cell = pages::StripMarkup(std::string(pages::TrimText(text)));
  for (char& c : cell)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return cell;
}

}  // namespace

std::string PageTableText(const pages::Page& page) {
  std::string text;
  for (const pages::Section& section : page.Sections()) {
    if (!text.empty()) text += "\n";
    text += Cell(text::SectionCaptionText(section.Caption)) + "\n";
    for (const pages::TZuSectionItem& row : section.Items) {
      const auto sub = [&](std::size_t i) {
        return i < row.SubItems.size() ? Cell(row.SubItems[i]) : std::string();
      };
      std::string line = Cell(row.Caption) + "\t" + sub(0);
      if (const std::string comment = sub(1); !comment.empty()) line += "\t" + comment;
      text += line + "\n";
    }
    if (section.Items.empty()) text += Cell(pages::EmptySectionReason(section)) + "\n";
  }
  return text;
}

}  // namespace tavrin::report
