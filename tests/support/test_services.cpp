#include "tests/support/test_services.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace tavrin::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  // TAVRIN_KEEP_TEST_DIRS=1 leaves the folders behind, to open a test's snapshot in the window.
  if (const char* keep = std::getenv("TAVRIN_KEEP_TEST_DIRS"); keep && *keep == '1') return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void TempDir::Write(const std::string& relative, const std::string& content) const {
  const auto file = path_ / relative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
}

std::shared_ptr<const platform::Services> MakeTestServices(const std::filesystem::path& root,
                                                           bool live) {
  auto services = std::make_shared<platform::Services>();
  services->files = std::make_shared<platform::FileReader>(root);
  services->registry = std::make_shared<platform::RegistryTree>("test registry");
  services->system = std::make_shared<FixedSystemFacts>();
  services->live = live;
  services->origin = "test";
  return services;
}

}  // namespace tavrin::testing
