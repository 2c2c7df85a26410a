// The time-zone, internet and locale readings of the Linux source, kept in their own file
// beside the source itself.
#pragma once

#include <optional>
#include <string>

#include "collectors/os/os_source.h"
#include "platform/desktop_proxy.h"
#include "platform/file_reader.h"
#include "platform/os_environment.h"
#include "platform/os_locale.h"

namespace tavrin::collectors::linuxparts {

/// A variable of the environment, or nothing (also when there is no environment).
std::optional<std::string> Env(const platform::EnvironmentSource* env, std::string_view name);

/// The zone of /etc/localtime (named by /etc/timezone or the link's target) in `year`.
TimeZoneReading ReadTimeZone(const platform::FileReader& files, int year);

/// Default web browser and mail client from the XDG default applications, proxies from the
/// environment, then KDE's kioslaverc and the GNOME settings of `desktop` (null: not asked,
/// as for replayed data). `home` is the user's home folder.
InternetData ReadInternet(const platform::FileReader& files, const platform::EnvironmentSource* env,
                          const std::string& home,
                          const platform::DesktopProxySource* desktop = nullptr);

/// The locale named by LC_ALL / LC_* / LANG, described by the C library's locale data.
LocaleData ReadLocale(const platform::LocaleDatabase* locales,
                      const platform::EnvironmentSource* env);
/// The locale name that stands for the user's language (LC_ALL, LC_MESSAGES, LANG, else "C").
std::string LanguageLocaleName(const platform::EnvironmentSource* env);

}  // namespace tavrin::collectors::linuxparts
