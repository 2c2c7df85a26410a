// Recording a snapshot: the live services wrapped so that every answer is also written down.
//
// A snapshot holds what the program read, nothing more, so that replaying it on any machine
// gives the same pages while a user can see exactly what they are about to share.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/services.h"

namespace tavrin::platform {

class ServiceRecording;

class SnapshotRecorder {
 public:
  /// Prepares `dir`: created private when missing; an empty folder or one holding a snapshot
  /// (which is then replaced) is used. Throws std::runtime_error with the path and reason
  /// when `dir` cannot be written or holds anything but a snapshot.
  SnapshotRecorder(std::filesystem::path dir, Services live);
  ~SnapshotRecorder();
  SnapshotRecorder(const SnapshotRecorder&) = delete;
  SnapshotRecorder& operator=(const SnapshotRecorder&) = delete;

  /// Services that answer like the live ones and record every answer. Live stays true:
  /// the machine is still the one we run on.
  const Services& services() const { return recording_; }

  /// Writes the manifest, the registry, the files index and the system facts.
  /// Returns false with `error` set when a file could not be written.
  bool Finish(std::string* error = nullptr);

  /// True when `dir` held an earlier snapshot, which this recording replaces.
  bool ReplacesSnapshot() const { return replaces_snapshot_; }

  struct Store;  // what has been answered so far; shared with the wrappers

 private:
  std::filesystem::path dir_;
  bool replaces_snapshot_ = false;
  std::shared_ptr<Store> store_;
  std::vector<std::unique_ptr<ServiceRecording>> service_recordings_;
  Services recording_;
};

}  // namespace tavrin::platform
