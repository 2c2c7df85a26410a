// The ".reg" text format of the Windows registry editor, version 5.00.
//
// Snapshots keep registry content in this format because it is what a user on Windows can
// export with the stock tools, and what a developer can write by hand in a test.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace tavrin::platform {

struct RegParseIssue {
  int line = 0;  ///< 1-based line of the input
  std::string message;
};

struct RegParseResult {
  bool ok = false;  ///< false only when the header is missing or the text is not decodable
  std::string error;                 ///< why ok is false
  std::vector<RegParseIssue> issues;  ///< lines that were skipped; the rest was read
};

/// Reads ".reg" text into `tree`. Accepts UTF-8 (with or without byte-order mark) and UTF-16LE
/// with its byte-order mark, CRLF or LF line ends, "\" continuation lines of hex data, the
/// header "Windows Registry Editor Version 5.00" (and "REGEDIT4"), "[KEY]" and "[-KEY]",
/// "@" for the default value, "name"=- for deletion, "text" with \\ and \" escapes,
/// dword:, hex(b): qword values and hex / hex(N): byte lists. A bad line is skipped and
/// reported; reading goes on.
RegParseResult ParseRegText(std::string_view bytes, RegistryTree& tree);

/// Writes `tree` as ".reg" text in UTF-8 with LF line ends (the reader takes both).
/// Strings are written as "text" when they can be, otherwise as hex(1):.
std::string WriteRegText(const RegistryTree& tree);

}  // namespace tavrin::platform

namespace tavrin::platform {

/// One value in ".reg" notation, the part after "name=": "text", dword:0000002a,
/// hex(b):..., hex:..., hex(7):... (no continuation lines). Nullopt when malformed.
std::optional<RegValue> ParseRegValueText(std::string_view text);
/// The inverse, on one line.
std::string FormatRegValueText(const RegValue& value);

}  // namespace tavrin::platform
