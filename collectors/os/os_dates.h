// Date arithmetic of the operating-system collector: the date-time type (days since
// 1899-12-30), the DOS date and time of old install stamps, and the Windows time-zone rule
// "the n-th weekday of a month" resolved in a given year.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "collectors/os/os_types.h"

namespace tavrin::collectors {

/// Days between 1899-12-30 and 1970-01-01.
inline constexpr int kUnixEpochDays = 25569;

/// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day);
/// Day of the week of a date counted from 1970-01-01: 0 Sunday .. 6 Saturday.
unsigned WeekdayOfDays(int64_t days);

TDateTime DateTimeFromUnix(int64_t seconds);
int64_t UnixFromDateTime(TDateTime value);

/// A DOS stamp: the high 16 bits a date (year-1980:7, month:4, day:5), the low 16 bits a time
/// (hour:5, minute:6, seconds/2:5), taken as it stands (no time-zone conversion). Nullopt for
/// a date with month or day 0.
std::optional<TDateTime> DateTimeFromDosStamp(uint32_t stamp);

/// A SYSTEMTIME-shaped transition rule as the time-zone information holds it.
struct TransitionRule {
  uint16_t year = 0;       ///< 0: a yearly rule; otherwise an absolute date
  uint16_t month = 0;      ///< 0: no transition
  uint16_t dayOfWeek = 0;  ///< 0 Sunday
  uint16_t day = 0;        ///< week of the month 1..5, 5 meaning the last one
  uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

/// Reads the 16 little-endian bytes of a rule.
TransitionRule TransitionRuleFromBytes(const uint8_t* bytes);

/// The local date and time the rule gives in `year` (an absolute rule gives its own date).
std::optional<TDateTime> TransitionInYear(const TransitionRule& rule, int year);

/// "2026-12-06 02:48:17": the page's date-and-time text.
std::string DateTimeText(TDateTime value);

/// A calendar date as a locale's short-date picture writes it: "d", "dd", "ddd", "dddd", "M",
/// "MM", "MMM", "MMMM", "y", "yy", "yyyy", quoted literals ('de' or "de"); other characters
/// stand for themselves. An empty picture gives "2026-12-06". Day and month names are English:
/// the locale data we keep carries no names.
std::string ShortDateText(std::string_view picture, int year, unsigned month, unsigned day);

/// The current year of the local calendar.
int CurrentYear();

}  // namespace tavrin::collectors
