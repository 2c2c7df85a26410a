#include "gather/controller.h"

#include <exception>

#include <algorithm>
#include <thread>

#include "base/strings.h"
#include "gather/gathering_thread.h"
#include "helpers/accessors.h"
#include "helpers/debug_log.h"
#include "pages/categories.h"
#include "pages/page_layouts.h"
#include "pages/section_sources.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::gather {

std::string CollectorDisplayName(std::string_view className) {
  const auto at = base::Lower(className).find("tvexa_");
  if (at == std::string::npos) return std::string(className);
  std::string name(className);
  name.erase(at, 6);
  return name;
}

bool TakesPartInGathering(std::string_view className) {
  return base::ContainsNoCase(className, "tvexa_");
}

TGetFunctionsClass::TGetFunctionsClass() {
  for (const pages::PageLayout& layout : pages::PageLayouts())
    pages_.emplace(std::string(layout.categoryKey), pages::EmptyPage(layout));
}

TGetFunctionsClass::~TGetFunctionsClass() = default;

void TGetFunctionsClass::SetAggregate(std::shared_ptr<collectors::TVexa_SystemInfo> aggregate) {
  if (aggregate) aggregate_ = std::move(aggregate);
}

void TGetFunctionsClass::SetHost(GatheringHost* host) {
  if (host != nullptr) host_ = host;
}

void TGetFunctionsClass::SetPageDisplay(std::function<bool(const void*)> display) {
  page_display_ = std::move(display);
}

bool TGetFunctionsClass::ShowCategoryPage(const void* sender) const {
  if (sender == nullptr || !page_display_) return true;
  return page_display_(sender);
}

pages::Page* TGetFunctionsClass::FindPage(std::string_view categoryKey) {
  auto it = pages_.find(categoryKey);
  return it == pages_.end() ? nullptr : &it->second;
}

const pages::Page* TGetFunctionsClass::FindPage(std::string_view categoryKey) const {
  auto it = pages_.find(categoryKey);
  return it == pages_.end() ? nullptr : &it->second;
}

std::vector<std::string> TGetFunctionsClass::TimedOutCollectors() const {
  std::lock_guard lock(timed_out_mutex_);
  return timed_out_;
}

std::string TGetFunctionsClass::TimedOutNote() const {
  if (!aggregate_) return {};
  std::string names;
  std::chrono::milliseconds limit{};
  for (std::size_t i = 0; i < aggregate_->ComponentCount(); ++i) {
    const std::string name = aggregate_->Component(i)->Name();
    if (auto after = aggregate_->AbandonedAfter(name)) {
      names += (names.empty() ? "" : ", ") + name;
      limit = *after;
    }
  }
  if (names.empty()) return {};
  return FormatText(lbl::S_EMPTY_TIMED_OUT, {names, std::to_string(limit.count())});
}

bool TGetFunctionsClass::ThreadFinished() const {
  return thread_ && thread_->Finished();
}

void TGetFunctionsClass::ShowProgress(const std::string& text) {
  if (host_ != nullptr) host_->SetStatusText(text);
}

base::RunResult TGetFunctionsClass::RefreshLogged(std::size_t index, const char* how) {
  const std::string class_name = aggregate_->Component(index)->ClassName();
  helpers::DebugLog("Collecting from " + class_name + " started: " + how);
  base::RunResult result = aggregate_->RefreshComponent(index, time_limit_);
  switch (result.outcome) {
    case base::RunOutcome::Finished:
      helpers::DebugLog("Collecting from " + class_name + " finished: " + how);
      break;
    case base::RunOutcome::TimedOut: {
      helpers::DebugLog("Collecting from " + class_name + " abandoned after " +
                        std::to_string(time_limit_.count()) + " ms: " + how);
      std::lock_guard lock(timed_out_mutex_);
      timed_out_.push_back(class_name + " timed out after " + std::to_string(time_limit_.count()) +
                           " ms");
      break;
    }
    case base::RunOutcome::Failed:
      helpers::DebugLog("Collecting from " + class_name + " failed (" + result.error + "): " + how);
      break;
  }
  return result;
}

void TGetFunctionsClass::StartGathering() {
  if (in_progress_ || gathered_ || !aggregate_) return;
  if (thread_ && !thread_->Finished()) return;
  if (host_ != nullptr) host_->SetStatusText(lbl::S_REC);
  in_progress_ = true;
  thread_.reset();  // an earlier, finished thread
  thread_ = std::make_unique<TRecieveInfoThread>(*this);
  thread_->Start();
}

bool TGetFunctionsClass::GatherWithProgress() {
  if (in_progress_ || gathered_ || !aggregate_) return false;
  std::unique_ptr<ProgressWindow> progress;
  if (host_ != nullptr) progress = host_->OpenProgress(lbl::S_REC);
  const std::size_t count = aggregate_->ComponentCount();
  if (progress) progress->SetMax(static_cast<int>(count));
  in_progress_ = true;
  first_flag_ = false;

  bool completed = true;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string class_name = aggregate_->Component(i)->ClassName();
    if (TakesPartInGathering(class_name)) {
      if (progress)
        progress->SetText(FormatText(lbl::S_REC_FROM, {CollectorDisplayName(class_name)}));
      if (RefreshLogged(i, "dialog").outcome == base::RunOutcome::Failed) {
        // A collector that fails ends this gathering without data, as a crash in it would.
        completed = false;
        break;
      }
    }
    if (progress) progress->SetPosition(static_cast<int>(i));
  }
  if (completed) gathered_ = true;
  if (progress) progress->Close();
  in_progress_ = false;
  return completed;
}

void TGetFunctionsClass::GatheringFinished() {
  gathered_ = true;
  in_progress_ = false;
  first_flag_ = false;
  for (const pages::TSICategory& category : pages::TSICategoryList())
    FillCategory(category, nullptr);
  if (host_ != nullptr)
    host_->SetStatusText(lbl::S_CURRENT_USER + " " + helpers::Globals().GetCurrentUserName());
}

void TGetFunctionsClass::FillCategory(const pages::TSICategory& category, const void* sender) {
  if (!ShowCategoryPage(sender)) return;
  if (in_progress_ || !aggregate_) return;
  pages::Page* page = FindPage(category.key);
  if (page == nullptr) return;
  page->ClearItems();
  const pages::FillContext ctx{*aggregate_, advanced_mode_, summary};
  try {
    category.filler(ctx, *page);
  } catch (const std::exception& e) {
    // A value that failed to format ends this refill; the rows added so far stay.
    helpers::DebugLog("Filling page " + std::string(category.key) + " stopped: " + e.what());
  }
  pages::ExplainFilledPage(ctx, *page);
}

void TGetFunctionsClass::Shutdown(const std::function<void()>& onUnloading) {
  if (!thread_) return;
  if (onUnloading) onUnloading();
  thread_->RequestStop();
  while (in_progress_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (host_ != nullptr) host_->ProcessMessages();
    if (thread_->Finished()) break;
  }
}

}  // namespace tavrin::gather
