#include "pages/page_model.h"

#include <unordered_map>

#include "base/strings.h"
#include "pages/fill_context.h"
#include "text/format.h"
#include "text/labels.h"

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

// A label handed over as the label variable itself (lbl::S_CPU_NAME) is known by its key, which
// no translation changes: "S_CPU_NAME" gives "cpu_name". Other captions (device names,
// environment variables) are data and name themselves.
std::string RowIdOf(std::string_view label, std::string_view caption) {
  for (const auto table : {labels::Table(), labels::AddedTable()}) {
    for (const labels::Entry& entry : table) {
      if (entry.variable->data() != label.data() || entry.variable->empty()) continue;
      std::string_view key = entry.key;
      if (key.starts_with("S_")) key.remove_prefix(2);
      return IdentifierOf(key);
    }
  }
  return IdentifierOf(caption);
}

bool AddRow(const FillContext& ctx, Page& list, int sectionIndex, int imageIndex,
            std::string_view label, std::string_view value, std::string_view comment,
            bool advancedOnly, int data, bool collapse, const RowMeta& meta) {
  auto& sections = list.Sections();
  if (sectionIndex < 0 || static_cast<std::size_t>(sectionIndex) >= sections.size()) return false;
  Section& section = sections[static_cast<std::size_t>(sectionIndex)];
  ++section.rowsOffered;
  if (advancedOnly && !ctx.advanced) {
    ++section.advancedRowsSkipped;
    return false;
  }

  const std::string_view caption = TrimText(label);
  const std::string_view text = TrimText(value);
  if (caption.empty()) return false;
  const auto id = [&] { return meta.id.empty() ? RowIdOf(label, caption) : IdentifierOf(meta.id); };
  if (text.empty()) {
    if (!meta.source.ok() && !meta.source.source.empty())
      section.missing.push_back(
          {std::string(caption), meta.source.Explain(), id(), section.Items.size()});
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
  row.id = id();
  row.quantity = meta.quantity;
  section.Items.push_back(std::move(row));
  return true;
}

// Rows of one section may share a label (two monitors, a repeated variable): the second and
// later get "_2", "_3" so every id names one row.
void MakeIdsUnique(Section& section) {
  std::unordered_map<std::string, int> seen;
  const auto unique = [&](std::string& id) {
    const int n = ++seen[id];
    if (n > 1) id += "_" + std::to_string(n);
  };
  for (TZuSectionItem& row : section.Items) unique(row.id);
  for (MissingValue& missing : section.missing) unique(missing.id);
}

std::string ReasonFromMissing(const std::vector<MissingValue>& missing) {
  std::vector<std::string_view> reasons;
  for (const MissingValue& m : missing) {
    bool known = false;
    for (std::string_view r : reasons) known = known || r == m.reason;
    if (!known) reasons.push_back(m.reason);
  }
  std::string joined;
  for (std::string_view r : reasons) {
    if (!joined.empty()) joined += "; ";
    joined += r;
  }
  return FormatText(lbl::S_EMPTY_NOT_AVAILABLE, {joined});
}

}  // namespace

std::string_view QuantityUnitName(QuantityUnit unit) {
  switch (unit) {
    case QuantityUnit::kBytes:
      return "bytes";
    case QuantityUnit::kBits:
      return "bits";
    case QuantityUnit::kHertz:
      return "hertz";
    case QuantityUnit::kBitsPerSecond:
      return "bits_per_second";
    case QuantityUnit::kSeconds:
      return "seconds";
    case QuantityUnit::kMilliseconds:
      return "milliseconds";
    case QuantityUnit::kPercent:
      return "percent";
    case QuantityUnit::kCount:
      return "count";
    case QuantityUnit::kPixels:
      return "pixels";
    case QuantityUnit::kMillimeters:
      return "millimeters";
    case QuantityUnit::kCelsius:
      return "celsius";
    case QuantityUnit::kVolts:
      return "volts";
    case QuantityUnit::kWatts:
      return "watts";
    case QuantityUnit::kRpm:
      return "rpm";
  }
  return "count";
}

Page::Page(std::string categoryKey, std::string listName, std::vector<Section> sections)
    : category_key_(std::move(categoryKey)),
      list_name_(std::move(listName)),
      sections_(std::move(sections)) {
  for (Section& s : sections_)
    if (s.id.empty()) s.id = IdentifierOf(s.Caption);
}

void Page::ClearItems() {
  for (Section& s : sections_) {
    s.Items.clear();
    s.missing.clear();
    s.emptyReason.clear();
    s.note.clear();
    s.rowsOffered = 0;
    s.advancedRowsSkipped = 0;
  }
}

std::size_t Page::RowCount() const {
  std::size_t count = 0;
  for (const Section& s : sections_) count += s.Items.size();
  return count;
}

std::string_view TrimText(std::string_view text) {
  return base::Trim(text);
}

std::string IdentifierOf(std::string_view text) {
  std::string id;
  for (char c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      id += c;
    } else if (c == '.' || c == '\'') {
      // Abbreviations and possessives stay one word: "S.M.A.R.T." gives "smart".
    } else if (!id.empty() && id.back() != '_') {
      id += '_';
    }
  }
  while (!id.empty() && id.back() == '_') id.pop_back();
  return id.empty() ? "row" : id;
}

bool AddItem(const FillContext& ctx, Page& list, int sectionIndex, std::string_view label,
             std::string_view value, std::string_view comment, bool advancedOnly,
             const RowMeta& meta) {
  return AddRow(ctx, list, sectionIndex, -1, label, value, comment, advancedOnly, 0, true, meta);
}

bool AddItemEx(const FillContext& ctx, Page& list, int sectionIndex, int imageIndex,
               std::string_view label, std::string_view value, std::string_view comment,
               bool advancedOnly, int data, const RowMeta& meta) {
  return AddRow(ctx, list, sectionIndex, imageIndex, label, value, comment, advancedOnly, data,
                false, meta);
}

void NoteEmptySection(Page& list, int sectionIndex, std::string_view reason) {
  auto& sections = list.Sections();
  if (sectionIndex < 0 || static_cast<std::size_t>(sectionIndex) >= sections.size()) return;
  sections[static_cast<std::size_t>(sectionIndex)].note = std::string(TrimText(reason));
}

std::string EmptySectionReason(const Section& s) {
  if (!s.Items.empty()) return {};
  if (!s.emptyReason.empty()) return s.emptyReason;
  if (!s.note.empty()) return s.note;
  if (!s.missing.empty()) return ReasonFromMissing(s.missing);
  if (s.rowsOffered > 0 && s.advancedRowsSkipped == s.rowsOffered)
    return lbl::S_EMPTY_ADVANCED_ONLY;
  if (s.rowsOffered > 0) return lbl::S_EMPTY_NOTHING_FOUND;
  return lbl::S_EMPTY_NOT_GATHERED;
}

void ExplainEmptySections(Page& page) {
  for (Section& s : page.Sections()) {
    MakeIdsUnique(s);
    s.emptyReason.clear();
    s.emptyReason = EmptySectionReason(s);
  }
}

}  // namespace tavrin::pages
