#include "gather/sync_queue.h"

namespace tavrin::gather {

SyncQueue::SyncQueue() : main_(std::this_thread::get_id()) {}

void SyncQueue::Synchronize(const std::function<void()>& work) {
  if (std::this_thread::get_id() == main_) {
    work();
    return;
  }
  Item item{&work};
  std::unique_lock lock(mutex_);
  items_.push_back(&item);
  queued_.notify_all();
  finished_.wait(lock, [&] { return item.done; });
}

void SyncQueue::Wake() {
  std::lock_guard lock(mutex_);
  woken_ = true;
  queued_.notify_all();
}

void SyncQueue::ProcessPending(std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  if (items_.empty() && wait.count() > 0)
    queued_.wait_for(lock, wait, [&] { return !items_.empty() || woken_; });
  woken_ = false;
  while (!items_.empty()) {
    Item* item = items_.front();
    items_.pop_front();
    lock.unlock();
    {
    // The waiting thread is released even when the work throws.
    struct Release {
      SyncQueue* queue;
      Item* item;
      ~Release() {
        std::lock_guard relock(queue->mutex_);
        item->done = true;
        queue->finished_.notify_all();
      }
    } release{this, item};
    (*item->work)();
    }
    lock.lock();
  }
}

}  // namespace tavrin::gather
