#include "platform/linux/linux_processes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/linux/linux_memory_status.h"
#include "tests/support/test_services.h"

namespace tavrin::platform {
namespace {

using testing::TempDir;

std::string Stat(int pid, std::string_view name, char state, uint64_t flags, int threads) {
  return std::to_string(pid) + " (" + std::string(name) + ") " + state + " 1 1 1 0 -1 " +
         std::to_string(flags) + " 10 0 2 0 100 50 0 0 20 0 " + std::to_string(threads) +
         " 0 500 8192000 100 18446744073709551615\n";
}

// A process file system of four processes: an ordinary one whose io file another user may not
// read, a zombie, a kernel thread, and one that exits between the listing and its reading.
class ProcTree : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("proc/stat", "cpu  1 2 3 4\ncpu0 1 2 3 4 5\nbtime 1700000000\n");
    uint64_t aux[] = {6, 4096, 17, 100, 0, 0};
    dir_.Write("proc/self/auxv", std::string(reinterpret_cast<const char*>(aux), sizeof aux));
    dir_.Write("etc/passwd", "root:x:0:0::/root:/bin/sh\nann:x:1000:1000::/home/ann:/bin/sh\n");
    dir_.Write("etc/group", "root:x:0:\nann:x:1000:\n");

    dir_.Write("proc/100/stat", Stat(100, "my (tool) 2", 'S', 0, 2));
    dir_.Write("proc/100/status",
               "Name:\tmy (tool) 2\nUid:\t1000\t1000\t1000\t1000\nGroups:\t1000\n"
               "VmRSS:\t  2048 kB\nVmHWM:\t  4096 kB\n");
    dir_.Write("proc/100/cmdline", std::string("/opt/tool/my (tool) 2\0--go\0", 28));
    dir_.Write("proc/100/maps", "00400000-00401000 r-xp 00000000 08:01 5 /opt/tool/my (tool) 2\n");
    dir_.Write("proc/100/task/100/stat", "");
    // The second thread was made nicer than the process.
    std::string nicer = Stat(101, "worker", 'S', 0, 2);
    nicer.replace(nicer.find(" 20 0 "), 6, " 25 5 ");
    dir_.Write("proc/100/task/101/stat", nicer);
    dir_.Write("proc/100/fd/.keep", "");
    std::filesystem::create_symlink("/opt/tool/my (tool) 2", dir_.path() / "proc/100/exe");
    // No io file: it reads as unreadable, the rest of the record stays.

    dir_.Write("proc/200/stat", Stat(200, "defunct", 'Z', 0, 1));
    dir_.Write("proc/200/status", "Name:\tdefunct\nUid:\t0\t0\t0\t0\n");
    dir_.Write("proc/200/io", "rchar: 7\nwchar: 8\nsyscr: 1\nsyscw: 2\n");

    dir_.Write("proc/3/stat", Stat(3, "kworker/0:0", 'I', 0x00208040, 1));
    dir_.Write("proc/3/status", "Name:\tkworker/0:0\nUid:\t0\t0\t0\t0\n");

    dir_.Write("proc/300/cmdline", "gone");  // its stat has vanished: it exited
    dir_.Write("proc/self/status", "Name:\ttavrin\n");
  }
  TempDir dir_;
};

