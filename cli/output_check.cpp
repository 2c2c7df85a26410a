#include "cli/output_check.h"

#include <cerrno>
#include <cstring>

namespace tavrin::cli {

bool FlushedOrSaid(std::ostream& out, std::ostream& err, std::string_view what) {
  errno = 0;
  out.flush();
  if (out) return true;
  // The stream keeps no reason; the failed write left it in errno, unless an earlier write
  // failed and this flush did nothing.
  const int error = errno;
  err << "tavrin-cli: cannot write to " << what << ": "
      << (error != 0 ? std::strerror(error) : "the output was lost") << '\n';
  return false;
}

}  // namespace tavrin::cli
