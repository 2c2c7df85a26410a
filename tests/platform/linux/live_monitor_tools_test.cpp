// The live services against the system's own tools on this machine, each compared only where
// the tool (or its source) exists.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/linux/linux_memory_status.h"
#include "platform/linux/linux_processes.h"

namespace tavrin::platform {
namespace {

std::optional<std::string> Output(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>/dev/null").c_str(), "r"),
                                             pclose);
  if (!pipe) return std::nullopt;
  std::string out;
  char buffer[4096];
  while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe.get())) out.append(buffer, n);
  if (pclose(pipe.release()) != 0) return std::nullopt;
  return out;
}

bool HasTool(const char* name) {
  return Output(std::string("command -v ") + name).has_value();
}

std::shared_ptr<const FileReader> Machine() {
  return std::make_shared<FileReader>("/");
}

TEST(LiveMonitorOnThisMachine, MemoryAgreesWithMeminfoAndFree) {
  auto status = MakeLinuxMemoryStatus(Machine(), true)->Status();
  ASSERT_TRUE(status) << status.source.Explain();
  uint64_t memTotalKb = 0;
  std::ifstream meminfo("/proc/meminfo");
  for (std::string key; meminfo >> key;) {
    if (key == "MemTotal:") {
      meminfo >> memTotalKb;
      break;
    }
    std::getline(meminfo, key);
  }
  EXPECT_EQ(status->physicalTotal, memTotalKb * 1024);
  EXPECT_GT(status->pageSize, 0u);
  EXPECT_LE(status->memoryLoad, 100u);
  if (!HasTool("free")) GTEST_SKIP() << "no free";
  std::istringstream free(*Output("free -b"));
  std::string line, label;
  std::getline(free, line);  // header
  uint64_t total = 0, used = 0, freeBytes = 0, shared = 0, cache = 0, available = 0;
  free >> label >> total >> used >> freeBytes >> shared >> cache >> available;
  EXPECT_EQ(status->physicalTotal, total);
  // Available memory moves between the two reads; a few megabytes either way is the same.
  const double drift =
      std::abs(static_cast<double>(status->physicalFree) - static_cast<double>(available));
  EXPECT_LT(drift, 64.0 * 1024 * 1024);
  free >> label >> total;
  EXPECT_EQ(label, "Swap:");
  EXPECT_EQ(status->swapTotal, total);
}

TEST(LiveMonitorOnThisMachine, ProcessCountAgreesWithTheProcessFileSystem) {
  auto processes = ReadLinuxProcesses(*Machine(), true);
  ASSERT_TRUE(processes) << processes.source.Explain();
  std::size_t listed = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos) ++listed;
  }
  const auto counted = static_cast<long>(processes->size());
  EXPECT_NEAR(counted, static_cast<long>(listed), 10) << "processes come and go between reads";
  bool self = false;
  for (const auto& p : *processes) self = self || p.pid == static_cast<uint32_t>(getpid());
  EXPECT_TRUE(self);
}

TEST(LiveMonitorOnThisMachine, ModuleCountAgreesWithLsmod) {
  auto drivers = ReadLinuxKernelModules(*Machine());
  ASSERT_TRUE(drivers) << drivers.source.Explain();
  if (!HasTool("lsmod")) GTEST_SKIP() << "no lsmod";
  auto out = Output("lsmod");
  if (!out) GTEST_SKIP() << "lsmod cannot read the module list here";
  long lines = 0;
  for (char c : *out) lines += c == '\n';
  long loaded = 0;
  for (const auto& d : *drivers) loaded += d.state != "built-in";
  EXPECT_EQ(loaded, lines - 1) << "lsmod lists the loaded modules under a header line";
}

TEST(LiveMonitorOnThisMachine, ServiceCountAgreesWithSystemctl) {
  if (!std::filesystem::exists("/run/systemd/system")) GTEST_SKIP() << "systemd does not run here";
  if (!HasTool("systemctl")) GTEST_SKIP() << "no systemctl";
  auto out = Output("systemctl list-units --type=service --all --no-legend --plain");
  if (!out) GTEST_SKIP() << "systemctl does not answer";
  long units = 0;
  for (char c : *out) units += c == '\n';
  auto services = ReadLinuxServiceUnits(*Machine(), true);
  ASSERT_TRUE(services) << services.source.Explain();
  EXPECT_NEAR(static_cast<long>(services->size()), units, 2);
}

}  // namespace
}  // namespace tavrin::platform
