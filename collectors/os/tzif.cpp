#include "collectors/os/tzif.h"

#include <cctype>

#include "collectors/os/os_dates.h"

namespace tavrin::collectors {
namespace {

class Cursor {
 public:
  explicit Cursor(std::string_view bytes) : bytes_(bytes) {}
  bool Has(std::size_t n) const { return pos_ + n <= bytes_.size(); }
  int64_t Int(int width) {
    uint64_t v = 0;
    for (int i = 0; i < width; ++i) v = (v << 8) | static_cast<unsigned char>(bytes_[pos_ + i]);
    pos_ += static_cast<std::size_t>(width);
    if (width == 4) return static_cast<int32_t>(static_cast<uint32_t>(v));
    return static_cast<int64_t>(v);
  }
  uint8_t Byte() { return static_cast<uint8_t>(bytes_[pos_++]); }
  std::string_view Take(std::size_t n) {
    auto out = bytes_.substr(pos_, n);
    pos_ += n;
    return out;
  }
  void Skip(std::size_t n) { pos_ += n; }
  std::string_view Rest() const { return bytes_.substr(pos_); }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

struct Counts {
  int64_t isut, isstd, leap, time, type, chars;
};

std::optional<Counts> Header(Cursor& in, int& version) {
  if (!in.Has(44) || in.Take(4) != "TZif") return std::nullopt;
  const uint8_t v = in.Byte();
  version = v == 0 ? 0 : v - '0';
  in.Skip(15);
  Counts c{in.Int(4), in.Int(4), in.Int(4), in.Int(4), in.Int(4), in.Int(4)};
  if (c.isut < 0 || c.isstd < 0 || c.leap < 0 || c.time < 0 || c.type < 1 || c.chars < 0)
    return std::nullopt;
  return c;
}

std::size_t BlockSize(const Counts& c, int timeWidth) {
  return static_cast<std::size_t>(c.time * timeWidth + c.time + c.type * 6 + c.chars +
                                  c.leap * (timeWidth + 4) + c.isstd + c.isut);
}

bool ReadBlock(Cursor& in, const Counts& c, int width, TzifData& out) {
  if (!in.Has(BlockSize(c, width))) return false;
  out.times.clear();
  out.typeIndex.clear();
  out.types.clear();
  for (int64_t i = 0; i < c.time; ++i) out.times.push_back(in.Int(width));
  for (int64_t i = 0; i < c.time; ++i) {
    out.typeIndex.push_back(in.Byte());
    if (out.typeIndex.back() >= c.type) return false;
  }
  std::vector<uint8_t> designation;
  for (int64_t i = 0; i < c.type; ++i) {
    TzifType t;
    t.utoff = static_cast<int32_t>(in.Int(4));
    t.isdst = in.Byte() != 0;
    designation.push_back(in.Byte());
    out.types.push_back(t);
  }
  const std::string_view chars = in.Take(static_cast<std::size_t>(c.chars));
  for (std::size_t i = 0; i < out.types.size(); ++i) {
    if (designation[i] >= chars.size()) continue;
    auto name = chars.substr(designation[i]);
    out.types[i].abbreviation = std::string(name.substr(0, name.find('\0')));
  }
  in.Skip(static_cast<std::size_t>(c.leap * (width + 4) + c.isstd + c.isut));
  return true;
}

// POSIX TZ scanning.
class TzScanner {
 public:
  explicit TzScanner(std::string_view text) : s_(text) {}
  bool End() const { return i_ >= s_.size(); }
  char Peek() const { return End() ? '\0' : s_[i_]; }
  bool Accept(char c) {
    if (Peek() != c) return false;
    ++i_;
    return true;
  }
  std::optional<std::string> Name() {
    std::string name;
    if (Accept('<')) {
      while (!End() && Peek() != '>') name += s_[i_++];
      if (!Accept('>')) return std::nullopt;
    } else {
      while (!End() && std::isalpha(static_cast<unsigned char>(Peek()))) name += s_[i_++];
    }
    if (name.size() < 3) return std::nullopt;
    return name;
  }
  std::optional<int> Number() {
    if (!std::isdigit(static_cast<unsigned char>(Peek()))) return std::nullopt;
    int v = 0;
    while (std::isdigit(static_cast<unsigned char>(Peek())) && v < 100000)
      v = v * 10 + (s_[i_++] - '0');
    return v;
  }
  // [+-]hh[:mm[:ss]] in seconds.
  std::optional<int32_t> Duration() {
    int sign = 1;
    if (Accept('-')) {
      sign = -1;
    } else {
      Accept('+');
    }
    auto h = Number();
    if (!h || *h > 167) return std::nullopt;
    int32_t total = *h * 3600;
    if (Accept(':')) {
      auto m = Number();
      if (!m || *m > 59) return std::nullopt;
      total += *m * 60;
      if (Accept(':')) {
        auto sec = Number();
        if (!sec || *sec > 59) return std::nullopt;
        total += *sec;
      }
    }
    return sign * total;
  }
  std::optional<PosixTzRule::Date> Date() {
    PosixTzRule::Date d;
    if (Accept('M')) {
      d.kind = 'M';
      auto m = Number();
      if (!m || !Accept('.')) return std::nullopt;
      auto w = Number();
      if (!w || !Accept('.')) return std::nullopt;
      auto wd = Number();
      if (!wd || *m < 1 || *m > 12 || *w < 1 || *w > 5 || *wd > 6) return std::nullopt;
      d.month = *m;
      d.week = *w;
      d.day = *wd;
    } else {
      d.kind = Accept('J') ? 'J' : 'D';
      auto n = Number();
      if (!n || *n > 365 || (d.kind == 'J' && *n < 1)) return std::nullopt;
      d.day = *n;
    }
    if (Accept('/')) {
      auto t = Duration();
      if (!t) return std::nullopt;
      d.time = *t;
    }
    return d;
  }

