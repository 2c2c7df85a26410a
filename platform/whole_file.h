// Reading a file whole: a snapshot's own files and the settings file. (Machine files go through
// FileReader instead.) Only regular files are read, and their size is checked on the opened
// descriptor before any byte is read, so a link to a device, a FIFO or a huge sparse file is
// refused at once instead of blocking or filling memory.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace tavrin::platform {

/// The largest file read whole when the caller names no smaller limit.
inline constexpr std::size_t kMaxWholeFileBytes = std::size_t{256} << 20;

struct WholeFile {
  std::optional<std::string> bytes;
  bool missing = false;  ///< nothing at the path (or a dangling link); `error` says so too
  std::string error;     ///< why the file was not read: "is a FIFO", "larger than 16 MB", ...
};

/// Reads `file` whole. A symbolic link is followed (snapshots may hold links the user made)
/// unless `follow_links` is false; either way what was opened must be a regular file.
WholeFile ReadWholeFileChecked(const std::filesystem::path& file,
                               std::size_t limit = kMaxWholeFileBytes, bool follow_links = true);

/// The bytes of `file`; nullopt when it cannot be read or is larger than `limit`.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file,
                                         std::size_t limit = kMaxWholeFileBytes);

/// "16 MB", "300 bytes": a size limit as the messages above give it.
std::string SizeLimitText(std::size_t limit);

}  // namespace tavrin::platform
