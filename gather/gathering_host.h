// What the gathering needs from the program's main thread: the GUI's main window provides it,
// and so does the command line.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace tavrin::gather {

/// The progress window shown while gathering on the main thread.
class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;
  virtual void SetMax(int maximum) = 0;
  virtual void SetPosition(int position) = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual void Close() = 0;
};

class GatheringHost {
 public:
  virtual ~GatheringHost() = default;

  /// Runs `work` on the main thread and returns when it has run. Called from the gathering
  /// thread; a call from the main thread itself runs `work` at once.
  virtual void Synchronize(const std::function<void()>& work) = 0;
  /// Status bar, first panel.
  virtual void SetStatusText(const std::string& text) = 0;
  /// Lets pending main-thread work run (the shutdown wait calls it between its sleeps).
  virtual void ProcessMessages() = 0;
  /// Called from the gathering thread as its very last step, so a host waiting for the end
  /// need not poll.
  virtual void GatheringEnded() {}
  /// Opens the progress window with `text`; null when the host shows none.
  virtual std::unique_ptr<ProgressWindow> OpenProgress(const std::string& text) = 0;
};

}  // namespace tavrin::gather
