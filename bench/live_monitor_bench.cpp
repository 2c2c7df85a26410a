// The live monitor's costs: a full process-list read of 500 processes (a process file system
// built in a temporary folder from this process's own files, so every process has realistic
// status, mappings and descriptors), the same on this machine, one sampling tick, and one
// memory status read as the 100 ms timer does it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "collectors/cpu/cpu_usage.h"
#include "collectors/system/vsi_memory.h"
#include "collectors/system/vsi_process_list.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/live_services.h"

namespace {

using namespace tavrin;
namespace fs = std::filesystem;

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void Put(const fs::path& file, const std::string& content) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
}

// A process file system of `count` copies of this process.
class ProcessTree {
 public:
  explicit ProcessTree(int count)
      : root_(fs::temp_directory_path() / ("tavrin-bench-proc-" + std::to_string(getpid()))) {
    const fs::path self = "/proc/self";
    const std::string stat = Slurp(self / "stat"), status = Slurp(self / "status"),
                      maps = Slurp(self / "maps"), io = Slurp(self / "io"),
                      cmdline = Slurp(self / "cmdline");
    Put(root_ / "proc/stat", Slurp("/proc/stat"));
    Put(root_ / "etc/passwd", "root:x:0:0::/root:/bin/sh\n");
    for (int i = 0; i < count; ++i) {
      const fs::path dir = root_ / "proc" / std::to_string(1000 + i);
      Put(dir / "stat", std::to_string(1000 + i) + stat.substr(stat.find(' ')));
      Put(dir / "status", status);
      Put(dir / "maps", maps);
      Put(dir / "io", io);
      Put(dir / "cmdline", cmdline);
      for (int t = 0; t < 4; ++t)
        fs::create_directories(dir / "task" / std::to_string(1000 + i + t));
      for (int f = 0; f < 8; ++f) Put(dir / "fd" / std::to_string(f), "");
      fs::create_symlink("/usr/bin/tavrin-bench", dir / "exe");
    }
  }
  ~ProcessTree() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  const fs::path& root() const { return root_; }

 private:
  fs::path root_;
};

void BM_ProcessList500(benchmark::State& state) {
  ProcessTree tree(500);
  platform::FileReader files(tree.root());
  std::size_t count = 0;
  for (auto _ : state) {
    auto processes = platform::ReadLinuxProcesses(files, false);
    count = processes ? processes->size() : 0;
    benchmark::DoNotOptimize(processes);
  }
  state.counters["processes"] = static_cast<double>(count);
}
BENCHMARK(BM_ProcessList500)->Unit(benchmark::kMillisecond);

void BM_ProcessListThisMachine(benchmark::State& state) {
  auto services = std::make_shared<platform::Services>(platform::MakeLiveServices());
  collectors::TVexa_ProcessList list(services);
  for (auto _ : state) {
    list.RefreshData();
    benchmark::DoNotOptimize(list.ProcessCount());
  }
  state.counters["processes"] = list.ProcessCount();
  state.counters["services"] = list.ServiceCount();
  state.counters["drivers"] = list.DriverCount();
}
BENCHMARK(BM_ProcessListThisMachine)->Unit(benchmark::kMillisecond);

void BM_SamplingTick(benchmark::State& state) {
  auto services = std::make_shared<platform::Services>(platform::MakeLiveServices());
  collectors::TVexa_CPUUsage sampler(services);
  sampler.SetInterval(500);
  sampler.SetActive(true);
  for (auto _ : state) {
    sampler.Tick();
    benchmark::DoNotOptimize(sampler.Loads());
  }
  state.counters["processors"] = sampler.ProcessorCount();
}
BENCHMARK(BM_SamplingTick)->Unit(benchmark::kMicrosecond);

void BM_MemoryStatusRefresh(benchmark::State& state) {
  auto services = std::make_shared<platform::Services>(platform::MakeLiveServices());
  collectors::TVexa_Memory memory(services);
  for (auto _ : state) {
    memory.RefreshData();
    benchmark::DoNotOptimize(memory.MemoryLoad);
  }
}
BENCHMARK(BM_MemoryStatusRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace
