#include "helpers/librepgen/report_texts.h"

#include <array>
#include <utility>

namespace tavrin::helpers {
namespace {

// The English texts of the placeholders, for a language that does not give them.
constexpr std::array<std::pair<std::string_view, std::string_view>, 15> kEnglishTexts = {{
    {"REP_GENERATED", "Report generated:"},
    {"REP_USER", "User:"},
    {"REP_SYSINFO_HEADER", "System Summary"},
    {"REP_SYSINFO_WINVER", "Operating System"},
    {"REP_SYSINFO_SYSNAME", "System Name"},
    {"REP_SYSINFO_PROCNAME", "Processor"},
    {"REP_SYSINFO_MEMORY", "Installed Memory"},
    {"REP_NAME", "Name"},
    {"REP_VALUE", "Value"},
    {"REP_ADD", "Additional Information"},
    {"REP_VISITSITE", "Visit our web site"},
    {"REP_VERSION", "Program version:"},
    {"REP_COMPUTER", "Computer:"},
    {"REP_CONTENTS", "Contents"},
    {"REP_REPORT", "Report"},
}};

}  // namespace

std::string_view EnglishReportText(std::string_view key) {
  for (const auto& [k, text] : kEnglishTexts)
    if (k == key) return text;
  return {};
}

}  // namespace tavrin::helpers
