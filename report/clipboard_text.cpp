#include "report/clipboard_text.h"

namespace tavrin::report {

std::string CopySelectedText(const pages::TZuSectionItem& row) {
  const auto sub = [&](std::size_t i) {
    return i < row.SubItems.size() ? row.SubItems[i] : std::string();
  };
  return row.Caption + " " + sub(0) + " " + sub(1);
}

std::string CopyAllText(const pages::Page& page) {
  std::string text;
  for (const pages::Section& section : page.Sections())
    for (const pages::TZuSectionItem& row : section.Items) text += CopySelectedText(row) + "\r\n";
  return text;
}

}  // namespace tavrin::report
