// Byte sizes as display text, the format behind Helper.FormatBytes (helpers/interfaces.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin::helpers {

std::string FormatByteSize(uint8_t mode, std::string_view thousandSeparator, uint64_t size,
                           int32_t decimals, bool withoutUnit, std::string_view suffix);

/// `bytes` in the unit of a GetInstalledMemory / GetFreeDiskSpace unit code, rounded down.
uint64_t BytesInUnit(uint64_t bytes, uint8_t unit);

}  // namespace tavrin::helpers
