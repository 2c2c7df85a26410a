#include <gtest/gtest.h>

#include <fstream>

#include "platform/live_monitor_json.h"
#include "platform/recorded/recorded_live_monitor.h"
#include "platform/recording/recording_live_monitor.h"
#include "tests/support/fake_process_service.h"
#include "tests/support/test_services.h"

namespace tavrin::platform {
namespace {

TEST(LiveMonitorSnapshot, RecordedListsReplayAsAnswered) {
  auto fake = std::make_shared<testing::FakeProcessService>();
  ProcessRecord p;
  p.pid = 7;
  p.parentPid = 1;
  p.name = "tool";
  p.imageName = "/bin/tool";
  p.userName = "ann";
  p.userId = 1000;
  p.state = 'S';
  p.threadCount = 2;
  p.handleCount = 5;
  p.memory = ProcessMemory{};
  p.memory->workingSet = 1ull << 33;  // more than 32 bits survive
  p.io = ProcessIo{1, 2, 3, 4, 5, 6};
  p.modules = {{"libc.so.6", "/lib/libc.so.6", 4096, 0x7f00}};
  p.threads = {{7, 7, 0, 0}, {7, 8, 0, 0}};
  p.groups = {{"1000", "ann"}};
  p.unreadable = {"io: Permission denied"};
  p.capabilitiesPermitted = 0x1ffffffffffull;  // beyond 32 bits too
  fake->processes = {p};
  fake->drivers = {{"e1000e", "kernel/e1000e.ko", "3.2", "live", 2, 1000}};
  ServiceRecord ssh;
  ssh.name = "ssh.service";
  ssh.displayName = "SSH";
  ssh.startup = ServiceStart::kAutomatic;
  ssh.status = ServiceState::kRunning;
  ssh.processId = 99;
  fake->services = {ssh};
  fake->windows = {{42, "Terminal"}};
  fake->idle = {{0, 1}};

  ServiceRecordings recordings;
  auto recording = RecordProcesses(fake, recordings);
  ASSERT_EQ(recordings.size(), 1u);
  recording->Processes();
  recording->Drivers();
  recording->Services();
  recording->Windows();
  testing::TempDir dir;
  std::string error;
  ASSERT_TRUE(recordings[0]->Finish(dir.path(), &error)) << error;

  std::ifstream in(dir.path() / kProcessesFile);
  auto replayed = MakeRecordedProcessService(nlohmann::json::parse(in));
  auto processes = replayed->Processes();
  ASSERT_TRUE(processes) << processes.source.Explain();
  ASSERT_EQ(processes->size(), 1u);
  const ProcessRecord& r = processes->at(0);
  EXPECT_EQ(r.name, "tool");
  EXPECT_EQ(r.userId, 1000u);
  EXPECT_EQ(r.handleCount, 5);
  EXPECT_EQ(r.memory->workingSet, 1ull << 33);
  EXPECT_EQ(r.io->otherBytes, 6u);
  EXPECT_EQ(r.modules.at(0).base, 0x7f00u);
  EXPECT_EQ(r.threads.at(1).threadId, 8u);
  EXPECT_EQ(r.groups.at(0).name, "ann");
  EXPECT_EQ(r.unreadable, p.unreadable);
  EXPECT_EQ(r.capabilitiesPermitted, p.capabilitiesPermitted);
  EXPECT_FALSE(r.capabilitiesEffective) << "an unread set stays unknown";
  EXPECT_EQ(replayed->Drivers()->at(0).version, "3.2");
  EXPECT_EQ(replayed->Services()->at(0).status, ServiceState::kRunning);
  EXPECT_EQ(replayed->Services()->at(0).processId, 99u);
  EXPECT_EQ(replayed->Windows()->at(0).title, "Terminal");
  EXPECT_FALSE(replayed->IdleTimes()) << "a snapshot is never sampled";
}

TEST(LiveMonitorSnapshot, MissingAndDamagedEntriesSayWhy) {
  auto replayed = MakeRecordedProcessService(nlohmann::json::parse(
      R"({"processes": {"status": "permission denied", "source": "/proc", "detail": "hidepid"},
          "drivers": {"status": "ok", "source": "/sys/module", "value": [{"name": 5}, "x"]}})"));
  auto processes = replayed->Processes();
  EXPECT_FALSE(processes);
  EXPECT_EQ(processes.source.status, Status::PermissionDenied);
  auto drivers = replayed->Drivers();
  ASSERT_TRUE(drivers);
  ASSERT_EQ(drivers->size(), 1u) << "a record keeps what it can; a non-object is skipped";
  EXPECT_EQ(drivers->at(0).name, "");
  EXPECT_EQ(replayed->Services().source.status, Status::NotSupported);
}

}  // namespace
}  // namespace tavrin::platform
