// The gathering controller: decides when the machine is gathered, runs the gathering on a
// background thread or behind a progress window, and owns the pages the fillers write.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "collectors/system_info.h"
#include "gather/gathering_host.h"
#include "pages/categories.h"
#include "pages/page_model.h"

namespace tavrin::gather {

class TRecieveInfoThread;

/// "TVexa_CPU" -> "CPU": the class name without its first "tvexa_", compared without case.
std::string CollectorDisplayName(std::string_view className);
/// Only collectors whose class name contains "tvexa_" (without case) take part in gathering.
bool TakesPartInGathering(std::string_view className);

class TGetFunctionsClass {
 public:
  TGetFunctionsClass();
  ~TGetFunctionsClass();
  TGetFunctionsClass(const TGetFunctionsClass&) = delete;
  TGetFunctionsClass& operator=(const TGetFunctionsClass&) = delete;

  // Set-up by the main window (a null argument is ignored).
  void SetAggregate(std::shared_ptr<collectors::TVexa_SystemInfo> aggregate);
  void SetHost(GatheringHost* host);
  /// The category page display of the main window; it answers whether a filler should go on.
  /// Without one every call goes on.
  void SetPageDisplay(std::function<bool(const void* sender)> display);

  collectors::TVexa_SystemInfo* Aggregate() const { return aggregate_.get(); }

  // Flags.
  bool Gathered() const { return gathered_; }
  bool InProgress() const { return in_progress_; }
  /// The start-up hold: pages stay empty and no gathering starts until it is released.
  void SetInProgress(bool value) { in_progress_ = value; }
  void ClearGathered() { gathered_ = false; }
  bool AdvancedMode() const { return advanced_mode_; }
  void SetAdvancedMode(bool value) { advanced_mode_ = value; }

  /// Time one collector may take before it is abandoned.
  void SetCollectorTimeLimit(std::chrono::milliseconds limit) { time_limit_ = limit; }
  std::chrono::milliseconds CollectorTimeLimit() const { return time_limit_; }
  /// One line per collector abandoned at the time limit so far ("TVexa_BIOS timed out after
  /// 10 ms"), so a page left empty by a time-out can be explained as one.
  std::vector<std::string> TimedOutCollectors() const;
  /// The same for people, in the program's language: which collectors of the aggregate were
  /// abandoned at their last refresh ("Timed out: CPU, Machine did not answer within 10 ms");
  /// empty when none was.
  std::string TimedOutNote() const;

  /// Starts the background gathering unless one runs or one has completed.
  void StartGathering();
  /// Gathers on the calling thread behind the progress window, same conditions. Returns false
  /// when a collector failed (the gathering then ends without data).
  bool GatherWithProgress();
  /// Runs on the main thread when a gathering phase ends: marks the data gathered and refills
  /// every page.
  void GatheringFinished();
  /// Shutdown: stops the gathering thread before its next collector and waits in 100 ms steps
  /// while a gathering is in progress. `onUnloading` runs first when a thread exists (the GUI
  /// takes its unloading lock there).
  void Shutdown(const std::function<void()>& onUnloading = {});

  /// Whether the gathering thread has been created / has ended.
  bool ThreadCreated() const { return thread_ != nullptr; }
  bool ThreadFinished() const;

  // The pages, one per category, with the sections of their layout.
  bool ShowCategoryPage(const void* sender) const;
  pages::Page* FindPage(std::string_view categoryKey);
  const pages::Page* FindPage(std::string_view categoryKey) const;

  /// Refills the page of `category`: the page display first (which says whether to go on),
  /// nothing while a gathering runs or before the aggregate exists, then the page is cleared
  /// and its filler adds the rows anew. An exception while adding ends the refill and keeps the
  /// rows added so far. `sender` is the category's action when the user chose the page, null
  /// when the gathering calls it.
  void FillCategory(const pages::TSICategory& category, const void* sender);

  /// Summary texts written by the General page and read by the report header.
  pages::PageSummary summary;

  GatheringHost* Host() const { return host_; }

 private:
  friend class TRecieveInfoThread;
  void ShowProgress(const std::string& text);
  /// Refreshes one slot under the time limit, with the log lines around it.
  base::RunResult RefreshLogged(std::size_t index, const char* how);

  std::shared_ptr<collectors::TVexa_SystemInfo> aggregate_;
  GatheringHost* host_ = nullptr;
  std::function<bool(const void*)> page_display_;
  std::map<std::string, pages::Page, std::less<>> pages_;

  std::atomic<bool> gathered_{false};
  std::atomic<bool> in_progress_{false};
  std::atomic<bool> advanced_mode_{false};
  std::atomic<bool> first_flag_{false};
  std::chrono::milliseconds time_limit_{std::chrono::seconds(30)};
  std::unique_ptr<TRecieveInfoThread> thread_;
  mutable std::mutex timed_out_mutex_;  // written by the gathering thread, read by the main one
  std::vector<std::string> timed_out_;
};

}  // namespace tavrin::gather
