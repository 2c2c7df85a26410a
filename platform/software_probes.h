// What the software service needs beyond reading files: file modification times, the RPM
// database through librpm, and version answers of programs. Live, these ask the machine; in a
// snapshot they come from its software.json; while recording, the live answers are kept.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_reader.h"
#include "platform/software.h"

namespace tavrin::platform {

class SoftwareProbes {
 public:
  virtual ~SoftwareProbes() = default;
  /// Modification times (seconds since 1970) of the files in `dir` whose names end in
  /// `suffix`, by file name.
  virtual Answer<std::map<std::string, int64_t>> ModifiedTimes(const std::string& dir,
                                                               const std::string& suffix) const = 0;
  virtual Answer<std::vector<RpmPackage>> RpmPackages() const = 0;
  /// Runs `program` with `args` under a time limit; `id` names the question in a recording.
  virtual Answer<std::string> RunVersion(const std::string& id, const std::string& program,
                                         const std::vector<std::string>& args) const = 0;
};

/// The probes of the machine under `root` ("/" for this machine).
std::shared_ptr<const SoftwareProbes> MakeLiveSoftwareProbes(std::filesystem::path root);

/// The software service reading files through `files` and everything else through `probes`.
/// `home` is the user's home folder for the user's own entries (empty: none are read).
std::shared_ptr<const SoftwareService> MakeLinuxSoftwareService(
    std::shared_ptr<const FileReader> files, std::shared_ptr<const SoftwareProbes> probes,
    std::string home);

}  // namespace tavrin::platform
