// The time-zone and locale readings of the registry-backed Windows source, kept in their own
// file beside the source itself.
#pragma once

#include <cstdint>

#include "collectors/os/os_source.h"
#include "platform/registry.h"

namespace tavrin::collectors::winparts {

/// The current zone as Windows keeps it (...\Control\TimeZoneInformation), named from the
/// zone list whose "TZI" matches it, with the transitions of `year`.
TimeZoneReading ReadTimeZone(const platform::Registry& reg, bool ntFamily, int year);

/// The user's locale settings (HKCU\Control Panel\International) with the names of the
/// locale identifier they give.
LocaleData ReadLocale(const platform::Registry& reg, uint32_t localeId);

}  // namespace tavrin::collectors::winparts
