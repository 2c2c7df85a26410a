#include "cli/page_text.h"

#include "cli/terminal_text.h"
#include "pages/markup.h"
#include "text/label_wording.h"

namespace tavrin::cli {
namespace {

// Characters, not bytes: "Gängiger Name:" takes as many columns as "Popular Name:" plus one.
std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

// `text` right-aligned in `width` characters; a longer text is kept whole.
std::string RightAligned(std::string_view text, std::size_t width) {
  const std::size_t count = CharacterCount(text);
  std::string out(count < width ? width - count : 0, ' ');
  out += text;
  return out;
}

// A row of the text-report layout: the label right-aligned in 40 characters, six blanks,
// then the value.
std::string Row(std::string_view label, std::string_view value) {
  return RightAligned(label, 40) + "      " + std::string(value) + "\n";
}

}  // namespace

std::string PageText(const pages::TSICategory& category, const pages::Page& page,
                     const PageTextOptions& options) {
  std::string text =
      "=== " + *category.caption + " ===\n" + pages::StripMarkup(*category.description) + "\n\n";
  for (const pages::Section& section : page.Sections()) {
    text += RightAligned("*** " + text::SectionCaptionText(section.Caption) + " ***", 60) + "\n\n";
    for (const pages::TZuSectionItem& row : section.Items) {
      const std::string value = row.SubItems.empty() ? std::string() : row.SubItems[0];
      text += Row(row.Caption, value);
      if (options.explain && !row.source.empty()) text += Row("", "  (from " + row.source + ")");
    }
    if (section.Items.empty()) text += Row("", " " + pages::EmptySectionReason(section));
    if (options.explain) {
      for (const pages::MissingValue& missing : section.missing)
        text += Row(missing.label, " (empty: " + missing.reason + ")");
    }
    text += "\n";
  }
  return TerminalText(text);
}

}  // namespace tavrin::cli
