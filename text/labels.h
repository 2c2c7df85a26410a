// The label table: every text the program composes itself.
//
// Each label is one process-wide variable holding its English default until the localization
// pass replaces it with the user's language. Code uses the variables (lbl::S_CPU_NAME), never
// the keys; the keys exist for the localizer and the language files.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace tavrin::lbl {
#define TAVRIN_LABEL(key, english) extern std::string key;
#include "text/labels.def"
#include "text/labels_added.def"
#undef TAVRIN_LABEL
}  // namespace tavrin::lbl

namespace tavrin::labels {

struct Entry {
  std::string_view key;
  std::string* variable;
  std::string_view english;
};

/// Every label of the classic table, in table order.
std::span<const Entry> Table();
/// Labels of the rows this program adds, offered after the classic table.
std::span<const Entry> AddedTable();

/// Localization pass: offers every label, the classic table first, in table order, to
/// `translateVar`, which overwrites the text when the language has one and leaves it alone
/// otherwise.
void Localize(const std::function<void(std::string_view key, std::string& text)>& translateVar);

/// Clearing pass at program end: every variable becomes empty, in table order.
void Clear();

/// Every variable back to its English default (tests, and a language change in one run).
void ResetToDefaults();

}  // namespace tavrin::labels
