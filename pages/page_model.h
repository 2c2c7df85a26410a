// What an information page shows: captioned sections of rows, each row a label and a value.
//
// The GUI draws this model, and reports and clipboard text are made from it; nothing reads the
// widgets back. The model is plain data so both can be tested without a display.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "pages/fill_context.h"
#include "platform/provenance.h"

namespace tavrin::pages {

/// Units of the raw numbers behind row texts. Collectors keep raw units; a row that shows
/// "480.00 MB" can hand the 503316480 bytes it was made from to the reports.
enum class QuantityUnit {
  kBytes,
  kBits,
  kHertz,
  kBitsPerSecond,
  kSeconds,
  kMilliseconds,
  kPercent,
  kCount,
  kPixels,
  kMillimeters,
  kCelsius,
  kVolts,
  kWatts,
  kRpm,
};

/// The unit's name in the JSON report ("bytes", "hertz", ...).
std::string_view QuantityUnitName(QuantityUnit unit);

/// The number a row's text was formatted from.
struct Quantity {
  std::variant<std::uint64_t, std::int64_t, double> number;
  QuantityUnit unit = QuantityUnit::kCount;

  static Quantity Of(std::uint64_t n, QuantityUnit u) { return {n, u}; }
  static Quantity Signed(std::int64_t n, QuantityUnit u) { return {n, u}; }
  static Quantity Real(double n, QuantityUnit u) { return {n, u}; }
  bool operator==(const Quantity&) const = default;
};

/// One row: `Caption` is the label column, `SubItems[0]` the value (with one leading blank),
/// `SubItems[1]` the comment.
struct TZuSectionItem {
  std::string Caption;
  std::vector<std::string> SubItems;
  int ImageIndex = -1;
  int Data = 0;
  bool sensitive = false;  ///< serials, MAC addresses, user and host names: reports may mask it
  std::string source;      ///< where the value came from, when known
  std::string id = {};     ///< stable within its section, the same in every language
  std::optional<Quantity> quantity = {};  ///< the raw number behind the text, when it is one
};

/// A value the page would have shown had the machine answered: the label and why it is empty.
struct MissingValue {
  std::string label;
  std::string reason;
  std::string id = {};       ///< as the row's id would have been
  std::size_t position = 0;  ///< rows of the section shown before it
};

struct Section {
  std::string Caption;
  int ImageIndex = -1;
  std::vector<TZuSectionItem> Items;
  std::vector<MissingValue> missing;
  /// Stable English name ("cpu_information"), made once from the layout's caption; the
  /// caption itself may be translated.
  std::string id = {};
  /// Why the section has no rows, in one line for people; empty while it has rows. Set by
  /// ExplainEmptySections once the filler has run.
  std::string emptyReason = {};
  /// A filler's own explanation for the section staying empty (NoteEmptySection).
  std::string note = {};
  int rowsOffered = 0;          ///< AddItem calls for this section since the last clearing
  int advancedRowsSkipped = 0;  ///< of those, advanced-only rows left out in easy mode
};

class Page {
 public:
  Page() = default;
  /// Sections without an id get one from their caption.
  Page(std::string categoryKey, std::string listName, std::vector<Section> sections);

  const std::string& categoryKey() const { return category_key_; }
  const std::string& listName() const { return list_name_; }
  std::vector<Section>& Sections() { return sections_; }
  const std::vector<Section>& Sections() const { return sections_; }

  /// Removes every row (and every missing-value note and empty reason) and keeps the sections.
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
  std::optional<Quantity> quantity = {};  ///< the raw number the value text shows
  std::string_view id = {};               ///< stable row id; by default made from the label
};

/// Adds a row unless it is advanced-only in easy mode, or its label or value is empty after
/// trimming. Line breaks are removed and runs of blanks collapse to one. An empty value whose
/// source failed is remembered as missing, with the reason, for --explain and the reports.
/// Returns whether a row was added.
bool AddItem(const FillContext& ctx, Page& list, int sectionIndex, std::string_view label,
             std::string_view value, std::string_view comment, bool advancedOnly,
             const RowMeta& meta = {});

/// As AddItem, but keeps runs of blanks, and sets the row's image and data.
bool AddItemEx(const FillContext& ctx, Page& list, int sectionIndex, int imageIndex,
               std::string_view label, std::string_view value, std::string_view comment,
               bool advancedOnly, int data, const RowMeta& meta = {});

/// A filler's own words for a section that stays empty ("No firmware tables: this virtual
/// machine exposes no SMBIOS (...)"); shown instead of the generic reason.
void NoteEmptySection(Page& list, int sectionIndex, std::string_view reason);

/// Gives every section without rows its one-line reason, from what the filler left: its own
/// note, else the reasons of the values that could not be read, else that its rows are shown
/// in advanced mode, that the machine has nothing to list, or that no collector feeds it yet.
/// Called once after each fill; also makes the row ids of each section unique.
void ExplainEmptySections(Page& page);

/// The one-line reason a section without rows shows in its place (the one stored by
/// ExplainEmptySections, or worked out now for a page filled by hand); empty when it has rows.
std::string EmptySectionReason(const Section& section);

/// Blanks and control characters removed at both ends.
std::string_view TrimText(std::string_view text);

/// A stable identifier made of a text: ASCII letters and digits in lower case, dots and
/// apostrophes left out, every other run of characters one "_" ("CPU Information" gives
/// "cpu_information", "S.M.A.R.T. Information" "smart_information"); "row" when nothing is left.
std::string IdentifierOf(std::string_view text);

}  // namespace tavrin::pages
