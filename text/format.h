// Filling label texts with values. A translated label may drop, keep or reorder nothing but
// its placeholders, so it is never handed to printf: FormatText only replaces.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tavrin {

/// Replaces each "%s", "%d" and "%u" of `format`, in order, by the next of `args`, and "%%"
/// by "%". A placeholder without an argument becomes empty; extra arguments are ignored;
/// any other "%" stays as written.
std::string FormatText(std::string_view format, std::initializer_list<std::string_view> args);

}  // namespace tavrin
