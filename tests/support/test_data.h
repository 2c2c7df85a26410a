// The test data that travels with the repository (tests/data; sources and licences in its
// README). Tests find it here, never beside the checkout, so a fresh clone runs every test.
#pragma once

#include <filesystem>
#include <string_view>

namespace tavrin::testing {

/// tests/data of this source tree.
std::filesystem::path TestDataDir();

/// `relative` under tests/data. A missing file or folder fails the calling test (the data is
/// part of the repository, so its absence is a fault, not a reason to skip).
std::filesystem::path TestData(std::string_view relative);

}  // namespace tavrin::testing
