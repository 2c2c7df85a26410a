#include "report/report_masking.h"

#include <map>

#include "base/strings.h"
#include "text/labels.h"

namespace tavrin::report {
namespace {

constexpr std::string_view Trimmed(std::string_view s) {
  return base::Trim(s);
}

class Placeholders {
 public:
  /// `field`'s text replaced, the blanks around it (the value column's leading blank) kept.
  void Mask(std::string& field) {
    const std::string_view core = Trimmed(field);
    if (core.empty() || core == lbl::S_VALUE_HIDDEN) return;
    const auto [it, added] = numbers_.try_emplace(std::string(core), numbers_.size() + 1);
    const std::size_t start = static_cast<std::size_t>(core.data() - field.data());
    field.replace(start, core.size(), "[masked-" + std::to_string(it->second) + "]");
  }

 private:
  std::map<std::string, std::size_t, std::less<>> numbers_;
};

}  // namespace

void MaskSensitive(ReportDocument& doc) {
  Placeholders placeholders;
  placeholders.Mask(doc.header.user);
  placeholders.Mask(doc.header.systemname);
  for (ReportPage& page : doc.pages)
    for (ReportSection& section : page.sections)
      for (ReportRow& row : section.items) {
        if (!row.sensitive || row.missing) continue;
        placeholders.Mask(row.param);
        row.quantity.reset();
      }
}

}  // namespace tavrin::report
