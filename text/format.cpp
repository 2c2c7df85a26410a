#include "text/format.h"

namespace tavrin {

std::string FormatText(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(format.size());
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    char following = i + 1 < format.size() ? format[i + 1] : '\0';
    if (c != '%' ||
        (following != 's' && following != 'd' && following != 'u' && following != '%')) {
      out += c;
      continue;
    }
    ++i;
    if (following == '%') {
      out += '%';
    } else if (next != args.end()) {
      out += *next++;
    }
  }
  return out;
}

}  // namespace tavrin
