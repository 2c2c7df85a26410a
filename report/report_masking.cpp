#include "report/report_masking.h"

#include <algorithm>
#include <map>

namespace tavrin::report {
namespace {

bool IsWordByte(char c) {
  // Bytes of multi-byte UTF-8 characters count as letters: a name inside a longer
  // non-ASCII word is not a separate word.
  const auto u = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         u >= 0x80;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

class Placeholders {
 public:
  /// Numbers `value` on first sight; empty values are not masked.
  void Add(std::string_view value) {
    value = Trimmed(value);
    if (value.empty()) return;
    if (numbers_.try_emplace(std::string(value), numbers_.size() + 1).second)
      longest_first_.emplace_back(value);
  }
  /// Call once every value is added.
  void Seal() {
    std::stable_sort(
        longest_first_.begin(), longest_first_.end(),
        [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  }
  /// A sensitive field: its text replaced, the blanks around it (the value column's leading
  /// blank) kept.
  void MaskWhole(std::string& field) const {
    const std::string_view core = Trimmed(field);
    if (core.empty()) return;
    const std::size_t start = static_cast<std::size_t>(core.data() - field.data());
    field.replace(start, core.size(), Placeholder(core));
  }
  /// Any other field: whole-word occurrences of the masked values replaced, in one pass so
  /// that no value is ever looked for inside a placeholder.
  void MaskInside(std::string& text) const {
    if (longest_first_.empty()) return;
    std::string out;
    bool changed = false;
    for (std::size_t pos = 0; pos < text.size();) {
      const std::string* hit = nullptr;
      if (pos == 0 || !IsWordByte(text[pos - 1]) || !IsWordByte(text[pos])) {
        for (const std::string& value : longest_first_) {
          const std::size_t end = pos + value.size();
          if (text.compare(pos, value.size(), value) != 0) continue;
          if (end < text.size() && IsWordByte(text[end]) && IsWordByte(value.back())) continue;
          hit = &value;
          break;
        }
      }
      if (hit) {
        out += Placeholder(*hit);
        pos += hit->size();
        changed = true;
      } else {
        out += text[pos++];
      }
    }
    if (changed) text = std::move(out);
  }

 private:
  std::string Placeholder(std::string_view value) const {
    return "[masked-" + std::to_string(numbers_.find(value)->second) + "]";
  }

  std::map<std::string, std::size_t, std::less<>> numbers_;
  std::vector<std::string> longest_first_;
};

}  // namespace

void MaskSensitive(ReportDocument& doc) {
  ReportHeader& h = doc.header;
  Placeholders placeholders;
  placeholders.Add(h.user);
  placeholders.Add(h.systemname);
  for (const ReportSection& section : doc.sections)
    for (const ReportRow& row : section.items)
      if (row.sensitive) placeholders.Add(row.param);
  placeholders.Seal();

  placeholders.MaskWhole(h.user);
  placeholders.MaskWhole(h.systemname);
  for (std::string* field : {&h.program, &h.site, &h.generated, &h.version, &h.winversion,
                             &h.processorname, &h.installedmemory})
    placeholders.MaskInside(*field);
  for (ReportSection& section : doc.sections) {
    placeholders.MaskInside(section.title);
    for (ReportRow& row : section.items) {
      placeholders.MaskInside(row.name);
      if (row.sensitive)
        placeholders.MaskWhole(row.param);
      else
        placeholders.MaskInside(row.param);
      placeholders.MaskInside(row.advanced);
    }
  }
}

}  // namespace tavrin::report
