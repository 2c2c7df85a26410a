#include "pages/page_model.h"

#include "base/strings.h"
#include "pages/fill_context.h"

namespace tavrin::pages {
namespace {

// Line breaks never reach a row: CR LF pairs go, and so does a lone LF, the Linux line end.
std::string RemoveLineBreaks(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
      ++i;
      continue;
    }
    if (value[i] == '\n') continue;
    out += value[i];
  }
  return out;
}

std::string CollapseBlanks(std::string value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

bool AddRow(const FillContext& ctx, Page& list, int sectionIndex,
            int imageIndex, std::string_view label, std::string_view value,
            std::string_view comment, bool advancedOnly, int data, bool collapse,
            const RowMeta& meta) {
  if (advancedOnly && !ctx.advanced) return false;
  auto& sections = list.Sections();
  if (sectionIndex < 0 || static_cast<std::size_t>(sectionIndex) >= sections.size()) return false;
  Section& section = sections[static_cast<std::size_t>(sectionIndex)];

  const std::string_view caption = TrimText(label);
  const std::string_view text = TrimText(value);
  if (caption.empty()) return false;
  if (text.empty()) {
    if (!meta.source.ok() && !meta.source.source.empty())
      section.missing.push_back({std::string(caption), meta.source.Explain()});
    return false;
  }

  std::string shown = RemoveLineBreaks(text);
  if (collapse) shown = CollapseBlanks(std::move(shown));

  TZuSectionItem row;
  row.Caption = std::string(caption);
  row.SubItems = {" " + shown, std::string(comment)};
  row.ImageIndex = imageIndex;
  row.Data = data;
  row.sensitive = meta.sensitive;
  if (meta.source.ok()) row.source = meta.source.source;
  section.Items.push_back(std::move(row));
  return true;
}

}  // namespace

Page::Page(std::string categoryKey, std::string listName, std::vector<Section> sections)
    : category_key_(std::move(categoryKey)),
      list_name_(std::move(listName)),
      sections_(std::move(sections)) {}

void Page::ClearItems() {
  for (Section& s : sections_) {
    s.Items.clear();
    s.missing.clear();
  }
}

std::size_t Page::RowCount() const {
  std::size_t count = 0;
  for (const Section& s : sections_) count += s.Items.size();
  return count;
}

std::string_view TrimText(std::string_view text) { return base::Trim(text); }

bool AddItem(const FillContext& ctx, Page& list, int sectionIndex,
             std::string_view label, std::string_view value, std::string_view comment,
             bool advancedOnly, const RowMeta& meta) {
  return AddRow(ctx, list, sectionIndex, -1, label, value, comment, advancedOnly, 0, true,
                meta);
}

bool AddItemEx(const FillContext& ctx, Page& list, int sectionIndex,
               int imageIndex, std::string_view label, std::string_view value,
               std::string_view comment, bool advancedOnly, int data, const RowMeta& meta) {
  return AddRow(ctx, list, sectionIndex, imageIndex, label, value, comment, advancedOnly,
                data, false, meta);
}

}  // namespace tavrin::pages
