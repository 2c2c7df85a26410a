// UTF-8 to UTF-16 for the diagnostics log, which keeps the Windows file format.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::helpers {

/// Invalid or truncated UTF-8 becomes U+FFFD, one per maximal invalid subpart, so a broken
/// text still logs and stays readable around the damage.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace tavrin::helpers
