#include "platform/provenance.h"

#include <cerrno>

namespace tavrin::platform {

std::string_view StatusName(Status status) {
  switch (status) {
    case Status::Ok: return "ok";
    case Status::Missing: return "missing";
    case Status::PermissionDenied: return "permission denied";
    case Status::TimedOut: return "timed out";
    case Status::NotSupported: return "not supported here";
    case Status::Malformed: return "malformed data";
    case Status::Failed: return "failed";
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
    case ENXIO: return Status::Missing;
    case EACCES:
    case EPERM: return Status::PermissionDenied;
    case ETIMEDOUT: return Status::TimedOut;
    case EOPNOTSUPP:
    case ENOSYS:
    case EINVAL: return Status::NotSupported;
    default: return Status::Failed;
  }
}

std::string Provenance::Explain() const {
  if (ok()) return "from " + source;
  std::string text = source.empty() ? std::string(StatusName(status))
                                    : source + ": " + std::string(StatusName(status));
  if (!detail.empty()) text += " (" + detail + ")";
  return text;
}

}  // namespace tavrin::platform
