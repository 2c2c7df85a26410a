#include <gtest/gtest.h>

#include <algorithm>

#include "collectors/os/vsi_startup.h"

#include "gather/controller.h"
#include "pages/categories.h"
#include "pages/fillers.h"
#include "pages/memory_rows.h"
#include "pages/page_layouts.h"
#include "platform/linux/linux_memory_status.h"
#include "platform/software_probes.h"
#include "tests/support/fake_process_service.h"
#include "tests/support/test_services.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using platform::ProcessRecord;
using platform::ServiceRecord;
using platform::ServiceStart;
using platform::ServiceState;

TZuSectionItem RowCarrying(int kilobytes) {
  TZuSectionItem row;
  row.Data = kilobytes;
  return row;
}

ProcessRecord Process(uint32_t pid, std::string name, std::string image, int32_t threads) {
  ProcessRecord p;
  p.pid = pid;
  p.name = std::move(name);
  p.imageName = std::move(image);
  p.kernelThread = p.imageName.empty() && pid != 0;
  p.threadCount = threads;
  p.memory = platform::ProcessMemory{};
  return p;
}

ServiceRecord Service(std::string shown, ServiceStart start, ServiceState state,
                      std::string image = {}) {
  ServiceRecord s;
  s.name = shown + ".service";
  s.displayName = std::move(shown);
  s.imageName = std::move(image);
  s.startup = start;
  s.status = state;
  return s;
}

TEST(MemoryPageRules, ListOrderSwapScaleAndSwapLoad) {
  const TZuSectionItem small = RowCarrying(10), large = RowCarrying(2048), service = RowCarrying(0);
  EXPECT_EQ(CompareMemoryRows(small, large), -1);
  EXPECT_EQ(CompareMemoryRows(large, small), 1);
  EXPECT_EQ(CompareMemoryRows(small, small), 0);
  EXPECT_EQ(CompareMemoryRows(service, small), -1) << "services and unknown sizes sort as 0";

  const int64_t mb = 1024 * 1024;
  EXPECT_EQ(SwapHistoryScale(1024 * mb).top, 1024);
  EXPECT_EQ(SwapHistoryScale(1024 * mb).unit, lbl::S_COUNT_MB);
  EXPECT_EQ(SwapHistoryScale(1025 * mb).top, 1);
  EXPECT_EQ(SwapHistoryScale(1025 * mb).unit, lbl::S_COUNT_GB);
  EXPECT_EQ(SwapHistoryScale(3000 * mb).top, 2);
  EXPECT_EQ(SwapHistoryScale(0).top, 0);

  EXPECT_EQ(SwapLoadPercent(0, 0), std::nullopt) << "no swap space: no load";
  EXPECT_EQ(SwapLoadPercent(1000, 1000), 0u);
  EXPECT_EQ(SwapLoadPercent(1000, 333), 67u) << "free share truncated to 33 %";
  EXPECT_EQ(InstalledMemoryText(24683784ull * 1024), "24105 MB");
}

class MemoryPages : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("proc/meminfo",
               "MemTotal: 8388608 kB\nMemAvailable: 2097152 kB\nSwapTotal: 1048576 kB\n"
               "SwapFree: 524288 kB\nCommitLimit: 5242880 kB\nCommitted_AS: 4194304 kB\n");
    ProcessRecord shell = Process(40, "bash", "/usr/bin/bash", 1);
    shell.memory->workingSet = 5 * 1024 * 1024;
    shell.handleCount = 4;
    fake_->processes = {Process(0, "", "", 4), Process(2, "kthreadd", "", 1), shell};
    fake_->services = {
        Service("Secure Shell", ServiceStart::kAutomatic, ServiceState::kRunning, "/usr/sbin/sshd"),
        Service("Cron", ServiceStart::kAutomatic, ServiceState::kStopped),
        Service("Odd", ServiceStart::kManual, ServiceState::kUnknown),
        Service("Starting", ServiceStart::kManual, ServiceState::kStartPending),
    };
    platform::DriverRecord module;
    module.name = "e1000e";
    module.state = "live";
    fake_->drivers = {module};
    auto services = std::make_shared<platform::Services>(*testing::MakeTestServices(dir_.path()));
    services->processes = fake_;
    services->memory = platform::MakeLinuxMemoryStatus(services->files, false);
    services->software = platform::MakeLinuxSoftwareService(
        services->files, platform::MakeLiveSoftwareProbes(dir_.path()), "/home/ann");
    aggregate_ = std::make_shared<collectors::TVexa_SystemInfo>(services);
    controller_.SetAggregate(aggregate_);
    aggregate_->Refresh<collectors::TVexa_ProcessList>(std::chrono::seconds(10));
    aggregate_->Refresh<collectors::TVexa_Memory>(std::chrono::seconds(10));
  }
  const Page& Fill(const char* key) {
    controller_.FillCategory(*FindCategory(key), nullptr);
    return *controller_.FindPage(key);
  }

  testing::TempDir dir_;
  std::shared_ptr<testing::FakeProcessService> fake_ =
      std::make_shared<testing::FakeProcessService>();
  std::shared_ptr<collectors::TVexa_SystemInfo> aggregate_;
  gather::TGetFunctionsClass controller_;
};

