// What an information page shows: captioned sections of rows, each row a label and a value.
//
// The GUI draws this model, and reports and clipboard text are made from it; nothing reads the
// widgets back. The model is plain data so both can be tested without a display.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pages/fill_context.h"
#include "platform/provenance.h"

namespace tavrin::pages {

/// One row: `Caption` is the label column, `SubItems[0]` the value (with one leading blank),
/// `SubItems[1]` the comment.
struct TZuSectionItem {
  std::string Caption;
  std::vector<std::string> SubItems;
  int ImageIndex = -1;
  int Data = 0;
  bool sensitive = false;  ///< serials, MAC addresses, user and host names: reports may mask it
  std::string source;      ///< where the value came from, when known
};

/// A value the page would have shown had the machine answered: the label and why it is empty.
struct MissingValue {
  std::string label;
  std::string reason;
};

struct Section {
  std::string Caption;
  int ImageIndex = -1;
  std::vector<TZuSectionItem> Items;
  std::vector<MissingValue> missing;
};

class Page {
 public:
  Page() = default;
  Page(std::string categoryKey, std::string listName, std::vector<Section> sections);

  const std::string& categoryKey() const { return category_key_; }
  const std::string& listName() const { return list_name_; }
  std::vector<Section>& Sections() { return sections_; }
  const std::vector<Section>& Sections() const { return sections_; }

  /// Removes every row (and every missing-value note) and keeps the sections.
  void ClearItems();
  std::size_t RowCount() const;

 private:
  std::string category_key_;
  std::string list_name_;
  std::vector<Section> sections_;
};

/// Extra facts about a row that the page itself does not show.
struct RowMeta {
  platform::Provenance source;  ///< what answered, or why nothing did
  bool sensitive = false;
};

/// Adds a row unless it is advanced-only in easy mode, or its label or value is empty after
/// trimming. Line breaks are removed and runs of blanks collapse to one. An empty value whose
/// source failed is remembered as missing, with the reason, for --explain.
/// Returns whether a row was added.
bool AddItem(const FillContext& ctx, Page& list, int sectionIndex,
             std::string_view label, std::string_view value, std::string_view comment,
             bool advancedOnly, const RowMeta& meta = {});

/// As AddItem, but keeps runs of blanks, and sets the row's image and data.
bool AddItemEx(const FillContext& ctx, Page& list, int sectionIndex,
               int imageIndex, std::string_view label, std::string_view value,
               std::string_view comment, bool advancedOnly, int data, const RowMeta& meta = {});

/// Blanks and control characters removed at both ends.
std::string_view TrimText(std::string_view text);

}  // namespace tavrin::pages
