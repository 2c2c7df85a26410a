#include "base/time_limit.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace tavrin::base {
namespace {

struct Shared {
  std::mutex mutex;
  std::condition_variable done_signal;
  bool done = false;
  RunResult result;
};

}  // namespace

RunResult RunWithTimeLimit(std::function<void()> work, std::chrono::milliseconds limit) {
  auto shared = std::make_shared<Shared>();
  std::thread worker([shared, work = std::move(work)]() mutable {
    RunResult result;
    try {
      work();
    } catch (const std::exception& e) {
      result = {RunOutcome::Failed, e.what()};
    } catch (...) {
      result = {RunOutcome::Failed, "unknown exception"};
    }
    // Release what the work holds before reporting, so an abandoned probe that finishes late
    // frees its collector on its own thread.
    work = nullptr;
    std::lock_guard lock(shared->mutex);
    shared->result = std::move(result);
    shared->done = true;
    shared->done_signal.notify_all();
  });

  std::unique_lock lock(shared->mutex);
  if (shared->done_signal.wait_for(lock, limit, [&] { return shared->done; })) {
    lock.unlock();
    worker.join();
    return shared->result;
  }
  worker.detach();
  return {RunOutcome::TimedOut, {}};
}

}  // namespace tavrin::base
