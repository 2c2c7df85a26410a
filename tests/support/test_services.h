// Services for tests: a file tree under a temporary folder, an in-memory registry and fixed
// system facts, so collectors and the gathering can run without touching the machine.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/services.h"

namespace tavrin::testing {

class FixedSystemFacts : public platform::SystemFacts {
 public:
  platform::Answer<std::string> UserName() const override { return Of("tester"); }
  platform::Answer<std::string> UserId() const override { return Of("1000"); }
  platform::Answer<std::string> ComputerName() const override { return Of("testhost"); }
  platform::Answer<std::string> ProgramPath() const override { return Of("/opt/tavrin/tavrin"); }
  platform::Answer<platform::OsVersion> OsVersionRecord() const override {
    return platform::Answer<platform::OsVersion>::Of(
        {platform::OsPlatform::Linux, 6, 1, 0, "-test"}, "fixed");
  }

 private:
  static platform::Answer<std::string> Of(std::string v) {
    return platform::Answer<std::string>::Of(std::move(v), "fixed");
  }
};

/// A fresh temporary directory, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  /// Writes `content` to `relative`, creating folders.
  void Write(const std::string& relative, const std::string& content) const;

 private:
  std::filesystem::path path_;
};

/// Services reading files under `root`, with an empty registry and fixed facts.
std::shared_ptr<const platform::Services> MakeTestServices(const std::filesystem::path& root,
                                                           bool live = false);

}  // namespace tavrin::testing
