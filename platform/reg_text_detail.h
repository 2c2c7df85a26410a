// Pieces of the ".reg" notation shared by the ".reg" writer and the settings file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrin::platform::detail {

/// `head` ("name"=hex(7):) followed by the comma-separated byte list `list`, broken after a
/// comma with "\" and a two-blank indent so no line passes `width` columns (regedit's layout;
/// the first line always keeps at least one byte).
std::string WrapHexList(std::string_view head, std::string_view list, std::size_t width);

/// Quoted ".reg" text: \ and " escaped.
std::string QuoteRegText(std::string_view text);

/// Reads a quoted text starting at text[pos] == '"' with \\ and \" escapes; any other
/// backslash is kept as written. Leaves `pos` after the closing quote; false if unterminated.
bool ReadQuotedRegText(std::string_view text, std::size_t& pos, std::string& out);

/// The deepest key the registry holds. Every parent of a key is made with its full path, so a
/// deeper key would cost memory with the square of its depth; readers refuse it instead.
inline constexpr std::size_t kMaxKeyDepth = 512;

/// The number of names in a key path, empty names between separators not counted.
std::size_t KeyDepth(std::string_view path);

/// The warning for a key deeper than kMaxKeyDepth.
std::string KeyTooDeepText(std::size_t depth);

}  // namespace tavrin::platform::detail
