// tavrin-cli: the information pages of this machine, or of a recorded snapshot, as text.
#include <iostream>

#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/device_page_text.h"
#include "cli/monitor_command.h"
#include "cli/output_check.h"
#include "cli/page_text.h"
#include "cli/report_command.h"
#include "cli/terminal_text.h"
#include "gather/controller.h"
#include "session/framework.h"
#include "session/session_setup.h"
#include "session/sources.h"
#include "tavrin_version.h"

namespace {

using namespace tavrin;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Gathers with the background thread, as the window does, while this thread serves the
// thread's main-thread calls.
void Gather(gather::TGetFunctionsClass& controller, cli::CliHost& host) {
  controller.StartGathering();
  while (!controller.ThreadFinished()) host.queue().ProcessPending(std::chrono::milliseconds(100));
  host.queue().ProcessPending();
}

bool Shown(const pages::TSICategory& category, const cli::CliOptions& options) {
  if (!options.pages.empty()) {
    for (const auto& key : options.pages)
      if (key == category.key) return true;
    return false;
  }
  return options.start.advanced || !category.advancedOnly;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const cli::ParsedArgs parsed = cli::ParseCliArgs(args);
  if (!parsed.options) {
    std::cerr << "tavrin-cli: " << parsed.error << '\n';
    return kExitUsage;
  }
  const cli::CliOptions& options = *parsed.options;
  if (options.start.help) {
    std::cout << cli::CliUsage();
    return kExitOk;
  }
  if (options.start.version) {
    std::cout << "tavrin-cli " TAVRIN_VERSION "\n";
    return kExitOk;
  }

  session::InitializeFramework(argc, argv);
  session::Sources sources = session::OpenSources(options.start);
  // Snapshot warnings quote the snapshot's own text: cleaned like the pages.
  for (const auto& warning : sources.warnings())
    std::cerr << "tavrin-cli: " << cli::TerminalText(warning) << '\n';
  if (!sources) {
    std::cerr << "tavrin-cli: " << cli::TerminalText(sources.error()) << '\n';
    session::FinalizeFramework();
    return kExitFailure;
  }

  if (options.monitor_seconds) {
    const int monitor_exit =
        cli::RunMonitor(sources.services(), *options.monitor_seconds, std::cout, std::cerr);
    session::FinalizeFramework();
    return monitor_exit;
  }

  cli::CliHost host(/*verbose=*/false);
  gather::TGetFunctionsClass controller;
  controller.SetHost(&host);
  for (const auto& note : session::PrepareSession(options.start, sources, controller))
    std::cerr << "tavrin-cli: " << cli::TerminalText(note) << '\n';
  Gather(controller, host);
  // A collector abandoned at the time limit leaves its rows empty: say why they are.
  for (const auto& line : controller.TimedOutCollectors())
    std::cerr << "tavrin-cli: " << line << "; its rows stay empty (see --timeout)\n";

  int exit_code = kExitOk;
  if (std::string error; !sources.FinishRecording(&error)) {
    std::cerr << "tavrin-cli: cannot record: " << error << '\n';
    exit_code = kExitFailure;
  }

  if (options.report) {
    const int report_exit = cli::WriteReportCommand(controller, options, std::cout, std::cerr);
    if (report_exit != kExitOk) exit_code = report_exit;
    session::FinalizeFramework();
    return exit_code;
  }

  const cli::PageTextOptions text_options{options.explain};
  for (const pages::TSICategory& category : pages::TSICategoryList()) {
    if (!std::cout) break;  // the output is lost (full disk, closed pipe); said below
    if (!Shown(category, options)) continue;
    if (category.key == "devicesinfo" && controller.Aggregate()) {
      const pages::FillContext ctx{*controller.Aggregate(), controller.AdvancedMode(),
                                   controller.summary};
      std::cout << cli::DevicePageText(category, ctx, text_options);
      continue;
    }
    if (const pages::Page* page = controller.FindPage(category.key))
      std::cout << cli::PageText(category, *page, text_options);
  }
  if (!cli::FlushedOrSaid(std::cout, std::cerr, "standard output")) exit_code = kExitFailure;
  session::FinalizeFramework();
  return exit_code;
}
