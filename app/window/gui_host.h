// The gathering's view of the window program: main-thread calls through Qt's event loop,
// the status bar, and the progress window of libcommonforms.so.
#pragma once

#include <atomic>
#include <functional>

#include "gather/gathering_host.h"

namespace tavrin::window {

class GuiHost : public gather::GatheringHost {
 public:
  /// `setStatus` writes the first status bar panel; `afterMainThreadWork` runs on the main
  /// thread after each piece of gathering work (the window redraws pages there).
  GuiHost(std::function<void(const std::string&)> setStatus,
          std::function<void()> afterMainThreadWork);

  void Synchronize(const std::function<void()>& work) override;
  void SetStatusText(const std::string& text) override;
  void ProcessMessages() override;
  std::unique_ptr<gather::ProgressWindow> OpenProgress(const std::string& text) override;

  /// After this, work from the gathering thread is dropped instead of waiting for an event
  /// loop that no longer runs.
  void Close() { closed_ = true; }

 private:
  std::function<void(const std::string&)> set_status_;
  std::function<void()> after_work_;
  std::atomic<bool> closed_{false};
};

}  // namespace tavrin::window
