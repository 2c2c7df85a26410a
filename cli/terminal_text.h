// Text bound for a terminal. Page values come from firmware, files and snapshots, and an
// escape sequence among them would retitle, recolour or scramble the user's terminal, so
// every line is cleaned as the reports clean their texts; only line breaks and tabs remain.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::cli {

/// `text` as valid UTF-8 with every control character but the line break and the tab
/// dropped (C0, DEL, C1: escape sequences lose their introducer and show as plain text).
std::string TerminalText(std::string_view text);

}  // namespace tavrin::cli
