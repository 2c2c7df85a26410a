// Where a value came from, or why it could not be had.
//
// Every platform read answers with its provenance, so a page can tell the user that a row is
// empty because /dev/mem needs root, or because a kernel module is not loaded, instead of
// silently showing nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tavrin::platform {

enum class Status {
  Ok,                ///< the source answered
  Missing,           ///< the file, key, device or library does not exist here
  PermissionDenied,  ///< it exists but this user may not read it (running as root would)
  TimedOut,          ///< the source did not answer in time and was abandoned
  NotSupported,      ///< this platform or snapshot has no such source
  Malformed,         ///< it answered, but with data that could not be understood
  Failed,            ///< any other failure (details in the text)
};

std::string_view StatusName(Status status);
/// Inverse of StatusName, for snapshots that store failures by name.
std::optional<Status> StatusFromName(std::string_view name);
/// Maps an errno value of a failed open/read to a status.
Status StatusFromErrno(int err);

struct Provenance {
  Status status = Status::NotSupported;
  std::string source;  ///< what was asked: "/proc/cpuinfo", "ioctl HDIO_GET_IDENTITY on /dev/sda"
  std::string detail;  ///< reason in words when status is not Ok ("Permission denied")

  bool ok() const { return status == Status::Ok; }

  static Provenance Answered(std::string source) { return {Status::Ok, std::move(source), {}}; }
  static Provenance Failure(Status status, std::string source, std::string detail = {}) {
    return {status, std::move(source), std::move(detail)};
  }
  /// One line for people: "from /proc/cpuinfo", "/dev/mem: permission denied (needs root)".
  std::string Explain() const;
};

/// A platform answer: the value when there is one, and always where it came from.
template <class T>
struct Answer {
  std::optional<T> value;
  Provenance source;

  static Answer Of(T v, std::string from) { return {std::move(v), Provenance::Answered(std::move(from))}; }
  static Answer Fail(Status status, std::string from, std::string detail = {}) {
    return {std::nullopt, Provenance::Failure(status, std::move(from), std::move(detail))};
  }

  bool ok() const { return value.has_value(); }
  explicit operator bool() const { return ok(); }
  const T& operator*() const { return *value; }
  const T* operator->() const { return &*value; }
  T value_or(T fallback) const { return value ? *value : std::move(fallback); }
};

/// A collector value together with the provenance of the read that produced it.
template <class T>
struct Sourced {
  T value{};
  Provenance source;
};

}  // namespace tavrin::platform
