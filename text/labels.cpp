#include "text/labels.h"

#include <array>

namespace tavrin::lbl {
#define TAVRIN_LABEL(key, english) std::string key{english};
#include "text/labels.def"
#include "text/labels_added.def"
#undef TAVRIN_LABEL
}  // namespace tavrin::lbl

namespace tavrin::labels {
namespace {

constexpr std::size_t kCount = 0
#define TAVRIN_LABEL(key, english) +1
#include "text/labels.def"
#undef TAVRIN_LABEL
    ;

const std::array<Entry, kCount> kTable = {{
#define TAVRIN_LABEL(key, english) {#key, &lbl::key, english},
#include "text/labels.def"
#undef TAVRIN_LABEL
}};

constexpr std::size_t kAddedCount = 0
#define TAVRIN_LABEL(key, english) +1
#include "text/labels_added.def"
#undef TAVRIN_LABEL
    ;

const std::array<Entry, kAddedCount> kAddedTable = {{
#define TAVRIN_LABEL(key, english) {#key, &lbl::key, english},
#include "text/labels_added.def"
#undef TAVRIN_LABEL
}};

}  // namespace

std::span<const Entry> Table() {
  return kTable;
}
std::span<const Entry> AddedTable() {
  return kAddedTable;
}

void Localize(const std::function<void(std::string_view key, std::string& text)>& translateVar) {
  for (const Entry& e : kTable) translateVar(e.key, *e.variable);
  for (const Entry& e : kAddedTable) translateVar(e.key, *e.variable);
}

void Clear() {
  for (const Entry& e : kTable) e.variable->clear();
  for (const Entry& e : kAddedTable) e.variable->clear();
}

void ResetToDefaults() {
  for (const Entry& e : kTable) e.variable->assign(e.english);
  for (const Entry& e : kAddedTable) e.variable->assign(e.english);
}

}  // namespace tavrin::labels
