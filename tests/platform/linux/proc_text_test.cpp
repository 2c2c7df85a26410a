#include "platform/linux/proc_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace tavrin::platform::proc {
namespace {

// A stat line with the fields after the name as proc(5) numbers them (3 = state ... 24 = rss).
std::string StatLine(std::string_view pidAndName, char state, uint64_t flags) {
  return std::string(pidAndName) + " " + state + " 1 1234 1234 0 -1 " + std::to_string(flags) +
         " 500 0 7 0 250 120 0 0 20 5 3 0 98765 104857600 2560 18446744073709551615\n";
}

TEST(ProcStatText, NamesWithBlanksAndParenthesesAndSpecialProcesses) {
  auto odd = ParseProcStat(StatLine("4242 (my (odd) prog) x)", 'S', 0));
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->pid, 4242u);
  EXPECT_EQ(odd->comm, "my (odd) prog) x") << "the name ends at the last parenthesis";
  EXPECT_EQ(odd->state, 'S');
  EXPECT_EQ(odd->parentPid, 1u);
  EXPECT_EQ(odd->minorFaults + odd->majorFaults, 507u);
  EXPECT_EQ(odd->userTicks, 250u);
  EXPECT_EQ(odd->systemTicks, 120u);
  EXPECT_EQ(odd->nice, 5);
  EXPECT_EQ(odd->threads, 3);
  EXPECT_EQ(odd->startTicks, 98765u);
  EXPECT_EQ(odd->virtualSize, 104857600u);
  EXPECT_EQ(odd->residentPages, 2560u);
  EXPECT_FALSE(odd->kernelThread());

  auto kthread = ParseProcStat(StatLine("2 (kthreadd)", 'S', 0x00208040));
  ASSERT_TRUE(kthread);
  EXPECT_TRUE(kthread->kernelThread());

  auto zombie = ParseProcStat(StatLine("77 (defunct child)", 'Z', 0));
  ASSERT_TRUE(zombie);
  EXPECT_EQ(zombie->state, 'Z');

  EXPECT_FALSE(ParseProcStat("")) << "an empty file (the process just exited)";
  EXPECT_FALSE(ParseProcStat("12 (cut short) S 1 2"));
}

TEST(ProcStatusText, OwnerGroupsSizesAndKernelThreads) {
  const auto s = ParseProcStatus(
      "Name:\tbash\nUmask:\t0022\nState:\tS (sleeping)\nUid:\t1000\t1000\t1000\t1000\n"
      "Gid:\t1000\t1000\t1000\t1000\nGroups:\t4 24 1000 \nVmPeak:\t   10000 kB\n"
      "VmSize:\t    9000 kB\nVmHWM:\t    5000 kB\nVmRSS:\t    4096 kB\nVmPTE:\t      60 kB\n"
      "VmSwap:\t       8 kB\nThreads:\t1\n");
  EXPECT_EQ(s.name, "bash");
  EXPECT_EQ(s.uid, 1000u);
  EXPECT_EQ(s.groups, (std::vector<uint32_t>{4, 24, 1000}));
  EXPECT_EQ(s.vmPeak, 10000u * 1024);
  EXPECT_EQ(s.vmSize, 9000u * 1024);
  EXPECT_EQ(s.vmHwm, 5000u * 1024);
  EXPECT_EQ(s.vmRss, 4096u * 1024);
  EXPECT_EQ(s.vmSwap, 8u * 1024);
  EXPECT_EQ(s.threads, 1);
  EXPECT_FALSE(s.capPermitted) << "no capability lines";

  const auto root = ParseProcStatus(
      "Name:\tsshd\nCapInh:\t0000000000000000\nCapPrm:\t000001ffffffffff\n"
      "CapEff:\t0000000000003000\nCapBnd:\t000001ffffffffff\n");
  EXPECT_EQ(root.capPermitted, 0x1ffffffffffull);
  EXPECT_EQ(root.capEffective, 0x3000u) << "inheritable and bounding sets are not privileges";
  EXPECT_FALSE(ParseProcStatus("CapPrm:\tzz\n").capPermitted);

  const auto kernel = ParseProcStatus("Name:\tkworker/0:1\nUid:\t0\t0\t0\t0\nThreads:\t1\n");
  EXPECT_EQ(kernel.name, "kworker/0:1");
  EXPECT_FALSE(kernel.vmRss) << "kernel threads have no memory of their own";
  EXPECT_EQ(ParseStatmResident("2300 512 300 10 0 400 0\n"), 512u);
  EXPECT_FALSE(ParseStatmResident(""));
}

