// The packages of an RPM database, read through librpm loaded at run time: systems without RPM
// need no librpm, and the program links none.
#pragma once

#include <filesystem>
#include <vector>

#include "platform/software.h"

namespace tavrin::platform {

/// NotSupported when librpm cannot be loaded or lacks a function; Missing when the system has
/// no RPM database under `root`.
Answer<std::vector<RpmPackage>> ReadRpmDatabase(const std::filesystem::path& root);

}  // namespace tavrin::platform
