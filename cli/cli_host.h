// The gathering host of the command line: no window, a work queue for the main thread, and
// progress on standard error when asked for.
#pragma once

#include "gather/gathering_host.h"
#include "gather/sync_queue.h"

namespace tavrin::cli {

class CliHost : public gather::GatheringHost {
 public:
  explicit CliHost(bool verbose) : verbose_(verbose) {}

  void Synchronize(const std::function<void()>& work) override { queue_.Synchronize(work); }
  void SetStatusText(const std::string& text) override;
  void ProcessMessages() override { queue_.ProcessPending(); }
  void GatheringEnded() override { queue_.Wake(); }
  std::unique_ptr<gather::ProgressWindow> OpenProgress(const std::string&) override {
    return nullptr;
  }

  gather::SyncQueue& queue() { return queue_; }

 private:
  bool verbose_;
  gather::SyncQueue queue_;
};

}  // namespace tavrin::cli
