#include "collectors/os/os_text_rules.h"

#include <array>
#include <cctype>

#include "base/strings.h"

namespace tavrin::collectors {
namespace {

using base::Trim;

std::string WithoutQuotes(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != '"') out += c;
  return out;
}

// The order of day, month and year in a strftime date format.
TDateOrder OrderOf(std::string_view format) {
  std::size_t d = std::string_view::npos, m = d, y = d;
  for (std::size_t i = 0; i + 1 < format.size(); ++i) {
    if (format[i] != '%') continue;
    const char c = format[++i];
    if ((c == 'd' || c == 'e') && d == std::string_view::npos) d = i;
    if ((c == 'm' || c == 'b' || c == 'B' || c == 'h') && m == std::string_view::npos) m = i;
    if ((c == 'y' || c == 'Y') && y == std::string_view::npos) y = i;
    if (c == 'D') return TDateOrder::MDY;
    if (c == 'F') return TDateOrder::YMD;
  }
  if (y < m && y < d) return TDateOrder::YMD;
  if (d < m) return TDateOrder::DMY;
  return TDateOrder::MDY;
}

// The first character of a picture that is not part of a field: the separator of a date or
// time format ("dd.MM.yyyy" -> ".").
std::string SeparatorOf(std::string_view picture) {
  for (char c : picture)
    if (!std::isalpha(static_cast<unsigned char>(c))) return std::string(1, c);
  return {};
}

}  // namespace

std::vector<std::string> EnvironmentLines(std::string_view block, std::size_t limit) {
  std::vector<std::string> lines;
  std::string current;
  for (std::size_t i = 0; i < block.size() && i < limit; ++i) {
    if (block[i] != '\0') {
      current += block[i];
      continue;
    }
    if (current.empty()) break;
    lines.push_back(std::move(current));
    current.clear();
  }
  return lines;
}

std::string EnvironmentBlockOf(const std::vector<std::string>& lines) {
  std::string block;
  for (const std::string& line : lines) {
    block += line;
    block += '\0';
  }
  block += '\0';
  return block;
}

std::vector<std::string> ProxyLines(std::string_view setting) {
  std::vector<std::string> lines;
  if (setting.empty()) return lines;
  std::size_t start = 0;
  for (;;) {
    const auto end = setting.find(';', start);
    lines.emplace_back(setting.substr(start, end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find('=') == std::string::npos) lines[i] = std::to_string(i) + "=" + lines[i];
  return lines;
}

std::string ProgramPathOfCommand(std::string_view command,
                                 const std::function<bool(std::string_view)>& exists) {
  std::string path = WithoutQuotes(command);
  while (!path.empty() && !exists(path)) {
    path.pop_back();
    path = WithoutQuotes(path);
  }
  return path;
}

std::string NegativeCurrencyPattern(char digit, std::string_view symbol) {
  static constexpr std::array<std::string_view, 10> kPatterns = {
      "($1.1)", "-$1.1", "$-1.1", "$1.1-", "(1.1$)", "-1.1$", "1.1-$", "1.1$-", "-1.1 $", "-$ 1.1"};
  if (digit < '0' || digit > '9') return {};
  std::string out;
  for (char c : kPatterns[static_cast<std::size_t>(digit - '0')]) {
    if (c == '$') {
      out += symbol;
    } else {
      out += c;
    }
  }
  return out;
}

std::string PictureOfStrftime(std::string_view format) {
  std::string out;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 >= format.size()) {
      out += format[i];
      continue;
    }
    char c = format[++i];
    // Modifiers (%Ey, %Od) do not change what the field is; "-" drops the leading zero.
    bool unpadded = false;
    while ((c == 'E' || c == 'O' || c == '-' || c == '_' || c == '0' || c == '^' || c == '#') &&
           i + 1 < format.size()) {
      unpadded = unpadded || c == '-';
      c = format[++i];
    }
    if (unpadded && (c == 'd' || c == 'm' || c == 'H' || c == 'I')) {
      out += c == 'd' ? "d" : c == 'm' ? "M" : c == 'H' ? "H" : "h";
      continue;
    }
    switch (c) {
      case 'd':
        out += "dd";
        break;
      case 'e':
        out += "d";
        break;
      case 'm':
        out += "MM";
        break;
      case 'b':
      case 'h':
        out += "MMM";
        break;
      case 'B':
        out += "MMMM";
        break;
      case 'y':
        out += "yy";
        break;
      case 'Y':
        out += "yyyy";
        break;
      case 'a':
        out += "ddd";
        break;
      case 'A':
        out += "dddd";
        break;
      case 'H':
        out += "HH";
        break;
      case 'k':
        out += "H";
        break;
      case 'I':
        out += "hh";
        break;
      case 'l':
        out += "h";
        break;
      case 'M':
        out += "mm";
        break;
      case 'S':
        out += "ss";
        break;
      case 'p':
      case 'P':
        out += "tt";
        break;
      case 'T':
        out += "HH:mm:ss";
        break;
      case 'R':
        out += "HH:mm";
        break;
      case 'r':
        out += "hh:mm:ss tt";
        break;
      case 'D':
        out += "MM/dd/yy";
        break;
      case 'F':
        out += "yyyy-MM-dd";
        break;
      case 'Z':
      case 'z':
        break;  // the zone has rows of its own
      case '%':
        out += '%';
        break;
      default:
        out += '%';
        out += c;
        break;
    }
  }
  return std::string(Trim(out));
}

