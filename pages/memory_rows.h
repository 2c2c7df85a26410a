// Texts and rules the memory and performance pages share with the window and the command line:
// the installed-memory text, the order of the memory list, the scale of the swap history.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "pages/page_model.h"

namespace tavrin::pages {

/// The installed memory as whole megabytes ("24105 MB"), the way the introduction panel shows
/// it, so the General page, the report header and the Memory page read the same.
std::string InstalledMemoryText(uint64_t bytes);

/// The memory list's order: by the working set its rows carry in `Data` (kilobytes), smallest
/// first; -1, 0 or 1.
int CompareMemoryRows(const TZuSectionItem& a, const TZuSectionItem& b);

/// The top of the swap history's scale: the size in megabytes up to 1024 MB, else in whole
/// gigabytes, with its unit label.
struct HistoryScale {
  int32_t top = 0;
  std::string unit;
};
HistoryScale SwapHistoryScale(int64_t swapTotalBytes);

/// Load of the swap space in percent: 100 - free * 100 / total (truncating); nullopt without
/// swap space.
std::optional<uint32_t> SwapLoadPercent(int64_t total, int64_t free);

}  // namespace tavrin::pages
