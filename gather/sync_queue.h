// A main-thread work queue for hosts without a window system: the command line and tests.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "gather/gathering_host.h"

namespace tavrin::gather {

class SyncQueue {
 public:
  /// The thread that constructs the queue is its main thread.
  SyncQueue();

  /// Queues `work` for the main thread and waits until it has run (at once on the main thread).
  void Synchronize(const std::function<void()>& work);
  /// On the main thread: runs queued work, waiting up to `wait` for the first item.
  void ProcessPending(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
  /// Ends a wait of ProcessPending early, from any thread.
  void Wake();

 private:
  struct Item {
    const std::function<void()>* work;
    bool done = false;
  };
  std::thread::id main_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::condition_variable finished_;
  std::deque<Item*> items_;
  bool woken_ = false;
};

}  // namespace tavrin::gather
