// tavrin: the window program. Its command line, framework start, the single-instance rules,
// then the sources and the session (shared with tavrin-cli), the main window and its loop.
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "app/startup/activation.h"
#include "app/startup/instance_name.h"
#include "app/startup/process_stats.h"
#include "app/startup/start_check.h"
#include "app/startup/window_options.h"
#include "app/window/activation_server.h"
#include "app/window/main_window.h"
#include "app/window/report_dialog/report_commands.h"
#include "app/window/screenshot_hook.h"
#include "gather/controller.h"
#include "helpers/accessors.h"
#include "helpers/binding.h"
#include "helpers/debug_log.h"
#include "session/framework.h"
#include "session/session_setup.h"
#include "session/sources.h"
#include "tavrin_version.h"
#include "text/labels.h"

namespace {

using namespace tavrin;

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;

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
  if (QApplication::instance() == nullptr && startup::MissingDisplayReason(std::getenv).empty())
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

// The program name, then the toolkit's own arguments: what QApplication gets to see.
struct ToolkitArgs {
  explicit ToolkitArgs(const char* program, const std::vector<std::string>& toolkit)
      : strings(1, program) {
    strings.insert(strings.end(), toolkit.begin(), toolkit.end());
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    argc = static_cast<int>(strings.size());
  }
  std::vector<std::string> strings;
  std::vector<char*> pointers;
  int argc = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const startup::ParsedWindowArgs parsed = startup::ParseWindowArgs(args);
  if (!parsed.options) {
    std::cerr << "tavrin: " << parsed.error << '\n';
    return kExitUsage;
  }
  startup::WindowOptions options = *parsed.options;
  if (options.start.help) {
    std::cout << startup::WindowUsage();
    return 0;
  }
  if (options.start.version) {
    std::cout << "tavrin " TAVRIN_VERSION "\n";
    return 0;
  }
  if (const std::string reason = startup::MissingDisplayReason(std::getenv); !reason.empty()) {
    std::cerr << "tavrin: " << reason
              << ".\nUse tavrin-cli to see the same information in a terminal.\n";
    return kExitFailure;
  }

  helpers::SetMessageSink(ShowFatalMessage);
  session::InitializeFramework(argc, argv);
  LogFigure("Framework ready", startup::MillisecondsSinceProcessStart(), "ms after process start");

  // A replayed snapshot is not this machine: its window runs beside the machine's own.
  std::optional<startup::StartCheck> check;
  const std::string instance = startup::InstanceName(session::ProgramFileName());
  if (!options.start.replay) {
    const startup::RuntimeFolderChoice runtime =
        startup::ChooseRuntimeFolder(std::getenv("XDG_RUNTIME_DIR"), getuid());
    if (!runtime.note.empty()) std::cerr << "tavrin: " << runtime.note << '\n';
    check = startup::CheckStart(instance);
    if (check->verdict == startup::StartVerdict::OtherUnloading) {
      helpers::DebugLog("Another instance is unloading; this start ends");
      session::FinalizeFramework();
      return 0;
    }
    if (check->verdict == startup::StartVerdict::OtherRunning) {
      const auto result = startup::SendActivation(startup::ActivationSocketPath(instance));
      if (result == startup::ActivationResult::TimedOut) {
        // A stopped or hung first instance: nothing the user asked for happens, so say so.
        helpers::DebugLog("The running instance does not answer; this start ends");
        std::cerr << "tavrin: another instance is running but did not answer within "
                  << startup::kActivationTimeout.count() / 1000
                  << " s (stopped or hung); this start ends\n";
        session::FinalizeFramework();
        return kExitFailure;
      }
      helpers::DebugLog("Woke the running instance; this start ends");
      session::FinalizeFramework();
      return 0;
    }
  }

  ToolkitArgs toolkit(argc > 0 ? argv[0] : "tavrin", options.toolkit);
  QApplication application(toolkit.argc, toolkit.pointers.data());
  QApplication::setApplicationDisplayName(FromUtf8(helpers::Globals().GetProductName()));
  QApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));
  QApplication::setOrganizationName(FromUtf8(helpers::Globals().GetCompanyName()));

  if (!startup::AdministratorCheckPasses(helpers::Helper().GetOSCode(), geteuid() == 0)) {
    QMessageBox box(QMessageBox::Critical, FromUtf8(helpers::Globals().GetProductName()),
                    FromUtf8(lbl::S_USER_NOT_ADMIN));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    session::FinalizeFramework();
    return 0;
  }

  session::Sources sources = session::OpenSources(options.start);
  for (const auto& warning : sources.warnings()) helpers::DebugLog(warning);
  if (!sources) {
    QMessageBox::critical(nullptr, FromUtf8(helpers::Globals().GetProductName()),
                          FromUtf8(sources.error()));
    session::FinalizeFramework();
    return kExitFailure;
  }

  // The mode chosen last time, unless this start asks for the advanced one.
  if (!options.start.advanced)
    options.start.advanced = window::TfrmSysInfo::RememberedAdvancedMode();
  gather::TGetFunctionsClass controller;
  const std::vector<std::string> notes =
      session::PrepareSession(options.start, sources, controller);

  std::unique_ptr<startup::SessionLock> unloading;
  auto window = std::make_unique<window::TfrmSysInfo>(controller);
  window::SetReportHooks(report::MakeReportHooks(controller));
  window->SetSession(session::SessionTitle(sources), session::SnapshotNote(sources));
  window->SetRememberSettings(true);
  for (const auto& note : notes) helpers::DebugLog(note);
  window->SetUnloadingHandler(
      [&unloading] { unloading = startup::SessionLock::TryAcquire(startup::kUnloadingLockName); });
  const bool screenshot = window::ArmScreenshot(*window);
  // A recording holds the first gathering: one moment of the machine, as the command line
  // records it. Later refreshes and the live monitor read the machine again.
  bool recording_open = sources.Recording();
  window->SetGatheredHandler([&window, &sources, &recording_open, screenshot] {
    LogFigure("Gathering phase done; resident memory", startup::ResidentKilobytes(), "KiB");
    if (recording_open) {
      recording_open = false;
      if (std::string error; !sources.FinishRecording(&error))
        std::cerr << "tavrin: cannot record: " << error << '\n';
    }
    if (screenshot) window::ScreenshotAfterGathering(*window);
  });
  std::unique_ptr<window::ActivationServer> activation;
  if (check)
    activation =
        std::make_unique<window::ActivationServer>(instance, [&window] { window->Activate(); });

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
  // A window closed before its first gathering ended records what was read so far.
  if (recording_open)
    if (std::string error; !sources.FinishRecording(&error))
      std::cerr << "tavrin: cannot record: " << error << '\n';
  activation.reset();
  window.reset();
  session::FinalizeFramework();
  return 0;
}