 private:
  std::string_view s_;
  std::size_t i_ = 0;
};

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days since 1970 of a rule date in `year`.
int64_t RuleDay(const PosixTzRule::Date& d, int year) {
  const int64_t jan1 = DaysFromCivil(year, 1, 1);
  if (d.kind == 'J') {
    // Day 1..365, February 29 never counted.
    const int n = d.day;
    return jan1 + n - 1 + ((IsLeap(year) && n >= 60) ? 1 : 0);
  }
  if (d.kind == 'D') return jan1 + d.day;
  TransitionRule rule;
  rule.month = static_cast<uint16_t>(d.month);
  rule.dayOfWeek = static_cast<uint16_t>(d.day);
  rule.day = static_cast<uint16_t>(d.week);
  return UnixFromDateTime(*TransitionInYear(rule, year)) / 86400;
}

}  // namespace

std::optional<TzifData> ParseTzif(std::string_view bytes) {
  Cursor in(bytes);
  TzifData data;
  auto v1 = Header(in, data.version);
  if (!v1) return std::nullopt;
  if (data.version < 2) {
    if (!ReadBlock(in, *v1, 4, data)) return std::nullopt;
    return data;
  }
  // Version 2 and later repeat the data with 64-bit times after the first block.
  if (!in.Has(BlockSize(*v1, 4))) return std::nullopt;
  in.Skip(BlockSize(*v1, 4));
  int version2 = 0;
  auto v2 = Header(in, version2);
  if (!v2 || !ReadBlock(in, *v2, 8, data)) return std::nullopt;
  std::string_view rest = in.Rest();
  if (rest.size() >= 2 && rest[0] == '\n') {
    const auto end = rest.find('\n', 1);
    if (end != std::string_view::npos) data.footer = std::string(rest.substr(1, end - 1));
  }
  return data;
}

std::optional<PosixTzRule> ParsePosixTz(std::string_view text) {
  TzScanner in(text);
  PosixTzRule rule;
  auto stdName = in.Name();
  auto stdOffset = stdName ? in.Duration() : std::nullopt;
  if (!stdName || !stdOffset) return std::nullopt;
  rule.stdName = *stdName;
  rule.stdUtoff = -*stdOffset;  // POSIX counts west of UTC as positive
  if (in.End()) return rule;
  auto dstName = in.Name();
  if (!dstName) return std::nullopt;
  rule.dstName = *dstName;
  rule.dstUtoff = rule.stdUtoff + 3600;
  if (in.Peek() != ',' && !in.End()) {
    auto dstOffset = in.Duration();
    if (!dstOffset) return std::nullopt;
    rule.dstUtoff = -*dstOffset;
  }
  if (in.Accept(',')) {
    auto start = in.Date();
    if (!start || !in.Accept(',')) return std::nullopt;
    auto end = in.Date();
    if (!end) return std::nullopt;
    rule.start = *start;
    rule.end = *end;
  } else {
    // No rule given: the customary United States rule.
    rule.start = {'M', 0, 3, 2, 7200};
    rule.end = {'M', 0, 11, 1, 7200};
  }
  if (!in.End()) return std::nullopt;
  return rule;
}

ZoneYear ZoneYearOf(const PosixTzRule& rule, int year) {
  ZoneYear z;
  z.stdName = rule.stdName;
  z.stdUtoff = rule.stdUtoff;
  z.dstName = rule.dstName;
  z.dstUtoff = rule.dstName.empty() ? rule.stdUtoff : rule.dstUtoff;
  // A zone on daylight time all year ("XXX3EDT4,0/0,J365/25") has no changes to show.
  if (rule.dstName.empty()) return z;
  const bool allYear = rule.start.kind == 'D' && rule.start.day == 0 && rule.start.time == 0 &&
                       rule.end.kind == 'J' && rule.end.day == 365 &&
                       rule.end.time == 86400 + rule.stdUtoff - rule.dstUtoff;
  if (allYear) return z;
  z.dstStart = DateTimeFromUnix(RuleDay(rule.start, year) * 86400 + rule.start.time);
  z.stdStart = DateTimeFromUnix(RuleDay(rule.end, year) * 86400 + rule.end.time);
  return z;
}

std::optional<ZoneYear> ZoneYearOf(const TzifData& zone, int year) {
  const int64_t begin = DaysFromCivil(year, 1, 1) * 86400;
  const int64_t end = DaysFromCivil(year + 1, 1, 1) * 86400;
  // The footer speaks for every time after the last transition.
  std::optional<PosixTzRule> rule;
  if (!zone.footer.empty()) rule = ParsePosixTz(zone.footer);
  if (rule && (zone.times.empty() || zone.times.back() < begin)) return ZoneYearOf(*rule, year);

  ZoneYear z;
  // The type in effect when the year begins: the last transition before it, else the first
  // standard-time type.
  std::size_t current = 0;
  for (std::size_t i = 0; i < zone.types.size(); ++i)
    if (!zone.types[i].isdst) {
      current = i;
      break;
    }
  for (std::size_t i = 0; i < zone.times.size() && zone.times[i] < begin; ++i)
    current = zone.typeIndex[i];
  if (current >= zone.types.size()) return std::nullopt;
  auto assign = [&z](const TzifType& t) {
    if (t.isdst) {
      z.dstName = t.abbreviation;
      z.dstUtoff = t.utoff;
    } else {
      z.stdName = t.abbreviation;
      z.stdUtoff = t.utoff;
    }
  };
  assign(zone.types[current]);
  std::size_t previous = current;
  for (std::size_t i = 0; i < zone.times.size(); ++i) {
    if (zone.times[i] < begin || zone.times[i] >= end) continue;
    const TzifType& before = zone.types[previous];
    const TzifType& after = zone.types[zone.typeIndex[i]];
    assign(after);
    // Only changes between standard and daylight time are the year's transitions.
    if (after.isdst != before.isdst) {
      const TDateTime local = DateTimeFromUnix(zone.times[i] + before.utoff);
      if (after.isdst) {
        z.dstStart = local;
      } else {
        z.stdStart = local;
      }
    }
    previous = zone.typeIndex[i];
  }
  if (z.dstName.empty() && rule && !rule->dstName.empty()) {
    z.dstName = rule->dstName;
    z.dstUtoff = rule->dstUtoff;
  }
  if (z.dstName.empty()) z.dstUtoff = z.stdUtoff;
  if (z.stdName.empty()) {
    z.stdName = rule ? rule->stdName : z.dstName;
    z.stdUtoff = rule ? rule->stdUtoff : z.dstUtoff;
  }
  // A year the file's transitions only begin to cover takes the rest from the footer rule.
  if (rule && !rule->dstName.empty() && (z.dstStart || z.stdStart)) {
    const ZoneYear byRule = ZoneYearOf(*rule, year);
    if (!z.dstStart) z.dstStart = byRule.dstStart;
    if (!z.stdStart) z.stdStart = byRule.stdStart;
  }
  if (!z.dstStart || !z.stdStart) {
    z.dstStart.reset();
    z.stdStart.reset();
  }
  return z;
}

}  // namespace tavrin::collectors
