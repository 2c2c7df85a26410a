#include "platform/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "base/strings.h"

namespace tavrin::platform {
namespace {

// Closes the descriptor whatever path the read takes.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

std::string ErrnoText(int err) { return std::strerror(err); }

// The first line, without the blanks around it.
std::string TrimLine(std::string_view text) {
  return std::string(base::Trim(text.substr(0, text.find('\n')), " \t\r"));
}

}  // namespace

FileReader::FileReader(std::filesystem::path root) : root_(std::move(root)) {}

std::filesystem::path FileReader::Resolve(std::string_view path) const {
  std::string_view relative = path;
  while (!relative.empty() && relative.front() == '/') relative.remove_prefix(1);
  if (root_ == "/" || root_.empty()) return std::filesystem::path("/") / relative;
  return root_ / relative;
}

Answer<std::string> FileReader::ReadFile(std::string_view path, std::size_t limit) const {
  const std::string source(path);
  const auto full = Resolve(path);
  // O_NONBLOCK keeps a FIFO or a device node from blocking the open.
  Fd fd(::open(full.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) {
    const int err = errno;
    return Answer<std::string>::Fail(StatusFromErrno(err), source, ErrnoText(err));
  }
  std::string content;
  char buffer[16384];
  while (content.size() < limit) {
    const std::size_t want = std::min(sizeof buffer, limit - content.size());
    const ssize_t got = ::read(fd.get(), buffer, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      // A sysfs attribute that the driver refuses (EIO, ENODATA) is as good as absent.
      return Answer<std::string>::Fail(StatusFromErrno(err), source, ErrnoText(err));
    }
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
  }
  return Answer<std::string>::Of(std::move(content), source);
}

Answer<std::vector<std::string>> FileReader::ListDir(std::string_view path) const {
  const std::string source(path);
  std::error_code ec;
  std::filesystem::directory_iterator it(Resolve(path), ec);
  if (ec) {
    return Answer<std::vector<std::string>>::Fail(StatusFromErrno(ec.value()), source,
                                                  ec.message());
  }
  std::vector<std::string> names;
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return Answer<std::vector<std::string>>::Of(std::move(names), source);
}

Answer<std::string> FileReader::ReadLink(std::string_view path) const {
  const std::string source(path);
  // One readlink call: the owner search of the network page reads thousands of
  // descriptor links, and the library's version asks for the link's size first.
  const std::string resolved = Resolve(path).string();
  std::string target(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink(resolved.c_str(), target.data(), target.size());
    if (n < 0) {
      const int err = errno;
      return Answer<std::string>::Fail(StatusFromErrno(err), source, ErrnoText(err));
    }
    if (static_cast<std::size_t>(n) < target.size()) {
      target.resize(static_cast<std::size_t>(n));
      return Answer<std::string>::Of(std::move(target), source);
    }
    if (target.size() >= (1u << 16))
      return Answer<std::string>::Fail(Status::Malformed, source, "link target too long");
    target.resize(target.size() * 4);  // the whole target did not fit: ask again with room
  }
}

Answer<std::string> FileReader::ReadLine(std::string_view path) const {
  auto content = ReadFile(path, 65536);
  if (!content) return content;
  return Answer<std::string>::Of(TrimLine(*content), content.source.source);
}

Answer<int64_t> FileReader::BirthTime(std::string_view path) const {
  const std::string source = "statx " + std::string(path);
  struct statx info {};
  if (::statx(AT_FDCWD, Resolve(path).c_str(), AT_NO_AUTOMOUNT, STATX_BTIME, &info) != 0) {
    const int err = errno;
    return Answer<int64_t>::Fail(StatusFromErrno(err), source, ErrnoText(err));
  }
  // Older kernels and file systems without a creation time leave the bit clear.
  if ((info.stx_mask & STATX_BTIME) == 0 || info.stx_btime.tv_sec == 0)
    return Answer<int64_t>::Fail(Status::NotSupported, source,
                                 "the file system records no creation time");
  return Answer<int64_t>::Of(info.stx_btime.tv_sec, source);
}

}  // namespace tavrin::platform
