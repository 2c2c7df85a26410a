#include "helpers/libhelper/format_bytes.h"

#include "helpers/interfaces.h"

namespace tavrin::helpers {
namespace {

constexpr const char* kUnitNames[] = {"bytes", "KB", "MB", "GB", "TB"};
constexpr int kLargestUnit = 4;
constexpr int kMaxDecimals = 9;

// Exponent of 1024 for a fixed mode; -1 for the automatic choice.
int FixedUnit(uint8_t mode) {
  switch (mode) {
    case kFormatExact:
    case kFormatExactGrouped:
      return 0;
    case kFormatKilobytes:
    case kFormatKilobytesWhole:
      return 1;
    case kFormatMegabytes:
      return 2;
    case kFormatGigabytes:
      return 3;
    case kFormatTerabytes:
      return 4;
    default:
      return -1;
  }
}

uint64_t Pow10(int n) {
  uint64_t v = 1;
  while (n-- > 0) v *= 10;
  return v;
}

std::string Grouped(uint64_t value, std::string_view separator) {
  std::string digits = std::to_string(value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

}  // namespace

std::string FormatByteSize(uint8_t mode, std::string_view thousandSeparator, uint64_t size,
                           int32_t decimals, bool withoutUnit, std::string_view suffix) {
  int unit = FixedUnit(mode);
  const bool automatic = unit < 0;
  if (automatic) {
    unit = 0;
    while (unit < kLargestUnit && size >> (10 * (unit + 1)) != 0) ++unit;
  }
  int places = decimals < 0 ? 0 : decimals > kMaxDecimals ? kMaxDecimals : decimals;

  // Integer arithmetic in 128 bits: exact rounding for every 64-bit size and up to nine
  // decimals, where a double would already lose the last bytes of large sizes.
  uint64_t whole = 0, fraction = 0;
  for (;;) {
    if (unit == 0) places = 0;  // a byte count has no fraction
    const unsigned __int128 divisor = static_cast<unsigned __int128>(1) << (10 * unit);
    const unsigned __int128 scaled =
        (static_cast<unsigned __int128>(size) * Pow10(places) + divisor / 2) / divisor;
    whole = static_cast<uint64_t>(scaled / Pow10(places));
    fraction = static_cast<uint64_t>(scaled % Pow10(places));
    // 1023.999 KB rounds to 1024.00 KB: the automatic choice moves on to 1.00 MB.
    if (!automatic || whole < 1024 || unit == kLargestUnit) break;
    ++unit;
    places = decimals < 0 ? 0 : decimals > kMaxDecimals ? kMaxDecimals : decimals;
  }

  std::string text = Grouped(whole, thousandSeparator);
  if (places > 0) {
    std::string digits = std::to_string(fraction);
    text += thousandSeparator == "." ? "," : ".";
    text += std::string(static_cast<std::size_t>(places) - digits.size(), '0') + digits;
  }
  if (!withoutUnit) {
    text += ' ';
    text += kUnitNames[unit];
  }
  text += suffix;
  return text;
}

uint64_t BytesInUnit(uint64_t bytes, uint8_t unit) {
  switch (unit) {
    case kUnitKilobytes:
      return bytes >> 10;
    case kUnitMegabytes:
      return bytes >> 20;
    case kUnitGigabytes:
      return bytes >> 30;
    case kUnitTerabytes:
      return bytes >> 40;
    default:
      return bytes;
  }
}

}  // namespace tavrin::helpers
