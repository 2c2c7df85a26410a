#include "helpers/libcommon/lib_log.h"
#include "helpers/common/format_v.h"

#include <dlfcn.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace tavrin::helpers {
namespace {

using HostLog = void (*)(const char* text, std::size_t length);

HostLog Host() {
  static const HostLog host =
      reinterpret_cast<HostLog>(dlsym(RTLD_DEFAULT, "tavrin_host_debug_log"));
  return host;
}

}  // namespace

void LibLog(std::string_view text) {
  if (HostLog host = Host()) host(text.data(), text.size());
}

void LibLogFmt(const char* format, ...) {
  if (!Host()) return;
  va_list args;
  va_start(args, format);
  const std::string text = FormatV(format, args);
  va_end(args);
  LibLog(text);
}

}  // namespace tavrin::helpers
