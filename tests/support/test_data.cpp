#include "tests/support/test_data.h"

#include <gtest/gtest.h>

namespace tavrin::testing {

std::filesystem::path TestDataDir() {
  return std::filesystem::path(TAVRIN_SOURCE_DIR) / "tests/data";
}

std::filesystem::path TestData(std::string_view relative) {
  std::filesystem::path path = TestDataDir() / relative;
  if (!std::filesystem::exists(path)) ADD_FAILURE() << "test data missing: " << path;
  return path;
}

}  // namespace tavrin::testing
