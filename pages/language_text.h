// The language row of the operating-system and General pages.
#pragma once

#include <string>

#include "collectors/os/vsi_operating_system.h"

namespace tavrin::pages {

/// "English (United States) (ID: en_US.UTF-8)", "Deutsch (Deutschland) (ID: $0407)"; the
/// portable locale is named as such ("C (POSIX default)"); empty when nothing is known.
std::string LanguageText(const collectors::TVexa_OperatingSystem& os);

}  // namespace tavrin::pages
