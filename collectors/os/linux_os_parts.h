// The time-zone, internet and locale readings of the Linux source, kept in their own file
// beside the source itself.
#pragma once

#include <optional>
#include <string>

#include "collectors/os/os_source.h"
#include "platform/os_services.h"

namespace tavrin::collectors::linuxparts {

/// A variable of the environment, or nothing (also when there is no environment).
std::optional<std::string> Env(const platform::EnvironmentSource* env, std::string_view name);

/// The zone in effect (a zone file or a rule) with the transitions of `year`.
TimeZoneReading ReadTimeZone(const platform::OsFacts& os, int year);

/// Default web browser and mail client from the default-application lists, proxies from the
/// environment, then KDE's and GNOME's settings.
InternetData ReadInternet(const platform::OsServices& os);

/// The locale named by LC_ALL / LC_* / LANG, described by the locale database.
LocaleData ReadLocale(const platform::LocaleDatabase* locales,
                      const platform::EnvironmentSource* env);
/// The locale name that stands for the user's language (LC_ALL, LC_MESSAGES, LANG, else "C").
std::string LanguageLocaleName(const platform::EnvironmentSource* env);

}  // namespace tavrin::collectors::linuxparts
