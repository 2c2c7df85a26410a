#include "cli/output_check.h"

#include <cerrno>
#include <cstring>

namespace tavrin::cli {

bool FlushedOrSaid(std::ostream& out, std::ostream& err, std::string_view what) {
  // The stream keeps no reason, but the failed write left it in errno: when an earlier write
  // failed, errno still holds it (the caller checks right after writing).
  const bool failed_before = !out;
  if (!failed_before) errno = 0;
  out.flush();
  if (out) return true;
  const int error = errno;
  err << "tavrin-cli: cannot write to " << what << ": "
      << (error != 0 ? std::strerror(error) : "the output was lost") << '\n';
  return false;
}

}  // namespace tavrin::cli
