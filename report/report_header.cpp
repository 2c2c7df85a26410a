#include "report/report_header.h"

#include <locale.h>
#include <time.h>

#include <charconv>
#include <cstdlib>
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

}  // namespace

std::string GeneratedTime(std::time_t when) {
  std::tm tm{};
  locale_t locale = nullptr;
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  long long seconds = 0;
  const std::string_view text = epoch ? epoch : "";
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (!text.empty() && ec == std::errc() && end == text.data() + text.size()) {
    const std::time_t fixed = static_cast<std::time_t>(seconds);
    gmtime_r(&fixed, &tm);
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

ReportHeader CurrentReportHeader(const gather::TGetFunctionsClass& controller) {
  helpers::IGlobals& globals = helpers::Globals();
  ReportHeader h;
  h.program = globals.GetCompanyName() + " " + globals.GetProductName();
  h.site = globals.GetProgramPageLink();
  h.generated = GeneratedTime(std::time(nullptr));
  h.user = globals.GetCurrentUserName();
  h.version = globals.GetProgramVersion();
  h.winversion = controller.summary.windows_name;
  h.systemname = controller.summary.system_name;
  h.processorname = controller.summary.processor_name;
  h.installedmemory = controller.summary.installed_memory;
  return h;
}

}  // namespace tavrin::report
