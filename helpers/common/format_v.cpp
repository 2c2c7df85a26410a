#include "helpers/common/format_v.h"

#include <cstdio>

namespace tavrin::helpers {

std::string FormatV(const char* format, va_list args) {
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<std::size_t>(length) + 1);
    va_list write;
    va_copy(write, args);
    std::vsnprintf(text.data(), text.size(), format, write);
    va_end(write);
    text.resize(static_cast<std::size_t>(length));
  }
  return text;
}

}  // namespace tavrin::helpers
