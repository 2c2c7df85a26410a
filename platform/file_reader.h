// The one way the Linux services read sysfs, procfs, /etc and /dev.
//
// Every path is an absolute path of the machine ("/proc/cpuinfo") resolved under a root
// directory, so a tree captured from another machine replays by swapping the root.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

class FileReader {
 public:
  /// Files under sysfs report 4096 bytes whatever they hold; reads stop at `kDefaultLimit`
  /// so a runaway file (a device node, /proc/kcore) cannot exhaust memory.
  static constexpr std::size_t kDefaultLimit = 64u << 20;

  explicit FileReader(std::filesystem::path root = "/");
  virtual ~FileReader() = default;

  const std::filesystem::path& root() const { return root_; }
  /// Where `path` lives on this machine's disk (root + path).
  std::filesystem::path Resolve(std::string_view path) const;

  /// Whole file content (binary safe). Missing, permission and other errors in provenance.
  virtual Answer<std::string> ReadFile(std::string_view path,
                                       std::size_t limit = kDefaultLimit) const;
  /// Entry names of a directory, sorted, without "." and "..".
  virtual Answer<std::vector<std::string>> ListDir(std::string_view path) const;
  /// Target of a symbolic link, as stored.
  virtual Answer<std::string> ReadLink(std::string_view path) const;
  /// When the file was created (statx birth time), seconds since 1970 UTC. Not supported
  /// where the file system records no birth time.
  virtual Answer<int64_t> BirthTime(std::string_view path) const;
  /// Trimmed first line of a text file: what most sysfs attributes are.
  Answer<std::string> ReadLine(std::string_view path) const;

 private:
  std::filesystem::path root_;
};

}  // namespace tavrin::platform
