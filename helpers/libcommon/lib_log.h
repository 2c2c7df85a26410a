// Diagnostics from inside a helper library. The lines go through the program's own log
// (its exported tavrin_host_debug_log), so the library follows the program's diagnostics
// mode and file; in a host without that export the lines are dropped.
#pragma once

#include <string_view>

namespace tavrin::helpers {

void LibLog(std::string_view text);
void LibLogFmt(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tavrin::helpers
