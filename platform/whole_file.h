// Reading one of a snapshot's own files whole. (Machine files go through FileReader instead.)
#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>

namespace tavrin::platform {

/// The bytes of `file`; nullopt when it cannot be read or is larger than `limit`.
std::optional<std::string> ReadWholeFile(
    const std::filesystem::path& file, std::size_t limit = std::numeric_limits<std::size_t>::max());

}  // namespace tavrin::platform
