// Value texts the pages share, so every page shows sizes and counts the same way.
#pragma once

#include <cstdint>
#include <string>

namespace tavrin::pages {

/// The thousand separator of the user's numeric locale (LC_NUMERIC, LC_ALL, LANG), decided once;
/// empty for the C locale.
const std::string& UserThousandSeparator();

/// A count already in kilobytes as "16,384 KB" (grouped digits, then the KB unit label).
std::string FormatKilobytesText(uint64_t kilobytes);

/// A byte size with the largest fitting unit and two decimals ("1.21 GB").
std::string FormatByteSizeText(uint64_t bytes);

}  // namespace tavrin::pages