TEST_F(MemoryPages, ProcessesRunningServicesAndStatus) {
  const Page& page = Fill("memoryinfo");
  const auto& processes = page.Sections()[memory_section::kProcesses].Items;
  ASSERT_EQ(processes.size(), 2u) << "kernel threads are not listed";
  EXPECT_EQ(processes[0].Caption, "[System Idle Process]") << "a nameless identifier 0";
  EXPECT_EQ(processes[0].SubItems[1], lbl::S_MEM_SYSTEM_PROCESS) << "no image: a system process";
  EXPECT_EQ(processes[1].Caption, "bash");
  EXPECT_EQ(processes[1].Data, 5 * 1024) << "rows carry the working set in kilobytes";
  EXPECT_EQ(processes[1].SubItems[1], "/usr/bin/bash");
  ASSERT_TRUE(processes[1].quantity);
  EXPECT_EQ(processes[1].quantity->number, (Quantity::Of(5u << 20, QuantityUnit::kBytes).number));

  const auto& services = page.Sections()[memory_section::kServices].Items;
  ASSERT_EQ(services.size(), 2u) << "stopped and unreadable services are not listed";
  EXPECT_EQ(services[0].Caption, "Secure Shell");
  EXPECT_EQ(services[0].Data, 0);
  EXPECT_EQ(services[1].Caption, "Starting");

  const auto& status = page.Sections()[memory_section::kStatus].Items;
  ASSERT_GE(status.size(), 5u);
  EXPECT_EQ(status[0].Caption, lbl::S_MEM_PHYS_TOTAL);
  EXPECT_EQ(status[0].SubItems[0], " 8192 MB");
  EXPECT_EQ(status[2].quantity, Quantity::Of(75, QuantityUnit::kPercent));
  EXPECT_EQ(status[3].quantity, Quantity::Of(1ull << 30, QuantityUnit::kBytes)) << "swap total";
}

TEST_F(MemoryPages, PerformanceCountsAndInstalledMemoryEverywhere) {
  const auto& easy = Fill("performinfo").Sections();
  ASSERT_EQ(easy[perf_section::kApplications].Items.size(), 1u) << "threads and handles: advanced";
  EXPECT_EQ(easy[perf_section::kApplications].Items[0].SubItems[0], " 3");
  const auto& services = easy[perf_section::kServices].Items;
  ASSERT_EQ(services.size(), 3u);
  EXPECT_EQ(services[0].SubItems[0], " 4");
  EXPECT_EQ(services[1].SubItems[0], " 2") << "running: any state from 2 on";
  EXPECT_EQ(services[2].SubItems[0], " 2") << "started with the system";
  EXPECT_EQ(easy[perf_section::kDrivers].Items.at(0).SubItems[0], " 1");

  controller_.SetAdvancedMode(true);
  const auto& advanced = Fill("performinfo").Sections()[perf_section::kApplications].Items;
  ASSERT_EQ(advanced.size(), 3u);
  EXPECT_EQ(advanced[1].Caption, lbl::S_PERF_THREADS);
  EXPECT_EQ(advanced[1].SubItems[0], " 6");
  EXPECT_EQ(advanced[2].SubItems[0], " 4");

  const auto& general = Fill("generalinfo");
  bool installed = false;
  for (const auto& section : general.Sections())
    for (const auto& row : section.Items)
      if (row.Caption == lbl::S_GEN_INSTALLED) installed = row.SubItems[0] == " 8192 MB";
  EXPECT_TRUE(installed);
  EXPECT_EQ(controller_.summary.installed_memory, "8192 MB") << "the report header's text";

  // Start-up entries count beside the processes; a Linux system has no browser helper objects.
  dir_.Write("etc/xdg/autostart/clock.desktop", "[Desktop Entry]\nType=Application\nExec=clock\n");
  aggregate_->Refresh<collectors::TVexa_Startup>(std::chrono::seconds(10));
  const auto& withStartup = Fill("performinfo").Sections()[perf_section::kApplications].Items;
  std::vector<std::string> captions;
  for (const auto& row : withStartup) captions.push_back(row.Caption);
  EXPECT_NE(std::find(captions.begin(), captions.end(), lbl::S_PERF_STARTUP), captions.end());
  EXPECT_EQ(std::find(captions.begin(), captions.end(), lbl::S_PERF_BHO), captions.end());

  // Read from unit files, no service has a state: the running count is not known, not 0.
  fake_->services = {Service("Cron", ServiceStart::kAutomatic, ServiceState::kUnknown)};
  aggregate_->Refresh<collectors::TVexa_ProcessList>(std::chrono::seconds(10));
  controller_.SetAdvancedMode(false);
  const auto& unknown = Fill("performinfo").Sections()[perf_section::kServices].Items;
  ASSERT_EQ(unknown.size(), 3u);
  EXPECT_EQ(unknown[1].SubItems[0], " " + lbl::S_NA);
  EXPECT_NE(unknown[1].SubItems[1].find("service manager"), std::string::npos);
  EXPECT_EQ(unknown[2].SubItems[0], " 1") << "start types are in the unit files";
}

}  // namespace
}  // namespace tavrin::pages
