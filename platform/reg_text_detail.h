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

}  // namespace tavrin::platform::detail
