// Whether what the command line printed reached its destination. A full disk or a closed pipe
// shows only as a failed stream; checked after the last write, it ends the run with a reason
// and a failure exit instead of a silent success with the output lost.
#pragma once

#include <ostream>
#include <string_view>

namespace tavrin::cli {

/// Flushes `out`. When it or any earlier write failed, says so on `err` naming `what`
/// ("standard output") and the system's reason, and answers false.
bool FlushedOrSaid(std::ostream& out, std::ostream& err, std::string_view what);

}  // namespace tavrin::cli
