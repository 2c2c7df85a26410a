// Where a session's data comes from: this machine, a replayed snapshot, or this machine while
// a snapshot of it is written. Both programs open their sources here, so the window and the
// command line show the same pages of the same data.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/services.h"
#include "session/start_options.h"

namespace tavrin::platform {
class SnapshotRecorder;
}

namespace tavrin::session {

class Sources {
 public:
  Sources();
  ~Sources();
  Sources(Sources&&) noexcept;
  Sources& operator=(Sources&&) noexcept;

  /// Null when the sources could not be opened; error() says why.
  const std::shared_ptr<const platform::Services>& services() const { return services_; }
  explicit operator bool() const { return services_ != nullptr; }

  /// One line naming the path and the reason, when opening failed.
  const std::string& error() const { return error_; }
  /// Parts of a snapshot that were skipped; the pages show the rest.
  const std::vector<std::string>& warnings() const { return warnings_; }

  /// The replayed snapshot's path as given, empty for this machine.
  const std::string& snapshot() const { return snapshot_; }
  bool Replayed() const { return !snapshot_.empty(); }
  bool Recording() const { return recorder_ != nullptr; }

  /// Writes the recorded snapshot once gathering is done. True when nothing is recorded or
  /// the snapshot was written; else `error` says why.
  bool FinishRecording(std::string* error);

 private:
  friend Sources OpenSources(const StartOptions& options);

  std::shared_ptr<const platform::Services> services_;
  std::unique_ptr<platform::SnapshotRecorder> recorder_;
  std::string error_;
  std::vector<std::string> warnings_;
  std::string snapshot_;
};

/// Opens the snapshot of --replay, the recording of --record, or this machine.
Sources OpenSources(const StartOptions& options);

}  // namespace tavrin::session
