// Running one probe under a time limit.
//
// A collector can hang inside the kernel (a dead network mount, a device that never answers a
// command). Such a probe cannot be cancelled, only abandoned: it keeps running on its own
// thread while the gathering goes on without it.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace tavrin::base {

enum class RunOutcome { Finished, TimedOut, Failed };

struct RunResult {
  RunOutcome outcome = RunOutcome::Finished;
  std::string error;  ///< the exception text when Failed
};

/// Runs `work` on a thread of its own and waits at most `limit`. On time-out the thread is
/// left to finish alone: everything `work` uses must be owned by `work` itself (captured
/// shared pointers), never borrowed from the caller's stack. Exceptions become Failed.
RunResult RunWithTimeLimit(std::function<void()> work, std::chrono::milliseconds limit);

}  // namespace tavrin::base
