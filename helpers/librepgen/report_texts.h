// The report's own texts (captions of the header, the columns, the contents), in English for
// a language whose "report" section does not give them. Both the report library's HTML page
// and the program's text report use them.
#pragma once

#include <string_view>

namespace tavrin::helpers {

/// The built-in English text of a report text key ("REP_GENERATED"); empty when unknown.
std::string_view EnglishReportText(std::string_view key);

}  // namespace tavrin::helpers
