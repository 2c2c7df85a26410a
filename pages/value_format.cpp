#include "pages/value_format.h"

#include <langinfo.h>
#include <locale.h>

#include "text/labels.h"
#include "helpers/accessors.h"

namespace tavrin::pages {

const std::string& UserThousandSeparator() {
  // The program itself stays in the C locale (parsing must not change with the user's
  // settings); the user's separator is looked up without switching to it.
  static const std::string separator = [] {
    std::string sep;
    if (locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr))) {
      if (const char* text = nl_langinfo_l(THOUSEP, user)) sep = text;
      freelocale(user);
    }
    return sep;
  }();
  return separator;
}

std::string FormatKilobytesText(uint64_t kilobytes) {
  // The unit label carries its own leading blank; the extra blank before it collapses when
  // the row is added.
  return helpers::Helper().FormatBytes(helpers::kFormatExactGrouped, UserThousandSeparator(),
                                       kilobytes, 0, 1, " " + lbl::S_COUNT_KB);
}

std::string FormatByteSizeText(uint64_t bytes) {
  return helpers::Helper().FormatBytes(helpers::kFormatAuto, UserThousandSeparator(), bytes, 2, 0,
                                       "");
}

}  // namespace tavrin::pages
