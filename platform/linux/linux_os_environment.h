// This process's environment and the C library's locale database.
#pragma once

#include <memory>

#include "platform/file_reader.h"
#include "platform/os_environment.h"
#include "platform/os_locale.h"

namespace tavrin::platform {

/// The environment of the process whose files `files` reads: /proc/self/environ, a block of
/// NUL-terminated strings. Read through the file service, a recording keeps it and a replay of
/// a Linux machine answers it.
std::shared_ptr<const EnvironmentSource> ProcEnvironment(std::shared_ptr<const FileReader> files);

/// The locales installed with the C library (newlocale, nl_langinfo_l, localeconv).
std::shared_ptr<const LocaleDatabase> SystemLocaleDatabase();

}  // namespace tavrin::platform