TEST_F(ProcTree, EachRecordKeepsWhatCouldBeRead) {
  FileReader files(dir_.path());
  auto answer = ReadLinuxProcesses(files, /*live=*/false);
  ASSERT_TRUE(answer) << answer.source.Explain();
  const auto& list = *answer;
  ASSERT_EQ(list.size(), 3u) << "the process that exited is left out";
  EXPECT_EQ(list[0].pid, 3u) << "in process order";
  EXPECT_EQ(list[1].pid, 100u);
  EXPECT_EQ(list[2].pid, 200u);

  const ProcessRecord& kernel = list[0];
  EXPECT_TRUE(kernel.kernelThread);
  EXPECT_EQ(kernel.name, "kworker/0:0");
  EXPECT_TRUE(kernel.imageName.empty());
  EXPECT_EQ(kernel.userName, "root");

  const ProcessRecord& tool = list[1];
  EXPECT_EQ(tool.name, "my (tool) 2");
  EXPECT_EQ(tool.imageName, "/opt/tool/my (tool) 2");
  EXPECT_EQ(tool.commandLine, "/opt/tool/my (tool) 2 --go");
  EXPECT_EQ(tool.userName, "ann");
  ASSERT_EQ(tool.groups.size(), 1u);
  EXPECT_EQ(tool.groups[0].name, "ann");
  EXPECT_EQ(tool.threadCount, 2);
  ASSERT_EQ(tool.threads.size(), 2u);
  EXPECT_EQ(tool.threads[1].threadId, 101u);
  EXPECT_EQ(tool.threads[1].basePriority, 5) << "a thread's own nice value";
  EXPECT_EQ(tool.threads[0].basePriority, tool.priority) << "an unreadable thread: the process's";
  EXPECT_EQ(tool.handleCount, 1);
  ASSERT_TRUE(tool.memory);
  EXPECT_EQ(tool.memory->workingSet, 2048u * 1024);
  EXPECT_EQ(tool.memory->peakWorkingSet, 4096u * 1024);
  EXPECT_EQ(tool.memory->pageFaultCount, 12u);
  EXPECT_EQ(tool.userTime, 100 * 100'000);
  EXPECT_EQ(tool.createTime, 1700000000LL * 10'000'000 + 500 * 100'000);
  EXPECT_FALSE(tool.io);
  ASSERT_EQ(tool.modules.size(), 1u);
  bool ioNoted = false;
  for (const auto& note : tool.unreadable) ioNoted = ioNoted || note.starts_with("io:");
  EXPECT_TRUE(ioNoted);

  const ProcessRecord& zombie = list[2];
  EXPECT_EQ(zombie.state, 'Z');
  EXPECT_EQ(zombie.name, "defunct") << "a zombie has no executable left";
  ASSERT_TRUE(zombie.io);
  EXPECT_EQ(zombie.io->readBytes, 7u);
}

TEST_F(ProcTree, IdleTimesAndMemoryStatus) {
  dir_.Write("proc/meminfo",
             "MemTotal: 2048 kB\nMemAvailable: 1024 kB\nSwapTotal: 0 kB\n"
             "SwapFree: 0 kB\n");
  dir_.Write("proc/sys/vm/mmap_min_addr", "65536\n");
  dir_.Write("proc/self/maps", "7ffd1c000000-7ffd1c021000 rw-p 00000000 00:00 0 [stack]\n");
  dir_.Write("proc/self/status", "Name:\ttavrin\nVmSize:\t1024 kB\n");
  auto files = std::make_shared<FileReader>(dir_.path());
  auto idle = MakeLinuxProcessService(files, false)->IdleTimes();
  ASSERT_TRUE(idle);
  ASSERT_EQ(idle->size(), 1u);
  EXPECT_EQ(idle->at(0).idle, 9 * 100'000);

  auto status = MakeLinuxMemoryStatus(files, false)->Status();
  ASSERT_TRUE(status) << status.source.Explain();
  EXPECT_EQ(status->physicalTotal, 2048u * 1024);
  EXPECT_EQ(status->memoryLoad, 50u);
  EXPECT_EQ(status->pageSize, 4096u);
  EXPECT_EQ(status->minAppAddress, 65536u);
  EXPECT_EQ(status->maxAppAddress, (uint64_t{1} << 47) - 4096 - 1);
  EXPECT_EQ(status->virtualTotal, (uint64_t{1} << 47) - 4096 - 65536);
  EXPECT_EQ(status->virtualFree, status->virtualTotal - 1024 * 1024);
}

TEST(KernelModulesTree, LoadedAndBuiltInModulesFromSysModule) {
  TempDir dir;
  dir.Write("proc/sys/kernel/osrelease", "6.1.0-test\n");
  dir.Write("lib/modules/6.1.0-test/modules.dep", "kernel/net/e1000e.ko: \n");
  dir.Write("sys/module/e1000e/initstate", "live\n");
  dir.Write("sys/module/e1000e/refcnt", "2\n");
  dir.Write("sys/module/e1000e/coresize", "350000\n");
  dir.Write("sys/module/e1000e/version", "3.2.6-k\n");
  dir.Write("sys/module/printk/parameters/time", "Y\n");
  FileReader files(dir.path());
  auto drivers = ReadLinuxKernelModules(files);
  ASSERT_TRUE(drivers);
  ASSERT_EQ(drivers->size(), 2u);
  EXPECT_EQ(drivers->at(0).name, "e1000e");
  EXPECT_EQ(drivers->at(0).state, "live");
  EXPECT_EQ(drivers->at(0).loadCount, 2);
  EXPECT_EQ(drivers->at(0).size, 350000u);
  EXPECT_EQ(drivers->at(0).version, "3.2.6-k");
  EXPECT_EQ(drivers->at(0).file, "kernel/net/e1000e.ko");
  EXPECT_EQ(drivers->at(1).state, "built-in");

  TempDir procOnly;
  procOnly.Write("proc/modules", "snd 90112 3 snd_pcm, Live 0x0000000000000000\n");
  auto fromProc = ReadLinuxKernelModules(FileReader(procOnly.path()));
  ASSERT_TRUE(fromProc);
  ASSERT_EQ(fromProc->size(), 1u);
  EXPECT_EQ(fromProc->at(0).state, "live");
  EXPECT_EQ(fromProc->at(0).loadCount, 3);
}

TEST(UnitFilesTree, ServicesWithStartTypeAliasesMasksAndTemplates) {
  TempDir dir;
  dir.Write("lib/systemd/system/ssh.service",
            "[Unit]\nDescription=Secure Shell\n[Service]\nExecStart=/usr/sbin/sshd -D\n");
  dir.Write("lib/systemd/system/cron.service", "[Service]\nExecStart=/usr/sbin/cron -f\n");
  dir.Write("lib/systemd/system/getty@.service", "[Service]\nExecStart=/sbin/agetty\n");
  dir.Write("lib/systemd/system/bad.service", "[Service]\nExecStart=/bin/false\n");
  std::filesystem::create_directories(dir.path() / "etc/systemd/system/multi-user.target.wants");
  std::filesystem::create_symlink(
      "/lib/systemd/system/ssh.service",
      dir.path() / "etc/systemd/system/multi-user.target.wants/ssh.service");
  std::filesystem::create_symlink("/lib/systemd/system/ssh.service",
                                  dir.path() / "etc/systemd/system/sshd.service");
  std::filesystem::create_symlink("/dev/null", dir.path() / "etc/systemd/system/bad.service");
  auto services = ReadUnitFiles(FileReader(dir.path()));
  ASSERT_TRUE(services);
  ASSERT_EQ(services->size(), 3u) << "no template, and the alias is no unit of its own";
  const ServiceRecord& bad = services->at(0);
  EXPECT_EQ(bad.name, "bad.service");
  EXPECT_EQ(bad.startup, ServiceStart::kDisabled) << "masked";
  const ServiceRecord& cron = services->at(1);
  EXPECT_EQ(cron.displayName, "cron.service") << "no description: the name";
  EXPECT_EQ(cron.startup, ServiceStart::kManual);
  EXPECT_EQ(cron.status, ServiceState::kUnknown) << "without the manager nothing tells";
  const ServiceRecord& ssh = services->at(2);
  EXPECT_EQ(ssh.displayName, "Secure Shell");
  EXPECT_EQ(ssh.imageName, "/usr/sbin/sshd");
  EXPECT_EQ(ssh.startup, ServiceStart::kAutomatic);
}

}  // namespace
}  // namespace tavrin::platform
