#include "platform/recording/snapshot_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "platform/snapshot_layout.h"
#include "platform/whole_file.h"

namespace tavrin::platform {
namespace {

namespace fs = std::filesystem;

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

[[noreturn]] void Refuse(const fs::path& dir, const std::string& why) {
  throw std::runtime_error(dir.string() + ": " + why);
}

// A manifest of ours: the folder is an earlier recording, safe to replace part by part.
bool HoldsSnapshot(const fs::path& dir) {
  const WholeFile manifest =
      ReadWholeFileChecked(dir / snapshot::kManifest, 1u << 20, /*follow_links=*/false);
  if (!manifest.bytes) return false;
  const nlohmann::json j = nlohmann::json::parse(*manifest.bytes, nullptr, false);
  if (!j.is_object()) return false;
  const auto format = j.find("format");
  return format != j.end() && format->is_string() &&
         format->get<std::string>() == snapshot::kFormat;
}

// Folders made on the way to a file, each private.
bool MakeFolders(const fs::path& folder, std::string* error) {
  if (folder.empty()) return true;
  struct stat st {};
  if (::lstat(folder.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    if (error) *error = folder.string() + ": not a directory";
    return false;
  }
  if (!MakeFolders(folder.parent_path(), error)) return false;
  if (::mkdir(folder.c_str(), kFolderMode) != 0 && errno != EEXIST) {
    if (error) *error = folder.string() + ": cannot be created (" + std::strerror(errno) + ")";
    return false;
  }
  return true;
}

}  // namespace

SnapshotFolderState PrepareSnapshotFolder(const fs::path& dir) {
  if (dir.empty()) throw std::runtime_error("no snapshot directory given");
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0) {
    if (errno != ENOENT) Refuse(dir, std::string("cannot be used (") + std::strerror(errno) + ")");
    std::error_code ec;
    const fs::path parent = dir.parent_path();
    if (!parent.empty()) fs::create_directories(parent, ec);
    if (ec) Refuse(dir, "cannot create the snapshot directory (" + ec.message() + ")");
    if (::mkdir(dir.c_str(), kFolderMode) != 0)
      Refuse(dir,
             std::string("cannot create the snapshot directory (") + std::strerror(errno) + ")");
    return SnapshotFolderState::Created;
  }
  if (!S_ISDIR(st.st_mode)) Refuse(dir, "cannot record here (not a directory)");
  std::error_code ec;
  const bool empty = fs::directory_iterator(dir, ec) == fs::directory_iterator();
  if (ec) Refuse(dir, "cannot be read (" + ec.message() + ")");
  if (!empty && !HoldsSnapshot(dir))
    Refuse(dir,
           "holds files but no snapshot; record into a new or empty directory (nothing was "
           "changed)");
  if (::access(dir.c_str(), W_OK) != 0)
    Refuse(dir, std::string("cannot be written (") + std::strerror(errno) + ")");
  ::chmod(dir.c_str(), kFolderMode);
  return empty ? SnapshotFolderState::Empty : SnapshotFolderState::Snapshot;
}

bool WriteSnapshotFile(const fs::path& file, std::string_view bytes, std::string* error) {
  if (!MakeFolders(file.parent_path(), error)) return false;
  auto fail = [&](const char* what, int err) {
    if (error) *error = file.string() + ": " + what + " (" + std::strerror(err) + ")";
    return false;
  };
  // A fresh file: an earlier one (or a link a user left there) is removed, never followed.
  if (::unlink(file.c_str()) != 0 && errno != ENOENT) return fail("cannot be replaced", errno);
  const int fd =
      ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFileMode);
  if (fd < 0) return fail("cannot be written", errno);
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      return fail("cannot be written", err);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  if (::close(fd) != 0) return fail("cannot be written", errno);
  return true;
}

void MakeSnapshotPrivate(const fs::path& dir) {
  std::error_code ec;
  ::chmod(dir.c_str(), kFolderMode);
  for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::file_status status = it->symlink_status(ec);
    if (ec) break;
    if (fs::is_directory(status))
      ::chmod(it->path().c_str(), kFolderMode);
    else if (fs::is_regular_file(status))
      ::chmod(it->path().c_str(), kFileMode);
  }
}

}  // namespace tavrin::platform
