// Small text rules of the operating-system data: the environment block walk, proxy lines,
// the program of a command line and the locale texts made from the C library's locale facts.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "collectors/os/os_source.h"
#include "platform/os_locale.h"

namespace tavrin::collectors {

/// Characters of an environment block that are looked at; the rest is not read.
inline constexpr std::size_t kEnvironmentWalkLimit = 4096;

/// The strings of a block of NUL-terminated strings: the walk stops at the first empty string
/// or after `limit` characters; a string still open at the limit is dropped.
std::vector<std::string> EnvironmentLines(std::string_view block,
                                          std::size_t limit = kEnvironmentWalkLimit);
/// The block of `lines` (each NUL-terminated, then an empty string).
std::string EnvironmentBlockOf(const std::vector<std::string>& lines);

/// Proxy lines of a proxy setting: ";" separates entries; an entry without "=" gets its index
/// and "=" in front ("0=proxy:8080").
std::vector<std::string> ProxyLines(std::string_view setting);

/// The program of a command line: quotation marks removed, then characters cut from the end
/// until what is left is a file that `exists` (or nothing is left).
std::string ProgramPathOfCommand(std::string_view command,
                                 const std::function<bool(std::string_view)>& exists);

/// "($1.1)" ... "-$ 1.1": the negative currency pattern of digit 0..9 with `symbol` for "$";
/// empty for any other digit.
std::string NegativeCurrencyPattern(char digit, std::string_view symbol);

/// Locale texts and codes of a locale the C library describes.
LocaleData LocaleFromFacts(const platform::LocaleFacts& facts);

/// A strftime date or time format in the letters the locale texts use ("%d.%m.%Y" ->
/// "dd.MM.yyyy").
std::string PictureOfStrftime(std::string_view format);

/// `text` with every byte sequence that is not UTF-8 replaced by U+FFFD, so environment values
/// in other encodings cannot break the text of a page or report.
std::string ValidUtf8(std::string_view text);

/// A "Name=value" line split at its first "=" (the value keeps any further "="); a line
/// without "=" gives an empty value.
std::pair<std::string_view, std::string_view> SplitAssignment(std::string_view line);

}  // namespace tavrin::collectors
