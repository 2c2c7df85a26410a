#include "gather/gathering_thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "gather/controller.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::gather {
TRecieveInfoThread::TRecieveInfoThread(TGetFunctionsClass& controller)
    : controller_(controller), aggregate_(controller.aggregate_) {}

TRecieveInfoThread::~TRecieveInfoThread() {
  if (!thread_.joinable()) return;
  if (finished_) {
    thread_.join();
  } else {
    thread_.detach();
  }
}

void TRecieveInfoThread::Start() {
  thread_ = std::thread([this] { Execute(); });
}

std::string TRecieveInfoThread::ProgressText() const {
  std::lock_guard lock(text_mutex_);
  return progress_text_;
}

void TRecieveInfoThread::SetProgressText(std::string text) {
  std::lock_guard lock(text_mutex_);
  progress_text_ = std::move(text);
}

void TRecieveInfoThread::ShowProgressOnMain() {
  const std::string text = ProgressText();
  if (GatheringHost* host = controller_.Host())
    host->Synchronize([this, &text] { controller_.ShowProgress(text); });
}

void TRecieveInfoThread::Execute() {
  // The lowest priority above idle, so gathering never competes with the user's work.
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 15);
  GatheringHost* host = controller_.Host();
  auto on_main = [host](const std::function<void()>& work) {
    if (host != nullptr) {
      host->Synchronize(work);
    } else {
      work();
    }
  };

  stop_ = false;
  const std::size_t count = aggregate_->ComponentCount();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string class_name = aggregate_->Component(i)->ClassName();
    if (!TakesPartInGathering(class_name)) continue;
    SetProgressText(FormatText(lbl::S_REC_FROM_TR, {CollectorDisplayName(class_name)}));
    if (stop_) break;
    if (aggregate_->Phase(i) == collectors::GatheringPhase::kSecond) continue;
    ShowProgressOnMain();
    controller_.RefreshLogged(i, "thread");
  }
  on_main([this] { controller_.GatheringFinished(); });

  controller_.in_progress_ = true;
  controller_.gathered_ = false;
  stop_ = false;
  for (std::size_t i = 0; i < count; ++i) {
    if (aggregate_->Phase(i) != collectors::GatheringPhase::kSecond) continue;
    const std::string class_name = aggregate_->Component(i)->ClassName();
    if (!TakesPartInGathering(class_name)) continue;
    SetProgressText(FormatText(lbl::S_REC_FROM_TR, {CollectorDisplayName(class_name)}));
    if (stop_) continue;
    ShowProgressOnMain();
    controller_.RefreshLogged(i, "thread");
  }
  on_main([this] { controller_.GatheringFinished(); });
  finished_ = true;
  if (host != nullptr) host->GatheringEnded();
}

}  // namespace tavrin::gather
