// The packages of an RPM database, read through librpm loaded at run time: systems without RPM
// need no librpm, and the program links none.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "platform/software.h"

namespace tavrin::platform {

/// One header of the database as librpm answers for it, by tag number: a text (null when the
/// header lacks it) and a number (nullopt when the header lacks it).
struct RpmHeaderAccess {
  std::function<const char*(int tag)> text;
  std::function<std::optional<uint64_t>(int tag)> number;
};

/// The package a header describes; nullopt for a header without a name.
std::optional<RpmPackage> RpmPackageFromHeader(const RpmHeaderAccess& header);

/// NotSupported when librpm cannot be loaded or lacks a function; Missing when the system has
/// no RPM database under `root`.
Answer<std::vector<RpmPackage>> ReadRpmDatabase(const std::filesystem::path& root);

}  // namespace tavrin::platform