LocaleData LocaleFromFacts(const platform::LocaleFacts& f) {
  LocaleData l;
  // The language with its country, as the language's own full name reads ("English (United
  // States)"); the English name alone is the language.
  l.FullLocalizeLanguage = f.territoryName.empty() || f.languageName.empty()
                               ? f.languageName
                               : f.languageName + " (" + f.territoryName + ")";
  l.FullLanguageEnglishName = f.languageName;
  l.AbbreviateLanguageName = f.languageAbbrev;
  l.CountryCode = f.phonePrefix;
  l.FullCountryCode = f.territoryName;
  l.AbbreviateCountryCode = f.countryAbbrev;
  // The C library has no list separator; the usual rule is ";" where the comma is decimal.
  l.ListSeparator = std::string(f.decimalPoint == "," ? ";" : ",");
  l.MeasurementSystem = f.measurement == 2 ? TMeasureSystem::US : TMeasureSystem::Metric;
  l.DecimalSeparator = f.decimalPoint;
  l.DecimalThousandSeparator = f.thousandsSep;
  l.LocalMonetarySymbol = f.currencySymbol;
  l.InternationalMonetarySymbol = std::string(Trim(f.intCurrencySymbol));
  l.CurrencyDecimalSeparator = f.monDecimalPoint;
  l.CurrencyThousandSeparator = f.monThousandsSep;
  if (f.fracDigits >= 0) {
    l.CurrencyDecimalDigits = std::to_string(f.fracDigits);
    l.NumberOfDecimalDigits = std::to_string(f.fracDigits);
  }
  const bool before = f.csPrecedes == 1, blank = f.sepBySpace == 1;
  l.PositiveCurrencyMode = before ? (blank ? TPositiveCurrencyMode::Prefix_One_Char_Separation
                                           : TPositiveCurrencyMode::Prefix_No_Separation)
                                  : (blank ? TPositiveCurrencyMode::Suffix_One_Char_Separation
                                           : TPositiveCurrencyMode::Suffix_No_Separation);
  // The negative pattern whose shape matches the locale's sign position and symbol place.
  char negative = '1';
  const bool nBefore = f.negCsPrecedes == 1, nBlank = f.negSepBySpace == 1;
  switch (f.negSignPosn) {
    case 0:
      negative = nBefore ? '0' : '4';
      break;
    case 1:
      negative = nBefore ? (nBlank ? '9' : '1') : (nBlank ? '8' : '5');
      break;
    case 2:
      negative = nBefore ? '3' : '6';
      break;
    case 3:
      negative = nBefore ? '1' : '7';
      break;
    case 4:
      negative = nBefore ? '2' : '6';
      break;
    default:
      break;
  }
  l.NegativeCurrencyMode = NegativeCurrencyPattern(negative, f.currencySymbol);
  l.DateSeparator = SeparatorOf(PictureOfStrftime(f.dateFormat));
  l.TimeSeparator = SeparatorOf(PictureOfStrftime(f.timeFormat));
  const bool twelveHour = !f.amString.empty() && f.timeFormat.find("%I") != std::string::npos;
  l.TimeFormat =
      PictureOfStrftime(twelveHour && !f.amPmTimeFormat.empty() ? f.amPmTimeFormat : f.timeFormat);
  l.TimeFormatSpecifier = twelveHour || f.timeFormat.find("%r") != std::string::npos
                              ? TTimeFormat::H12
                              : TTimeFormat::H24;
  l.ShortDateFormat = PictureOfStrftime(f.dateFormat);
  l.LongDateFormat = PictureOfStrftime(f.dateTimeFormat);
  l.ShortDateOrder = OrderOf(f.dateFormat);
  l.LongDateOrder = OrderOf(f.dateTimeFormat);
  l.YearFormat =
      (f.dateFormat.find("%Y") != std::string::npos || f.dateFormat.find("%F") != std::string::npos)
          ? TYearFormat::FourDigit
          : TYearFormat::TwoDigit;
  l.CodeSet = f.codeset;
  return l;
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    uint32_t min = 0;
    if (c < 0x80) {
      length = 1;
    } else if ((c & 0xE0) == 0xC0) {
      length = 2;
      min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      length = 3;
      min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      length = 4;
      min = 0x10000;
    }
    bool valid = length != 0 && i + length <= text.size();
    uint32_t code = length == 1 ? c : (c & (0x7F >> length));
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8 either.
    if (valid && length > 1)
      valid = code >= min && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    if (valid) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

std::pair<std::string_view, std::string_view> SplitAssignment(std::string_view line) {
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return {line, {}};
  return {line.substr(0, eq), line.substr(eq + 1)};
}

}  // namespace tavrin::collectors
