#include "platform/linux/linux_processor.h"

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/service_hooks.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define TAVRIN_X86 1
#endif

namespace tavrin::platform {
namespace {

std::vector<uint64_t> MaskWords(const cpu_set_t& set) {
  std::vector<uint64_t> words((CPU_SETSIZE + 63) / 64, 0);
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
    if (CPU_ISSET(cpu, &set)) words[cpu / 64] |= uint64_t{1} << (cpu % 64);
  return words;
}

uint32_t OnlineCount() {
  const long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n > 0 ? static_cast<uint32_t>(n) : 1;
}

uint16_t MachineArchitecture() {
#if defined(__x86_64__)
  return kArchX64;
#elif defined(__i386__)
  return kArchX86;
#elif defined(__aarch64__)
  return kArchArm64;
#elif defined(__arm__)
  return kArchArm;
#elif defined(__ia64__)
  return kArchIa64;
#else
  return kArchUnknown;
#endif
}

}  // namespace

std::string CpuInfoField(std::string_view cpuinfo, std::string_view name) {
  std::size_t pos = 0;
  while (pos < cpuinfo.size()) {
    std::size_t end = cpuinfo.find('\n', pos);
    if (end == std::string_view::npos) end = cpuinfo.size();
    std::string_view line = cpuinfo.substr(pos, end - pos);
    pos = end + 1;
    if (line.find_first_not_of(" \t\r") == std::string_view::npos) {
      // Only the first processor's block is asked; a blank line ends it.
      if (pos > 1) break;
      continue;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view key = line.substr(0, colon);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
    if (key != name) continue;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
      value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) value.remove_suffix(1);
    return std::string(value);
  }
  return {};
}

LinuxProcessorService::LinuxProcessorService(std::shared_ptr<const FileReader> files)
    : files_(std::move(files)) {}

bool LinuxProcessorService::IsCPUIDAvailable() const {
#if defined(__x86_64__)
  return true;  // every x86-64 processor has it
#elif defined(TAVRIN_X86)
  // Toggles EFLAGS.ID and answers 0 when the bit does not stick (a 386 or early 486).
  return __get_cpuid_max(0, nullptr) != 0;
#else
  return false;
#endif
}

CpuidRegisters LinuxProcessorService::ExecuteCPUID(uint32_t leaf, uint32_t subleaf) const {
  CpuidRegisters r;
#ifdef TAVRIN_X86
  __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
#else
  (void)leaf;
  (void)subleaf;
#endif
  return r;
}

Answer<ProcessorSystemInfo> LinuxProcessorService::SystemInfo() const {
  ProcessorSystemInfo info;
  info.architecture = MachineArchitecture();
  info.processorCount = OnlineCount();
  // Level and revision as the kernel decoded them (x86 only; ARM has other fields).
  auto cpuinfo = files_ ? files_->ReadFile("/proc/cpuinfo") : Answer<std::string>{};
  if (cpuinfo) {
    const int family = std::atoi(CpuInfoField(*cpuinfo, "cpu family").c_str());
    const int model = std::atoi(CpuInfoField(*cpuinfo, "model").c_str());
    const int stepping = std::atoi(CpuInfoField(*cpuinfo, "stepping").c_str());
    info.level = static_cast<uint16_t>(family);
    info.revision = static_cast<uint16_t>(((model & 0xFF) << 8) | (stepping & 0xFF));
  }
  return Answer<ProcessorSystemInfo>::Of(info, "sysconf(_SC_NPROCESSORS_ONLN), /proc/cpuinfo");
}

PinState LinuxProcessorService::PinCallingThread(unsigned index) const {
  PinState state;
  if (index >= OnlineCount() || index >= CPU_SETSIZE) return state;
  cpu_set_t previous;
  CPU_ZERO(&previous);
  if (sched_getaffinity(0, sizeof previous, &previous) != 0) return state;
  cpu_set_t wanted;
  CPU_ZERO(&wanted);
  CPU_SET(index, &wanted);
  if (CPU_EQUAL(&previous, &wanted)) {
    state.pinned = true;  // already there: nothing to put back
    return state;
  }
  if (sched_setaffinity(0, sizeof wanted, &wanted) != 0) return state;
  // The kernel moves the calling thread before sched_setaffinity returns.
  state.pinned = true;
  state.restore = true;
  state.previous_mask = MaskWords(previous);
  return state;
}

void LinuxProcessorService::RestoreCallingThread(const PinState& state) const {
  if (!state.restore) return;
  cpu_set_t set;
  CPU_ZERO(&set);
  for (std::size_t w = 0; w < state.previous_mask.size(); ++w)
    for (int b = 0; b < 64; ++b)
      if (state.previous_mask[w] >> b & 1) {
        const std::size_t cpu = w * 64 + b;
        if (cpu < CPU_SETSIZE) CPU_SET(cpu, &set);
      }
  sched_setaffinity(0, sizeof set, &set);
}

std::optional<uint64_t> LinuxProcessorService::ReadTimeStampCounter() const {
#ifdef TAVRIN_X86
  return __rdtsc();
#else
  return std::nullopt;
#endif
}

namespace {

uint32_t Number(const Answer<std::string>& text) {
  return text ? static_cast<uint32_t>(std::strtoul(text->c_str(), nullptr, 10)) : 0;
}

// "0-3,8-11" -> 8.
uint32_t CpuListCount(std::string_view list) {
  uint32_t count = 0;
  std::size_t pos = 0;
  while (pos < list.size()) {
    std::size_t end = list.find(',', pos);
    if (end == std::string_view::npos) end = list.size();
    const std::string part(list.substr(pos, end - pos));
    const auto dash = part.find('-');
    const unsigned long first = std::strtoul(part.c_str(), nullptr, 10);
    const unsigned long last =
        dash == std::string::npos ? first : std::strtoul(part.c_str() + dash + 1, nullptr, 10);
    if (!part.empty() && last >= first) count += static_cast<uint32_t>(last - first + 1);
    pos = end + 1;
  }
  return count;
}

}  // namespace

Answer<KernelProcessorRecord> ReadKernelProcessorRecord(const FileReader& files,
                                                        uint32_t processorCount) {
  auto cpuinfo = files.ReadFile("/proc/cpuinfo");
  if (!cpuinfo) return {std::nullopt, cpuinfo.source};
  KernelProcessorRecord record;
  record.vendorId = CpuInfoField(*cpuinfo, "vendor_id");
  if (record.vendorId.empty()) {
    const std::string implementer = CpuInfoField(*cpuinfo, "CPU implementer");
    if (!implementer.empty()) record.vendorId = "CPU implementer " + implementer;
  }
  for (const char* field : {"model name", "Processor", "cpu model", "Hardware"}) {
    record.modelName = CpuInfoField(*cpuinfo, field);
    if (!record.modelName.empty()) break;
  }
  record.cpuPart = CpuInfoField(*cpuinfo, "CPU part");
  record.cpuMHz = std::atof(CpuInfoField(*cpuinfo, "cpu MHz").c_str());
  const std::string sys = "/sys/devices/system/cpu/cpu";
  record.maxKHz = Number(files.ReadLine(sys + "0/cpufreq/cpuinfo_max_freq"));
  for (uint32_t i = 0; i < processorCount; ++i) {
    const std::string base = sys + std::to_string(i) + "/topology/";
    auto package = files.ReadLine(base + "physical_package_id");
    auto core = files.ReadLine(base + "core_id");
    if (package && core) record.places.push_back({i, *package, *core});
  }
  if (auto dirs = files.ListDir(sys + "0/cache")) {
    for (const auto& name : *dirs) {
      if (name.rfind("index", 0) != 0) continue;
      const std::string base = sys + "0/cache/" + name + "/";
      KernelCache c;
      c.level = static_cast<int>(Number(files.ReadLine(base + "level")));
      c.type = files.ReadLine(base + "type").value_or("");
      c.sizeBytes = uint64_t{Number(files.ReadLine(base + "size"))} * 1024;  // "32K"
      c.ways = Number(files.ReadLine(base + "ways_of_associativity"));
      c.lineSize = Number(files.ReadLine(base + "coherency_line_size"));
      c.sharedBy = CpuListCount(files.ReadLine(base + "shared_cpu_list").value_or(""));
      if (c.level > 0) record.caches.push_back(c);
    }
    std::sort(record.caches.begin(), record.caches.end(), [](const auto& a, const auto& b) {
      return a.level != b.level ? a.level < b.level : a.type < b.type;
    });
  }
  return Answer<KernelProcessorRecord>::Of(std::move(record),
                                           "/proc/cpuinfo, /sys/devices/system/cpu");
}

Answer<KernelProcessorRecord> LinuxProcessorService::KernelRecord() const {
  if (!files_)
    return Answer<KernelProcessorRecord>::Fail(Status::NotSupported, "/proc/cpuinfo",
                                               "no file reader");
  return ReadKernelProcessorRecord(*files_, OnlineCount());
}

std::shared_ptr<const ProcessorService> MakeLinuxProcessorService(
    std::shared_ptr<const FileReader> files) {
  return std::make_shared<LinuxProcessorService>(std::move(files));
}

}  // namespace tavrin::platform
