#include "cli/terminal_text.h"

#include "helpers/librepgen/text_clean.h"

namespace tavrin::cli {

std::string TerminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  // Line by line, so that the one control character a page needs survives the cleaning.
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    out += helpers::CleanReportText(text.substr(0, end));
    if (end == std::string_view::npos) break;
    out += '\n';
    text.remove_prefix(end + 1);
  }
  return out;
}

}  // namespace tavrin::cli
