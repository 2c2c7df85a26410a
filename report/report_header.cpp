#include "report/report_header.h"

#include <locale.h>
#include <time.h>

#include <charconv>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "gather/controller.h"
#include "helpers/accessors.h"

namespace tavrin::report {
namespace {

std::string Strftime(const char* format, const std::tm& tm, locale_t locale) {
  char buffer[256];
  const std::size_t n = strftime_l(buffer, sizeof buffer, format, &tm, locale);
  return std::string(buffer, n);
}

// SOURCE_DATE_EPOCH, when it holds a whole number of seconds.
std::optional<std::time_t> FixedEpoch() {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  const std::string_view text = epoch ? epoch : "";
  long long seconds = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return static_cast<std::time_t>(seconds);
}

}  // namespace

std::string GeneratedTime(std::time_t when) {
  std::tm tm{};
  locale_t locale = nullptr;
  if (const std::optional<std::time_t> fixed = FixedEpoch()) {
    gmtime_r(&*fixed, &tm);
    locale = newlocale(LC_TIME_MASK, "C", nullptr);
  } else {
    localtime_r(&when, &tm);
    // The user's own formats; a broken locale setting falls back to the neutral one.
    locale = newlocale(LC_TIME_MASK, "", nullptr);
    if (!locale) locale = newlocale(LC_TIME_MASK, "C", nullptr);
  }
  std::string out = Strftime("%x %X", tm, locale);
  freelocale(locale);
  return out;
}

std::string GeneratedIsoTime(std::time_t when) {
  std::tm tm{};
  const std::optional<std::time_t> fixed = FixedEpoch();
  if (fixed)
    gmtime_r(&*fixed, &tm);
  else
    localtime_r(&when, &tm);
  locale_t c = newlocale(LC_TIME_MASK, "C", nullptr);
  std::string out = Strftime("%Y-%m-%dT%H:%M:%S", tm, c);
  freelocale(c);
  // strftime's %z gives "+0100"; ISO 8601 extended format wants "+01:00".
  const long offset = fixed ? 0 : tm.tm_gmtoff;
  const long minutes = (offset < 0 ? -offset : offset) / 60;
  const auto two = [](long n) {
    return std::string{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
  };
  out += offset < 0 ? '-' : '+';
  return out + two(minutes / 60) + ":" + two(minutes % 60);
}

ReportHeader CurrentReportHeader(const gather::TGetFunctionsClass& controller) {
  helpers::IGlobals& globals = helpers::Globals();
  ReportHeader h;
  h.program = globals.GetCompanyName() + " " + globals.GetProductName();
  h.site = globals.GetProgramPageLink();
  const std::time_t now = std::time(nullptr);
  h.generated = GeneratedTime(now);
  h.generated_iso = GeneratedIsoTime(now);
  h.user = globals.GetCurrentUserName();
  h.version = globals.GetProgramVersion();
  h.winversion = controller.summary.windows_name;
  h.systemname = controller.summary.system_name;
  h.processorname = controller.summary.processor_name;
  h.installedmemory = controller.summary.installed_memory;
  return h;
}

}  // namespace tavrin::report
