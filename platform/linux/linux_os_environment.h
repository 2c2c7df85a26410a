// This process's environment and the C library's locale database.
#pragma once

#include <memory>

#include "platform/file_reader.h"
#include "platform/os_environment.h"
#include "platform/os_locale.h"

namespace tavrin::platform {

/// This process's environment as it is now (the C library's `environ`, so variables set
/// after the start count too).
std::shared_ptr<const EnvironmentSource> ProcessEnvironment();

/// The environment block a file tree holds at /proc/self/environ (NUL-terminated strings):
/// what snapshots of earlier versions kept instead of an environment answer.
std::shared_ptr<const EnvironmentSource> ProcEnvironment(std::shared_ptr<const FileReader> files);

/// The locales installed with the C library (newlocale, nl_langinfo_l, localeconv).
std::shared_ptr<const LocaleDatabase> SystemLocaleDatabase();

}  // namespace tavrin::platform
