#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "collectors/os/os_dates.h"
#include "collectors/os/os_text_rules.h"
#include "collectors/os/windows_os_parts.h"
#include "collectors/os/windows_registry_reads.h"
#include "platform/registry_source.h"

namespace tavrin::collectors::winparts {
namespace {

using platform::RegRoot;

constexpr std::string_view kZoneInformation =
    "SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation";
constexpr std::string_view kInternational = "Control Panel\\International";

int32_t Signed(uint32_t v) {
  return static_cast<int32_t>(v);
}

int32_t Le32(const std::vector<uint8_t>& d, std::size_t at) {
  return static_cast<int32_t>(d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) |
                              (static_cast<uint32_t>(d[at + 3]) << 24));
}

std::optional<TransitionRule> Rule(const platform::Registry& reg, std::string_view name) {
  auto value = reg.ReadValue(RegRoot::LocalMachine, kZoneInformation, name);
  if (!value || value->data.size() < 16) return std::nullopt;
  return TransitionRuleFromBytes(value->data.data());
}

bool SameRule(const TransitionRule& a, const TransitionRule& b) {
  return a.year == b.year && a.month == b.month && a.dayOfWeek == b.dayOfWeek && a.day == b.day &&
         a.hour == b.hour && a.minute == b.minute && a.second == b.second &&
         a.milliseconds == b.milliseconds;
}

// Names of the locale identifiers the program knows by heart: the registry keeps the user's
// overrides, not the names of the locale itself. Identifiers as the Windows NLS documentation
// lists them.
struct LocaleNames {
  uint32_t lcid;
  std::string_view localized, english, country3;
};
constexpr std::array<LocaleNames, 14> kLocaleNames = {{
    {0x0404, "中文(台灣)", "Chinese (Taiwan)", "TWN"},
    {0x0407, "Deutsch (Deutschland)", "German (Germany)", "DEU"},
    {0x0409, "English (United States)", "English (United States)", "USA"},
    {0x040C, "français (France)", "French (France)", "FRA"},
    {0x0410, "italiano (Italia)", "Italian (Italy)", "ITA"},
    {0x0411, "日本語 (日本)", "Japanese (Japan)", "JPN"},
    {0x0413, "Nederlands (Nederland)", "Dutch (Netherlands)", "NLD"},
    {0x0415, "polski (Polska)", "Polish (Poland)", "POL"},
    {0x0416, "português (Brasil)", "Portuguese (Brazil)", "BRA"},
    {0x0419, "русский (Россия)", "Russian (Russia)", "RUS"},
    {0x0804, "中文(中华人民共和国)", "Chinese (PRC)", "CHN"},
    {0x0809, "English (United Kingdom)", "English (United Kingdom)", "GBR"},
    {0x0C09, "English (Australia)", "English (Australia)", "AUS"},
    {0x0C0A, "español (España)", "Spanish (Spain)", "ESP"},
}};

TDateOrder OrderOfPicture(std::string_view picture) {
  const auto d = picture.find('d'), m = picture.find('M'), y = picture.find('y');
  if (y < m && y < d) return TDateOrder::YMD;
  if (d < m) return TDateOrder::DMY;
  return TDateOrder::MDY;
}

}  // namespace

TimeZoneReading ReadTimeZone(const platform::Registry& reg, bool ntFamily, int year) {
  TimeZoneReading tz;
  const RegRoot lm = RegRoot::LocalMachine;
  auto bias = winreg::Dword(reg, lm, kZoneInformation, "Bias");
  if (!bias) {
    tz.source = platform::Provenance::Failure(platform::Status::Missing,
                                              platform::RegistryKeyName(lm, kZoneInformation));
    return tz;
  }
  tz.source = platform::Provenance::Answered(platform::RegistryKeyName(lm, kZoneInformation));
  tz.Bias = Signed(*bias);
  tz.StandardName = winreg::String(reg, lm, kZoneInformation, "StandardName").value_or("");
  tz.DaylightName = winreg::String(reg, lm, kZoneInformation, "DaylightName").value_or("");
  const int32_t standardBias =
      Signed(winreg::Dword(reg, lm, kZoneInformation, "StandardBias").value_or(0));
  const int32_t daylightBias =
      Signed(winreg::Dword(reg, lm, kZoneInformation, "DaylightBias").value_or(0));
  const auto standardRule = Rule(reg, "StandardStart");
  const auto daylightRule = Rule(reg, "DaylightStart");

  const std::string zones =
      std::string(ntFamily ? winreg::kNtCurrentVersion : winreg::kCurrentVersion) + "\\Time Zones";
  for (const std::string& name : reg.SubKeys(lm, zones)) {
    const std::string key = zones + "\\" + name;
    auto tzi = reg.ReadValue(lm, key, "TZI");
    if (!tzi || tzi->data.size() != 44) continue;
    const auto& d = tzi->data;
    const TransitionRule candidateStandard = TransitionRuleFromBytes(d.data() + 12);
    const std::string std = winreg::String(reg, lm, key, "Std").value_or("");
    if (Le32(d, 0) == tz.Bias && Le32(d, 4) == standardBias && standardRule &&
        SameRule(candidateStandard, *standardRule) && std == tz.StandardName) {
      tz.DisplayName = winreg::String(reg, lm, key, "Display").value_or("");
      break;
    }
  }

  if (standardRule && daylightRule && standardRule->month != 0 && daylightRule->month != 0) {
    auto daylight = TransitionInYear(*daylightRule, year);
    auto standard = TransitionInYear(*standardRule, year);
    if (daylight && standard)
      tz.transitions = TimeZoneReading::Transitions{*daylight, *standard, tz.Bias + daylightBias,
                                                    tz.Bias + standardBias};
  }
  return tz;
}