TEST(ProcIoText, CountersAndAnUnreadableFile) {
  auto io = ParseProcIo(
      "rchar: 4000\nwchar: 3000\nsyscr: 40\nsyscw: 30\nread_bytes: 8192\nwrite_bytes: 0\n"
      "cancelled_write_bytes: 0\n");
  ASSERT_TRUE(io);
  EXPECT_EQ(io->readOperations, 40u);
  EXPECT_EQ(io->writeOperations, 30u);
  EXPECT_EQ(io->readBytes, 4000u);
  EXPECT_EQ(io->writeBytes, 3000u);
  EXPECT_FALSE(ParseProcIo("")) << "another user's io file reads as nothing";
}

TEST(MemInfoText, StatusFromTheSummary) {
  const char* text =
      "MemTotal:       24683784 kB\nMemFree:        18553732 kB\nMemAvailable:   22311800 kB\n"
      "Buffers:           36080 kB\nCached:          3614816 kB\nSwapTotal:       8388604 kB\n"
      "SwapFree:        8000000 kB\nCommitLimit:    20730496 kB\nCommitted_AS:    5121212 kB\n";
  const MemoryStatus s = MemoryStatusFromMemInfo(ParseMemInfo(text));
  EXPECT_EQ(s.physicalTotal, 24683784ull * 1024) << "more than 4 GB is kept whole";
  EXPECT_EQ(s.physicalFree, 22311800ull * 1024);
  EXPECT_EQ(s.swapTotal, 8388604ull * 1024);
  EXPECT_EQ(s.swapFree, 8000000ull * 1024);
  EXPECT_EQ(s.commitLimit, 20730496ull * 1024);
  EXPECT_EQ(s.committed, 5121212ull * 1024);
  EXPECT_EQ(s.memoryLoad, 10u) << "9.6 % rounds to 10";

  // Before MemAvailable existed: free, buffers and page cache stand in for it.
  const MemoryStatus old = MemoryStatusFromMemInfo(
      ParseMemInfo("MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 100 kB\n"));
  EXPECT_EQ(old.physicalFree, 250u * 1024);
  EXPECT_EQ(old.memoryLoad, 75u);
  EXPECT_EQ(old.swapTotal, 0u);
  EXPECT_FALSE(ParseMemInfo("garbage\n").memTotal);
}

