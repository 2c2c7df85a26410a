// tavrin-cli: the information pages of this machine, or of a recorded snapshot, as text.
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>

#include "session/framework.h"
#include "text/label_wording.h"
#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/device_page_text.h"
#include "cli/page_text.h"
#include "cli/report_command.h"
#include "gather/controller.h"
#include "platform/linux/live_services.h"
#include "platform/recorded/snapshot.h"
#include "platform/recording/recorder.h"
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
  return options.advanced || !category.advancedOnly;
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
  if (options.help) {
    std::cout << cli::CliUsage();
    return kExitOk;
  }
  if (options.version) {
    std::cout << "tavrin-cli " TAVRIN_VERSION "\n";
    return kExitOk;
  }

  session::InitializeFramework(argc, argv);

  std::optional<platform::Services> services;
  std::unique_ptr<platform::SnapshotRecorder> recorder;
  if (options.replay_dir) {
    platform::SnapshotOpen opened = platform::OpenSnapshot(*options.replay_dir);
    if (!opened.services) {
      std::cerr << "tavrin-cli: cannot replay " << opened.error << '\n';
      session::FinalizeFramework();
      return kExitFailure;
    }
    for (const auto& warning : opened.warnings) std::cerr << "tavrin-cli: " << warning << '\n';
    services = std::move(opened.services);
  } else if (options.record_dir) {
    try {
      recorder = std::make_unique<platform::SnapshotRecorder>(*options.record_dir,
                                                              platform::MakeLiveServices());
    } catch (const std::runtime_error& e) {
      std::cerr << "tavrin-cli: cannot record: " << e.what() << '\n';
      session::FinalizeFramework();
      return kExitFailure;
    }
    services = recorder->services();
  } else {
    services = platform::MakeLiveServices();
  }

  cli::CliHost host(/*verbose=*/false);
  auto shared_services = std::make_shared<const platform::Services>(std::move(*services));
  // Pages about a Linux machine say what the values are there, not what Windows calls them.
  text::ApplyPlatformWording(text::DescribesLinux(*shared_services));
  gather::TGetFunctionsClass controller;
  controller.SetHost(&host);
  controller.SetAggregate(std::make_shared<collectors::TVexa_SystemInfo>(shared_services));
  controller.SetAdvancedMode(options.advanced);
  controller.SetCollectorTimeLimit(options.collector_limit);
  Gather(controller, host);

  int exit_code = kExitOk;
  if (recorder) {
    std::string error;
    if (!recorder->Finish(&error)) {
      std::cerr << "tavrin-cli: cannot record: " << error << '\n';
      exit_code = kExitFailure;
    }
  }

  if (options.report) {
    const int report_exit = cli::WriteReportCommand(controller, options, std::cout, std::cerr);
    if (report_exit != kExitOk) exit_code = report_exit;
    session::FinalizeFramework();
    return exit_code;
  }

  const cli::PageTextOptions text_options{options.explain};
  for (const pages::TSICategory& category : pages::TSICategoryList()) {
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
  std::cout.flush();
  session::FinalizeFramework();
  return exit_code;
}
