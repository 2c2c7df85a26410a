#include "platform/provenance.h"

#include <algorithm>
#include <cerrno>

namespace tavrin::platform {

std::string_view StatusName(Status status) {
  switch (status) {
    case Status::Ok:
      return "ok";
    case Status::Missing:
      return "missing";
    case Status::PermissionDenied:
      return "permission denied";
    case Status::TimedOut:
      return "timed out";
    case Status::NotSupported:
      return "not supported here";
    case Status::Malformed:
      return "malformed data";
    case Status::Failed:
      return "failed";
  }
  return "failed";
}

std::optional<Status> StatusFromName(std::string_view name) {
  for (Status s : {Status::Ok, Status::Missing, Status::PermissionDenied, Status::TimedOut,
                   Status::NotSupported, Status::Malformed, Status::Failed}) {
    if (StatusName(s) == name) return s;
  }
  return std::nullopt;
}

Status StatusFromErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO:
      return Status::Missing;
    case EACCES:
    case EPERM:
      return Status::PermissionDenied;
    case ETIMEDOUT:
      return Status::TimedOut;
    case EOPNOTSUPP:
    case ENOSYS:
    case EINVAL:
      return Status::NotSupported;
    default:
      return Status::Failed;
  }
}

std::string Provenance::Explain() const {
  if (ok()) return "from " + source;
  const std::string status_text(StatusName(status));
  std::string text = source.empty() ? status_text : source + ": " + status_text;
  // One short reason: a detail that explains further failures in turn keeps only its own
  // first clause, and one that merely repeats the status adds nothing.
  std::string_view reason = detail;
  reason = reason.substr(0, std::min(reason.find("; "), reason.find(" (")));
  while (!reason.empty() && (reason.back() == ' ' || reason.back() == ';')) reason.remove_suffix(1);
  auto lower = [](std::string_view s) {
    std::string out(s);
    for (char& c : out)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
  };
  if (!reason.empty() && lower(reason) != status_text) text += " (" + std::string(reason) + ")";
  return text;
}

}  // namespace tavrin::platform
