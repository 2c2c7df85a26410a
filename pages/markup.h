// The small markup of label texts (<b>, <font color = "$BBGGRR">) removed for places that show
// plain text: the command line, reports, section captions.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::pages {

/// `text` without any tag, with the entities &lt; &gt; &amp; &quot; decoded.
std::string StripMarkup(std::string_view text);

}  // namespace tavrin::pages
