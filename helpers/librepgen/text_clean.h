// Report texts arrive as whatever bytes a collector handed over. Every report kind is UTF-8,
// and the XML and HTML kinds must stay well-formed, so texts are cleaned once on the way in.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::helpers {

/// `text` as valid UTF-8: each maximal invalid sequence becomes U+FFFD, and control
/// characters (C0 other than tab, C1, DEL) and the noncharacters U+FFFE/U+FFFF are dropped.
/// What remains is allowed character data in XML 1.0 and HTML 4.01.
std::string CleanReportText(std::string_view text);

/// Number of characters (code points) of valid UTF-8 text.
std::size_t Utf8Length(std::string_view text);

}  // namespace tavrin::helpers
