// printf-style formatting into a std::string, for the log functions on both sides of the
// helper-library boundary.
#pragma once

#include <cstdarg>
#include <string>

namespace tavrin::helpers {

/// Formats `format` with `args` (not consumed: the caller still ends them).
std::string FormatV(const char* format, va_list args);

}  // namespace tavrin::helpers
