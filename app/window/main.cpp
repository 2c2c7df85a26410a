// tavrin: the window program. Framework start, the single-instance rules, then the main
// window and its event loop.
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "session/framework.h"
#include "text/labels.h"
#include "app/startup/activation.h"
#include "app/startup/instance_name.h"
#include "app/startup/process_stats.h"
#include "app/startup/start_check.h"
#include "app/window/activation_server.h"
#include "app/window/main_window.h"
#include "gather/controller.h"
#include "helpers/accessors.h"
#include "helpers/binding.h"
#include "helpers/debug_log.h"
#include "platform/linux/live_services.h"
#include "app/window/report_dialog/report_commands.h"
#include "tavrin_version.h"

namespace {

using namespace tavrin;

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Fatal messages (a helper library that cannot be loaded) may come before the application
// object exists; one is made for the message box when a display is there.
void ShowFatalMessage(std::string_view caption, std::string_view text) {
  static int argc = 1;
  static char name[] = "tavrin";
  static char* argv[] = {name, nullptr};
  std::unique_ptr<QApplication> own;
  if (QApplication::instance() == nullptr &&
      (std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
       std::getenv("QT_QPA_PLATFORM") != nullptr))
    own = std::make_unique<QApplication>(argc, argv);
  if (QApplication::instance() == nullptr) {
    fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
            static_cast<int>(text.size()), text.data());
    return;
  }
  QMessageBox::critical(nullptr, FromUtf8(caption), FromUtf8(text));
}

void LogFigure(const char* what, std::optional<int64_t> value, const char* unit) {
  if (value) helpers::DebugLogFmt("%s %lld %s", what, static_cast<long long>(*value), unit);
}

}  // namespace

int main(int argc, char** argv) {
  helpers::SetMessageSink(ShowFatalMessage);
  session::InitializeFramework(argc, argv);
  LogFigure("Framework ready", startup::MillisecondsSinceProcessStart(), "ms after process start");

  const std::string instance = startup::InstanceName(session::ProgramFileName());
  startup::StartCheck check = startup::CheckStart(instance);
  if (check.verdict == startup::StartVerdict::OtherUnloading) {
    helpers::DebugLog("Another instance is unloading; this start ends");
    session::FinalizeFramework();
    return 0;
  }
  if (check.verdict == startup::StartVerdict::OtherRunning) {
    const auto result = startup::SendActivation(startup::ActivationSocketPath(instance));
    helpers::DebugLog(result == startup::ActivationResult::TimedOut
                          ? "The running instance does not answer; this start ends"
                          : "Woke the running instance; this start ends");
    session::FinalizeFramework();
    return 0;
  }

  QApplication application(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("Tavrin System Information"));
  QApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));
  QApplication::setOrganizationName(FromUtf8(helpers::Globals().GetCompanyName()));

  if (!startup::AdministratorCheckPasses(helpers::Helper().GetOSCode(), geteuid() == 0)) {
    QMessageBox box(
        QMessageBox::Critical,
        FromUtf8(helpers::Globals().GetCompanyName() + " " + helpers::Globals().GetProductName()),
        FromUtf8(lbl::S_USER_NOT_ADMIN));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    session::FinalizeFramework();
    return 0;
  }

  auto services = std::make_shared<const platform::Services>(platform::MakeLiveServices());
  gather::TGetFunctionsClass controller;
  controller.SetAggregate(std::make_shared<collectors::TVexa_SystemInfo>(services));

  std::unique_ptr<startup::SessionLock> unloading;
  auto window = std::make_unique<window::TfrmSysInfo>(controller);
  window::SetReportHooks(report::MakeReportHooks(controller));
  window->SetUnloadingHandler(
      [&unloading] { unloading = startup::SessionLock::TryAcquire(startup::kUnloadingLockName); });
  window->SetGatheredHandler([] {
    LogFigure("Gathering phase done; resident memory", startup::ResidentKilobytes(), "KiB");
  });
  window::ActivationServer activation(instance, [&window] { window->Activate(); });

  window->show();
  QTimer::singleShot(0, [] {
    LogFigure("Window visible", startup::MillisecondsSinceProcessStart(), "ms after process start");
  });
  application.exec();

  // A gathering thread that is still inside a collector cannot be waited for: end at once,
  // as the closed window promised.
  if (controller.ThreadCreated() && !controller.ThreadFinished()) {
    helpers::DebugLog("Ending with the gathering thread still running");
    std::fflush(nullptr);
    std::_Exit(0);
  }
  window.reset();
  session::FinalizeFramework();
  return 0;
}
