#include "platform/linux/kernel_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

namespace tavrin::platform {
namespace {

constexpr std::string_view kKmsg = "/dev/kmsg";
// The log is a ring of a few megabytes at most; more than this is not a log.
constexpr std::size_t kMaxKept = 8u << 20;

// The message of one log line: after the record header of /dev/kmsg ("6,339,5140900,-;") or
// the time stamp of dmesg ("[    1.234567] ").
std::string_view Message(std::string_view line) {
  const auto semicolon = line.find(';');
  if (semicolon != std::string_view::npos &&
      line.substr(0, semicolon).find_first_not_of("0123456789,-+=abcdefghijklmnopqrstuvwxyzT") ==
          std::string_view::npos)
    return line.substr(semicolon + 1);
  if (!line.empty() && line.front() == '[') {
    const auto close = line.find("] ");
    if (close != std::string_view::npos) return line.substr(close + 2);
  }
  return line;
}

bool ErrorNumber(std::string_view text, int& error) {
  while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.remove_suffix(1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), error);
  return ec == std::errc() && end == text.data() + text.size() && error != 0;
}

// "<driver>: probe of <device> failed with error -N"
bool OlderForm(std::string_view m, std::string& device, ProbeFailure& failure) {
  constexpr std::string_view kOf = ": probe of ", kFailed = " failed with error ";
  const auto of = m.find(kOf);
  if (of == std::string_view::npos || of == 0) return false;
  const auto failed = m.find(kFailed, of + kOf.size());
  if (failed == std::string_view::npos || failed == of + kOf.size()) return false;
  if (!ErrorNumber(m.substr(failed + kFailed.size()), failure.error)) return false;
  failure.driver = std::string(m.substr(0, of));
  device = std::string(m.substr(of + kOf.size(), failed - of - kOf.size()));
  return failure.driver.find(' ') == std::string::npos && device.find(' ') == std::string::npos;
}

// "<bus or driver> <device>: probe with driver <driver> failed with error -N"
bool NewerForm(std::string_view m, std::string& device, ProbeFailure& failure) {
  constexpr std::string_view kWith = ": probe with driver ", kFailed = " failed with error ";
  const auto with = m.find(kWith);
  if (with == std::string_view::npos) return false;
  const auto failed = m.find(kFailed, with + kWith.size());
  if (failed == std::string_view::npos || failed == with + kWith.size()) return false;
  if (!ErrorNumber(m.substr(failed + kFailed.size()), failure.error)) return false;
  const std::string_view head = m.substr(0, with);
  const auto blank = head.rfind(' ');
  device = std::string(blank == std::string_view::npos ? head : head.substr(blank + 1));
  failure.driver = std::string(m.substr(with + kWith.size(), failed - with - kWith.size()));
  return !device.empty() && failure.driver.find(' ') == std::string::npos;
}

// Closes the log when the read ends, however it ends.
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

std::string Denied(int err) {
  return err == EPERM || err == EACCES ? "readable by root only while kernel.dmesg_restrict is set"
                                       : std::strerror(err);
}

}  // namespace

std::map<std::string, ProbeFailure> ParseProbeFailures(std::string_view log) {
  std::map<std::string, ProbeFailure> out;
  while (!log.empty()) {
    const auto end = log.find('\n');
    const std::string_view line = log.substr(0, end);
    log = end == std::string_view::npos ? std::string_view() : log.substr(end + 1);
    // Continuation lines of /dev/kmsg (" SUBSYSTEM=pci") carry no message.
    if (line.empty() || line.front() == ' ') continue;
    const std::string_view message = Message(line);
    std::string device;
    ProbeFailure failure;
    if (OlderForm(message, device, failure) || NewerForm(message, device, failure))
      out[device] = std::move(failure);
  }
  return out;
}

Answer<std::string> ReadKernelLog(const FileReader& files, std::string_view keep) {
  const std::string source(kKmsg);
  if (files.root() != std::filesystem::path("/")) {
    auto text = files.ReadFile(kKmsg, kMaxKept);
    if (!text) return text;
    std::string kept;
    std::string_view rest = *text;
    while (!rest.empty()) {
      const auto end = rest.find('\n');
      const auto line = rest.substr(0, end);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
      if (line.find(keep) != std::string_view::npos) kept.append(line).push_back('\n');
    }
    return Answer<std::string>::Of(std::move(kept), text.source.source);
  }
  // Each read of /dev/kmsg hands out one record; without O_NONBLOCK the read after the last
  // one would wait for the next message.
  Descriptor fd(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) {
    const int err = errno;
    return Answer<std::string>::Fail(StatusFromErrno(err), source, Denied(err));
  }
  std::string kept;
  char record[8192];
  for (;;) {
    const ssize_t n = ::read(fd.get(), record, sizeof record);
    if (n < 0) {
      if (errno == EINTR || errno == EPIPE) continue;  // EPIPE: older records were overwritten
      if (errno == EAGAIN) break;                      // no more records
      const int err = errno;
      if (kept.empty()) return Answer<std::string>::Fail(StatusFromErrno(err), source, Denied(err));
      break;
    }
    if (n == 0) break;
    std::string_view text(record, static_cast<std::size_t>(n));
    // The record's dictionary follows its first line; only the message line is kept.
    text = text.substr(0, text.find('\n'));
    if (text.find(keep) != std::string_view::npos && kept.size() < kMaxKept)
      kept.append(text).push_back('\n');
  }
  return Answer<std::string>::Of(std::move(kept), source);
}

}  // namespace tavrin::platform
