#include "collectors/os/os_dates.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace tavrin::collectors {

// Days from civil: the well-known era-based algorithm for the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(year - era * 400);
  const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

unsigned WeekdayOfDays(int64_t days) {
  return static_cast<unsigned>(days >= -4 ? (days + 4) % 7 : (days + 5) % 7 + 6);
}

TDateTime DateTimeFromUnix(int64_t seconds) {
  return kUnixEpochDays + static_cast<double>(seconds) / 86400.0;
}

int64_t UnixFromDateTime(TDateTime value) {
  return static_cast<int64_t>(std::llround((value - kUnixEpochDays) * 86400.0));
}

std::optional<TDateTime> DateTimeFromDosStamp(uint32_t stamp) {
  const unsigned date = stamp >> 16;
  const unsigned time = stamp & 0xFFFFu;
  const unsigned year = 1980 + (date >> 9);
  const unsigned month = (date >> 5) & 0xF;
  const unsigned day = date & 0x1F;
  if (month == 0 || month > 12 || day == 0) return std::nullopt;
  const int64_t seconds = DaysFromCivil(year, month, day) * 86400 + (time >> 11) * 3600 +
                          ((time >> 5) & 0x3F) * 60 + (time & 0x1F) * 2;
  return DateTimeFromUnix(seconds);
}

TransitionRule TransitionRuleFromBytes(const uint8_t* b) {
  auto word = [b](int i) { return static_cast<uint16_t>(b[2 * i] | (b[2 * i + 1] << 8)); };
  return {word(0), word(1), word(2), word(3), word(4), word(5), word(6), word(7)};
}

std::optional<TDateTime> TransitionInYear(const TransitionRule& rule, int year) {
  if (rule.month < 1 || rule.month > 12) return std::nullopt;
  int64_t days = 0;
  if (rule.year != 0) {
    if (rule.day < 1 || rule.day > 31) return std::nullopt;
    days = DaysFromCivil(rule.year, rule.month, rule.day);
  } else {
    // The n-th given weekday of the month; week 5 means the last one in the month.
    const int64_t first = DaysFromCivil(year, rule.month, 1);
    const unsigned nextMonth = rule.month == 12 ? 1 : rule.month + 1u;
    const int64_t end = DaysFromCivil(rule.month == 12 ? year + 1 : year, nextMonth, 1);
    const unsigned shift = (rule.dayOfWeek % 7 + 7 - WeekdayOfDays(first)) % 7;
    const unsigned week = rule.day < 1 ? 1 : (rule.day > 5 ? 5 : rule.day);
    days = first + shift + 7 * (week - 1);
    while (days >= end) days -= 7;
  }
  const int64_t seconds = days * 86400 + rule.hour * 3600 + rule.minute * 60 + rule.second;
  return DateTimeFromUnix(seconds) + rule.milliseconds / 86400000.0;
}

std::string DateTimeText(TDateTime value) {
  const int64_t seconds = UnixFromDateTime(value);
  int64_t days = seconds / 86400;
  int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // Civil from days: the inverse of DaysFromCivil.
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned day = doy - (153 * mp + 2) / 5 + 1;
  const unsigned month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = static_cast<int64_t>(yoe) + era * 400 + (month <= 2);
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02lld:%02lld:%02lld",
                static_cast<long long>(year), month, day, static_cast<long long>(rest / 3600),
                static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
  return text;
}

std::string ShortDateText(std::string_view picture, int year, unsigned month, unsigned day) {
  static constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
  auto padded = [](long long value, int width) {
    std::string digits = std::to_string(value);
    if (digits.size() < static_cast<std::size_t>(width))
      digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
  };
  if (picture.empty()) return padded(year, 4) + "-" + padded(month, 2) + "-" + padded(day, 2);
  std::string out;
  for (std::size_t i = 0; i < picture.size();) {
    const char c = picture[i];
    std::size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    if (c == '\'' || c == '"') {
      // A quoted literal runs to the matching quote; an unclosed one to the end.
      const std::size_t end = picture.find(c, i + 1);
      out += picture.substr(i + 1, (end == std::string_view::npos ? picture.size() : end) - i - 1);
      i = end == std::string_view::npos ? picture.size() : end + 1;
      continue;
    }
    if (c == 'd') {
      static constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                              "Thursday", "Friday", "Saturday"};
      const std::string name = kDays[WeekdayOfDays(DaysFromCivil(year, month, day))];
      out += run <= 2 ? padded(day, static_cast<int>(run)) : run == 3 ? name.substr(0, 3) : name;
    } else if (c == 'M') {
      const char* name = month >= 1 && month <= 12 ? kMonths[month - 1] : "";
      out += run <= 2   ? padded(month, static_cast<int>(run))
             : run == 3 ? std::string(name).substr(0, 3)
                        : std::string(name);
    } else if (c == 'y') {
      const int twoDigits = ((year % 100) + 100) % 100;
      out += run <= 2 ? padded(twoDigits, static_cast<int>(run)) : padded(year, 4);
    } else {
      out.append(run, c);  // separators
    }
    i += run;
  }
  return out;
}

int CurrentYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

}  // namespace tavrin::collectors
