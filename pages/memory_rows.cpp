#include "pages/memory_rows.h"

#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {

std::string InstalledMemoryText(uint64_t bytes) {
  return FormatText(lbl::S_INTRO_MEMORY_VALUE, {std::to_string(bytes >> 20)});
}

int CompareMemoryRows(const TZuSectionItem& a, const TZuSectionItem& b) {
  if (a.Data < b.Data) return -1;
  if (a.Data > b.Data) return 1;
  return 0;
}

HistoryScale SwapHistoryScale(int64_t swapTotalBytes) {
  const auto megabytes = static_cast<int32_t>(swapTotalBytes / 1024 / 1024);
  if (megabytes <= 1024) return {megabytes, lbl::S_COUNT_MB};
  return {megabytes / 1024, lbl::S_COUNT_GB};
}

std::optional<uint32_t> SwapLoadPercent(int64_t total, int64_t free) {
  if (total <= 0) return std::nullopt;
  const int64_t freePercent = free * 100 / total;
  return static_cast<uint32_t>(static_cast<uint8_t>(100 - freePercent));
}

}  // namespace tavrin::pages
