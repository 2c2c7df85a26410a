// The folder a recording goes into, and how its files are written. A snapshot holds a
// machine's environment, user name and serial numbers, so it is private from the first byte:
// the folder is 0700 and every file 0600, whatever the umask. And --record never deletes what
// the program did not write: it takes a new or empty folder, or one holding a snapshot of
// ours, which it replaces.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tavrin::platform {

enum class SnapshotFolderState {
  Created,   ///< the folder did not exist
  Empty,     ///< an empty folder was given
  Snapshot,  ///< the folder holds a snapshot, which the recording replaces
};

/// Makes `dir` ready for a recording and private. Throws std::runtime_error naming the path
/// and the reason when it cannot be used: not a folder, not writable, or holding anything but
/// a snapshot.
SnapshotFolderState PrepareSnapshotFolder(const std::filesystem::path& dir);

/// Writes `bytes` to `file` (inside a snapshot folder) as a new 0600 file; missing folders on
/// the way are made 0700. Whatever was at the name before, a link included, is replaced, not
/// written through. False with `error` naming the file and the reason on failure.
bool WriteSnapshotFile(const std::filesystem::path& file, std::string_view bytes,
                       std::string* error);

/// Makes every folder under `dir` 0700 and every file 0600, for the parts written by code
/// that created them with the default modes. Links are left alone.
void MakeSnapshotPrivate(const std::filesystem::path& dir);

}  // namespace tavrin::platform