LocaleData ReadLocale(const platform::Registry& reg, uint32_t localeId) {
  LocaleData l;
  const RegRoot cu = RegRoot::CurrentUser;
  auto get = [&](std::string_view name) {
    return winreg::String(reg, cu, kInternational, name).value_or("");
  };
  auto first = [&](std::string_view name) {
    const std::string v = get(name);
    return v.empty() ? -1 : v[0] - '0';
  };
  // The user default locale (0x400) is the one the "Locale" value names.
  uint32_t lcid = localeId;
  if (lcid == 0x400) {
    const std::string text = get("Locale");
    lcid = text.empty() ? 0 : static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
  }
  l.LocaleID = localeId;
  if (!reg.KeyExists(cu, kInternational)) {
    l.source = platform::Provenance::Failure(platform::Status::Missing,
                                             platform::RegistryKeyName(cu, kInternational));
    return l;
  }
  l.source = platform::Provenance::Answered(platform::RegistryKeyName(cu, kInternational));
  for (const LocaleNames& n : kLocaleNames) {
    if (n.lcid != (lcid & 0xFFFF)) continue;
    l.FullLocalizeLanguage = std::string(n.localized);
    l.FullLanguageEnglishName = std::string(n.english);
    l.AbbreviateCountryCode = std::string(n.country3);
  }
  l.AbbreviateLanguageName = get("sLanguage");
  l.CountryCode = get("iCountry");
  l.FullCountryCode = get("sCountry");
  l.ListSeparator = get("sList");
  l.MeasurementSystem = first("iMeasure") == 1 ? TMeasureSystem::US : TMeasureSystem::Metric;
  l.DecimalSeparator = get("sDecimal");
  l.NumberOfDecimalDigits = get("iDigits");
  l.LocalMonetarySymbol = get("sCurrency");
  l.InternationalMonetarySymbol = get("sIntlCurrency");
  l.CurrencyDecimalSeparator = get("sMonDecimalSep");
  l.CurrencyThousandSeparator = get("sMonThousandSep");
  l.DecimalThousandSeparator = get("sThousand");
  l.CurrencyDecimalDigits = get("iCurrDigits");
  if (int m = first("iCurrency"); m >= 0 && m <= 3)
    l.PositiveCurrencyMode = static_cast<TPositiveCurrencyMode>(m);
  const std::string negative = get("iNegCurr");
  if (!negative.empty())
    l.NegativeCurrencyMode = NegativeCurrencyPattern(negative[0], l.LocalMonetarySymbol);
  l.DateSeparator = get("sDate");
  l.TimeSeparator = get("sTime");
  l.TimeFormat = get("sTimeFormat");
  l.ShortDateFormat = get("sShortDate");
  l.LongDateFormat = get("sLongDate");
  if (int o = first("iDate"); o >= 0 && o <= 2) {
    l.ShortDateOrder = static_cast<TDateOrder>(o);
  } else {
    l.ShortDateOrder = OrderOfPicture(l.ShortDateFormat);
  }
  l.LongDateOrder = OrderOfPicture(l.LongDateFormat);
  l.TimeFormatSpecifier = first("iTime") == 1 ? TTimeFormat::H24 : TTimeFormat::H12;
  l.YearFormat = l.ShortDateFormat.find("yyyy") != std::string::npos ? TYearFormat::FourDigit
                                                                     : TYearFormat::TwoDigit;
  return l;
}

}  // namespace tavrin::collectors::winparts
