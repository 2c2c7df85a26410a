// The C library's description of a locale: what the operating-system collector turns into the
// locale texts and codes. Raw answers only; the collector decides what they mean.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/provenance.h"

namespace tavrin::platform {

/// The locale items as the C library states them (nl_langinfo and localeconv items).
struct LocaleFacts {
  std::string name;               ///< the locale asked for ("de_DE.UTF-8")
  std::string codeset;            ///< CODESET
  std::string dateFormat;         ///< D_FMT, strftime notation ("%d.%m.%Y")
  std::string dateTimeFormat;     ///< D_T_FMT
  std::string timeFormat;         ///< T_FMT
  std::string amPmTimeFormat;     ///< T_FMT_AMPM (empty in 24-hour locales)
  std::string amString;           ///< AM_STR (empty in 24-hour locales)
  std::string decimalPoint;       ///< RADIXCHAR
  std::string thousandsSep;       ///< THOUSEP
  std::string currencySymbol;     ///< local currency symbol
  std::string intCurrencySymbol;  ///< "EUR " (ISO 4217 code and a separator)
  std::string monDecimalPoint;
  std::string monThousandsSep;
  int fracDigits = -1;  ///< digits after the decimal point in money amounts
  int csPrecedes = -1;  ///< 1 when the symbol precedes a positive amount
  int sepBySpace = -1;  ///< 1 when a blank separates symbol and amount
  int negCsPrecedes = -1;
  int negSepBySpace = -1;
  int negSignPosn = -1;      ///< 0 parentheses, 1 sign first, 2 sign last, 3 before symbol, 4 after
  int measurement = 0;       ///< 1 metric, 2 US customary; 0 unknown
  std::string languageName;  ///< English name of the language ("German")
  std::string territoryName;   ///< English name of the territory ("Germany")
  std::string languageAbbrev;  ///< ISO 639 code ("de")
  std::string countryAbbrev;   ///< ISO 3166 alpha-3 code ("DEU")
  std::string phonePrefix;     ///< international dialing code ("49")
};

class LocaleDatabase {
 public:
  virtual ~LocaleDatabase() = default;
  /// Facts of `name`; Missing when the locale is not installed.
  virtual Answer<LocaleFacts> Describe(std::string_view name) const = 0;
};

/// A platform without a locale database: every answer is "not supported".
std::shared_ptr<const LocaleDatabase> UnsupportedLocales(std::string why);

}  // namespace tavrin::platform
