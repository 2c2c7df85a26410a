// Temporary folders, environment overrides and log reading for the helper tests.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "helpers/debug_log.h"
#include "platform/utf16.h"

namespace tavrin::helpers::test {

/// A fresh folder under /tmp, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/tavrin-helpers-XXXXXX";
    if (mkdtemp(pattern)) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

/// Sets (or with nullopt unsets) an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

/// Points settings and state at `root` so no test touches the user's real files.
struct IsolatedUser {
  explicit IsolatedUser(const std::filesystem::path& root)
      : config("XDG_CONFIG_HOME", (root / "config").string()),
        state("XDG_STATE_HOME", (root / "state").string()),
        data("XDG_DATA_HOME", (root / "data").string()) {}
  ScopedEnv config, state, data;
};

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteText(const std::filesystem::path& file, std::string_view text) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

/// The lines of a UTF-16LE log file, as UTF-8 without their CRLF.
inline std::vector<std::string> ReadLogLines(const std::filesystem::path& file) {
  std::string bytes = ReadBytes(file);
  std::u16string units =
      platform::Utf16FromLeBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  if (!units.empty() && units.front() == u'\uFEFF') units.erase(0, 1);  // byte-order mark
  std::string text = platform::Utf16ToUtf8(units);
  std::vector<std::string> lines;
  std::size_t pos = 0;
  for (std::size_t end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2)
    lines.push_back(text.substr(pos, end - pos));
  if (pos < text.size()) lines.push_back(text.substr(pos));  // an unterminated tail
  return lines;
}

/// Diagnostics mode on, logging into `folder`, for the life of the object; afterwards the
/// mode is "off", so later tests of the process write no log anywhere.
class LogCapture {
 public:
  explicit LogCapture(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
    testing::ResetDebugLog(folder_, {"-debug"});
  }
  ~LogCapture() {
    testing::ResetDebugLog(folder_, {});
    testing::DecideDebugMode(false);
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<std::string> Lines() const;

 private:
  std::filesystem::path folder_;
};

inline std::size_t CountContaining(const std::vector<std::string>& lines, std::string_view part) {
  std::size_t n = 0;
  for (const std::string& line : lines) n += line.find(part) != std::string::npos;
  return n;
}

inline std::vector<std::string> LogCapture::Lines() const {
  return ReadLogLines(folder_ / "debug.log");
}

}  // namespace tavrin::helpers::test
