#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavrin::platform {
namespace {

std::string FileTypeText(mode_t mode) {
  if (S_ISDIR(mode)) return "is a directory";
  if (S_ISCHR(mode)) return "is a character device";
  if (S_ISBLK(mode)) return "is a block device";
  if (S_ISFIFO(mode)) return "is a FIFO";
  if (S_ISSOCK(mode)) return "is a socket";
  return "is not a regular file";
}

std::string OpenErrorText(int err) {
  if (err == ELOOP) return "symbolic link loop (or a link where none is followed)";
  if (err == ENOENT) return "no such file";
  if (err == EACCES || err == EPERM) return std::string("unreadable: ") + std::strerror(err);
  return std::strerror(err);
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::string SizeLimitText(std::size_t limit) {
  if (limit >= (std::size_t{1} << 20) && limit % (std::size_t{1} << 20) == 0)
    return std::to_string(limit >> 20) + " MB";
  return std::to_string(limit) + " bytes";
}

WholeFile ReadWholeFileChecked(const std::filesystem::path& file, std::size_t limit,
                               bool follow_links) {
  WholeFile result;
  // O_NONBLOCK keeps a FIFO from blocking the open; the type check below then refuses it.
  int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  if (!follow_links) flags |= O_NOFOLLOW;
  int fd = -1;
  do {
    fd = ::open(file.c_str(), flags);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    const int err = errno;
    result.missing = err == ENOENT || err == ENOTDIR;
    result.error = OpenErrorText(err);
    return result;
  }
  Descriptor guard(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    result.error = std::string("cannot be examined: ") + std::strerror(errno);
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.error = FileTypeText(st.st_mode);
    return result;
  }
  if (st.st_size < 0 || static_cast<std::uintmax_t>(st.st_size) > limit) {
    result.error = "larger than " + SizeLimitText(limit);
    return result;
  }
  std::string text;
  text.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0) {
      result.error = std::string("unreadable: ") + std::strerror(errno);
      return result;
    }
    if (n == 0) break;
    // The file may grow while it is read; the limit holds for what is read, too.
    if (text.size() + static_cast<std::size_t>(n) > limit) {
      result.error = "larger than " + SizeLimitText(limit);
      return result;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  result.bytes = std::move(text);
  return result;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::size_t limit) {
  return ReadWholeFileChecked(file, limit).bytes;
}

}  // namespace tavrin::platform