TEST(ProcessorTimesText, IdleAndWaitInHundredNanosecondsPerProcessor) {
  const char* text =
      "cpu  100 0 50 9000 100 0 0 0 0 0\n"
      "cpu0 50 0 25 4500 50 0 0 0 0 0\n"
      "cpu2 50 0 25 4400 50 0 0 0 0 0\n"
      "intr 12345\nbtime 1765000000\n";
  const CpuTimes t = ParseCpuTimes(text, 100);
  EXPECT_EQ(t.bootTime, 1765000000);
  ASSERT_EQ(t.idle.size(), 2u) << "the sum line is no processor; processor 1 is offline";
  EXPECT_EQ(t.idle[0].processor, 0u);
  EXPECT_EQ(t.idle[0].idle, 4550 * 100'000) << "one tick of 1/100 s is 100 000 units";
  EXPECT_EQ(t.idle[1].processor, 2u);
  EXPECT_EQ(t.idle[1].idle, 4450 * 100'000);
  EXPECT_EQ(ParseCpuTimes("cpu0 1 2 3 4\n", 250).idle.at(0).idle, 4 * 40'000) << "no iowait column";
  EXPECT_EQ(ParseCpuTimes("cpu0 1 0 2560 184467440737690 0\n", 100).idle.at(0).idle,
            std::numeric_limits<int64_t>::max())
      << "a damaged count beyond 64 bits of 100 ns units is capped";
}

TEST(AuxVectorAndAddressSpace, PageSizeClockAndTop) {
  uint64_t words[] = {6, 4096, 17, 100, 0, 0, 6, 1};
  const std::string bytes(reinterpret_cast<const char*>(words), sizeof words);
  const AuxVector aux = ParseAuxVector(bytes);
  EXPECT_EQ(aux.pageSize, 4096u);
  EXPECT_EQ(aux.clockTicks, 100u);
  EXPECT_FALSE(ParseAuxVector("short").pageSize);

  const char* maps =
      "55d0c0000000-55d0c0021000 r--p 00000000 08:01 123 /usr/bin/cat\n"
      "7ffd1c000000-7ffd1c021000 rw-p 00000000 00:00 0                          [stack]\n"
      "ffffffffff600000-ffffffffff601000 --xp 00000000 00:00 0                  [vsyscall]\n";
  EXPECT_EQ(UserAddressSpaceTop(maps), uint64_t{1} << 47)
      << "the kernel's vsyscall page is no part";
  EXPECT_FALSE(UserAddressSpaceTop(""));
}

TEST(ModuleMapsText, OneModulePerFileWithBlanksAndDeletedFiles) {
  const char* maps =
      "00400000-00452000 r-xp 00000000 08:02 173521 /usr/bin/dbus-daemon\n"
      "00651000-00652000 r--p 00051000 08:02 173521 /usr/bin/dbus-daemon\n"
      "00e03000-00e24000 rw-p 00000000 00:00 0                                  [heap]\n"
      "35b1800000-35b1820000 r-xp 00000000 08:02 135522 /opt/My App/lib one.so\n"
      "7f0000000000-7f0000001000 r--s 00000000 00:05 99 /memfd:x (deleted)\n"
      "7f0000002000-7f0000003000 r--p 00000000 08:02 77 /tmp/old.so (deleted)\n";
  const auto modules = ParseModuleMaps(maps);
  ASSERT_EQ(modules.size(), 3u);
  EXPECT_EQ(modules[0].name, "dbus-daemon");
  EXPECT_EQ(modules[0].base, 0x400000u);
  EXPECT_EQ(modules[0].size, 0x52000u + 0x1000u);
  EXPECT_EQ(modules[1].path, "/opt/My App/lib one.so");
  EXPECT_EQ(modules[1].name, "lib one.so");
  EXPECT_EQ(modules[2].path, "/tmp/old.so");
}

TEST(SmallProcTexts, CommandLineAccountsModuleFilesAndUnitFiles) {
  EXPECT_EQ(ParseCommandLine(std::string("/bin/sh\0-c\0echo hi\0", 20)), "/bin/sh -c echo hi");
  EXPECT_EQ(ParseCommandLine(""), "") << "kernel threads and zombies have none";

  const auto users = ParseAccountNames(
      "root:x:0:0:root:/root:/bin/bash\n# note\n"
      "daemon:x:1:1::/:/usr/sbin/nologin\ntoor:x:0:0::/:/bin/sh\n");
  EXPECT_EQ(users.at(0), "root") << "the first name of an id wins";
  EXPECT_EQ(users.at(1), "daemon");

  const auto files = ParseModuleFiles(
      "kernel/drivers/net/e1000e/e1000e.ko.zst: kernel/drivers/ptp/ptp.ko.zst\n"
      "kernel/sound/snd-hda-intel.ko:\n");
  EXPECT_EQ(files.at("e1000e"), "kernel/drivers/net/e1000e/e1000e.ko.zst");
  EXPECT_EQ(files.at("snd_hda_intel"), "kernel/sound/snd-hda-intel.ko");

  const UnitFile unit = ParseUnitFile(
      "[Unit]\nDescription=OpenBSD Secure Shell server\nRequires=a.socket  b.service\n"
      "[Service]\nType=notify\nExecStartPre=/usr/sbin/sshd -t\n"
      "ExecStart=-/usr/sbin/sshd -D $SSHD_OPTS\nExecStart=/second\nUser=sshd\n");
  EXPECT_EQ(unit.description, "OpenBSD Secure Shell server");
  EXPECT_EQ(unit.execStart, "/usr/sbin/sshd") << "prefix and arguments removed, first wins";
  EXPECT_EQ(unit.user, "sshd");
  EXPECT_EQ(unit.required, "a.socket b.service");
  EXPECT_EQ(ParseUnitFile("ExecStart=@\"/opt/my tool/run\" x\n").execStart, "/opt/my tool/run");
}

}  // namespace
}  // namespace tavrin::platform::proc
