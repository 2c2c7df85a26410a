#include "cli/page_text.h"

#include "pages/markup.h"

#include <cstdio>

namespace tavrin::cli {
namespace {

std::string Padded(const char* format, const std::string& a, const std::string& b = {}) {
  const int size = std::snprintf(nullptr, 0, format, a.c_str(), b.c_str());
  std::string out(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(out.data(), out.size(), format, a.c_str(), b.c_str());
  out.pop_back();
  return out;
}

}  // namespace

std::string PageText(const pages::TSICategory& category, const pages::Page& page,
                     const PageTextOptions& options) {
  std::string text =
      "=== " + *category.caption + " ===\n" + pages::StripMarkup(*category.description) + "\n\n";
  for (const pages::Section& section : page.Sections()) {
    text += Padded("%60s", "*** " + section.Caption + " ***") + "\n\n";
    for (const pages::TZuSectionItem& row : section.Items) {
      const std::string value = row.SubItems.empty() ? std::string() : row.SubItems[0];
      text += Padded("%40s      %s", row.Caption, value) + "\n";
      if (options.explain && !row.source.empty())
        text += Padded("%40s      %s", "", "  (from " + row.source + ")") + "\n";
    }
    if (section.Items.empty())
      text += Padded("%40s      %s", "", " " + pages::EmptySectionReason(section)) + "\n";
    if (options.explain) {
      for (const pages::MissingValue& missing : section.missing)
        text += Padded("%40s      %s", missing.label, " (empty: " + missing.reason + ")") + "\n";
    }
    text += "\n";
  }
  return text;
}

}  // namespace tavrin::cli
