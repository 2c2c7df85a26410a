// Time-zone files in the TZif format (RFC 8536) and the POSIX TZ rule of their footer, turned
// into what a time-zone reading needs: the names, the offsets and this year's transitions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "collectors/os/os_types.h"

namespace tavrin::collectors {

struct TzifType {
  int32_t utoff = 0;  ///< seconds east of UTC
  bool isdst = false;
  std::string abbreviation;
};

struct TzifData {
  int version = 0;                 ///< 0 for the original format, else 2, 3, 4
  std::vector<int64_t> times;      ///< transition times, seconds since 1970 UTC, ascending
  std::vector<uint8_t> typeIndex;  ///< the type in effect from each transition on
  std::vector<TzifType> types;
  std::string footer;  ///< POSIX TZ string of a version 2+ file; may be empty
};

/// Nullopt for data that is not TZif or is cut short.
std::optional<TzifData> ParseTzif(std::string_view bytes);

/// A POSIX TZ string ("CET-1CEST,M3.5.0,M10.5.0/3").
struct PosixTzRule {
  struct Date {
    char kind = 'M';  ///< 'J' Julian day 1..365 without Feb 29, 'D' day 0..365, 'M' month rule
    int day = 0;      ///< J/D day, or M weekday 0..6
    int month = 0;
    int week = 0;         ///< 1..5, 5 the last
    int32_t time = 7200;  ///< seconds after local midnight (may be negative or past 24 h)
  };
  std::string stdName;
  int32_t stdUtoff = 0;  ///< seconds east of UTC
  std::string dstName;   ///< empty: no daylight saving
  int32_t dstUtoff = 0;
  Date start, end;  ///< daylight saving starts, ends (in the local time then in effect)
};

std::optional<PosixTzRule> ParsePosixTz(std::string_view text);

/// One year of a zone. Transition times are local wall-clock times before the change (the
/// way Windows states its rules); both are present or both absent.
struct ZoneYear {
  std::string stdName, dstName;
  int32_t stdUtoff = 0, dstUtoff = 0;
  std::optional<TDateTime> dstStart, stdStart;
};

ZoneYear ZoneYearOf(const PosixTzRule& rule, int year);
/// From the file's own transitions when the year has them, else from its footer rule.
std::optional<ZoneYear> ZoneYearOf(const TzifData& zone, int year);

}  // namespace tavrin::collectors
