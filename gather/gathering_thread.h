// The background gathering: walks the collectors in two phases and hands every page update to
// the main thread.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace tavrin::collectors {
class TVexa_SystemInfo;
}

namespace tavrin::gather {

class TGetFunctionsClass;

class TRecieveInfoThread {
 public:
  /// Takes the controller's aggregate; does not start yet.
  explicit TRecieveInfoThread(TGetFunctionsClass& controller);
  /// Joins a finished thread; one still running is left to end with the process.
  ~TRecieveInfoThread();

  void Start();
  void RequestStop() { stop_ = true; }
  bool Finished() const { return finished_; }
  std::string ProgressText() const;

 private:
  void Execute();
  void SetProgressText(std::string text);
  void ShowProgressOnMain();

  TGetFunctionsClass& controller_;
  std::shared_ptr<collectors::TVexa_SystemInfo> aggregate_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  mutable std::mutex text_mutex_;
  std::string progress_text_;
  std::thread thread_;
};

}  // namespace tavrin::gather
