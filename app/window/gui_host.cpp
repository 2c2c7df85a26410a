#include "app/window/gui_host.h"

#include <QCoreApplication>
#include <QThread>

#include "helpers/accessors.h"

namespace tavrin::window {
namespace {

// The progress window lives in libcommonforms.so; this adapts it to the gathering.
class LibraryProgress : public gather::ProgressWindow {
 public:
  explicit LibraryProgress(const std::string& text) : progress_(helpers::VistaProgress()) {
    progress_.Open(text, "", 0, 0, 1);
  }
  ~LibraryProgress() override { Close(); }
  void SetMax(int maximum) override { progress_.SetMax(maximum); }
  void SetPosition(int position) override { progress_.SetPosition(position); }
  void SetText(const std::string& text) override { progress_.SetText(text); }
  void Close() override {
    if (open_) progress_.Close();
    open_ = false;
  }

 private:
  helpers::IVistaProgress& progress_;
  bool open_ = true;
};

}  // namespace

GuiHost::GuiHost(std::function<void(const std::string&)> setStatus,
                 std::function<void()> afterMainThreadWork)
    : set_status_(std::move(setStatus)), after_work_(std::move(afterMainThreadWork)) {}

void GuiHost::Synchronize(const std::function<void()>& work) {
  QCoreApplication* app = QCoreApplication::instance();
  auto run = [this, &work] {
    work();
    if (after_work_) after_work_();
  };
  if (app == nullptr || QThread::currentThread() == app->thread()) {
    run();
    return;
  }
  if (closed_) return;
  QMetaObject::invokeMethod(app, run, Qt::BlockingQueuedConnection);
}

void GuiHost::SetStatusText(const std::string& text) {
  if (set_status_) set_status_(text);
}

void GuiHost::ProcessMessages() {
  QCoreApplication::processEvents();
}

std::unique_ptr<gather::ProgressWindow> GuiHost::OpenProgress(const std::string& text) {
  return std::make_unique<LibraryProgress>(text);
}

}  // namespace tavrin::window
