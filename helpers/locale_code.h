// The user's language as the three-letter abbreviated language name Windows gives a locale
// ("DEU" for German in Germany, "DEA" in Austria): the code language files list and the
// "Language" option stores.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::helpers {

/// Code of a POSIX locale name such as "de_AT.UTF-8@euro". A known language with an unknown
/// territory gets the language's main code; "C", "POSIX", empty and unknown give "ENU".
std::string LanguageCodeForLocale(std::string_view locale);

/// Code of the user's message locale: the first set of LC_ALL, LC_MESSAGES, LANG.
std::string UserLanguageCode();

}  // namespace tavrin::helpers
