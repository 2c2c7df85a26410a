// The processor rows of this machine against what the kernel and lscpu say of it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>

#include "collectors/cpu/cpu_identify.h"
#include "platform/linux/linux_processor.h"
#include "platform/service_hooks.h"
#include "tests/collectors/cpu/cpu_fixture_support.h"
#include "tests/support/run_program.h"

namespace tavrin::testing {
namespace {

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    pclose(p);
  }
  return out;
}

class CpuLive : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto files = std::make_shared<platform::FileReader>();
    cpuinfo_ = new std::string(files->ReadFile("/proc/cpuinfo").value_or(""));
    auto processor = platform::MakeLinuxProcessorService(files);
    if (!processor->IsCPUIDAvailable()) return;
    auto services = std::make_shared<platform::Services>(*MakeTestServices("/"));
    services->files = files;
    services->processor = processor;
    services->live = true;
    cpu_ = new collectors::TVexa_CPU(services);
    cpu_->RefreshData();
  }
  static void TearDownTestSuite() {
    delete cpu_;
    delete cpuinfo_;
  }
  void SetUp() override {
    if (!cpu_) GTEST_SKIP() << "no CPUID on this machine";
  }
  static std::string Field(const char* name) { return platform::CpuInfoField(*cpuinfo_, name); }

  static inline collectors::TVexa_CPU* cpu_ = nullptr;
  static inline std::string* cpuinfo_ = nullptr;
};

TEST_F(CpuLive, AgreesWithProcCpuinfo) {
  EXPECT_EQ(collectors::VendorInfo(cpu_->Vendor()).id, Field("vendor_id"));
  EXPECT_EQ(std::to_string(cpu_->Family()), Field("cpu family"));
  EXPECT_EQ(std::to_string(cpu_->Model()), Field("model"));
  EXPECT_EQ(std::to_string(cpu_->Stepping()), Field("stepping"));
  EXPECT_EQ(cpu_->MarketingName(), Field("model name"));
  EXPECT_EQ(cpu_->CPUCount(), sysconf(_SC_NPROCESSORS_ONLN));
  // Under a hypervisor the kernel says so too.
  EXPECT_EQ(cpu_->UnderHypervisor(),
            (" " + Field("flags") + " ").find(" hypervisor ") != std::string::npos);
}

TEST_F(CpuLive, FlagsPresentInBothAgree) {
  // Kernel flag names of the features and extensions both list.
  const std::pair<const char*, const char*> names[] = {
      {"fpu", "FPU"},     {"tsc", "TSC"},       {"cx8", "CX8"},         {"cmov", "CMOV"},
      {"mmx", "MMX"},     {"sse", "SSE"},       {"sse2", "SSE2"},       {"pni", "SSE3"},
      {"ssse3", "SSSE3"}, {"sse4_1", "SSE4.1"}, {"sse4_2", "SSE4.2"},   {"avx", "AVX"},
      {"avx2", "AVX2"},   {"aes", "AES"},       {"sha_ni", "SHA"},      {"bmi1", "BMI1"},
      {"bmi2", "BMI2"},   {"adx", "ADX"},       {"avx512f", "AVX512F"}, {"avx512bw", "AVX512BW"},
      {"vaes", "VAES"},   {"gfni", "GFNI"},     {"fma", "FMA"},         {"lm", "x86-64"}};
  const std::string flags = " " + Field("flags") + " ";
  std::map<std::string, bool> ours;
  for (const auto& r : cpu_->Features().Standard1.Records()) ours[r.name] = r.available;
  for (const auto& e : cpu_->Extensions()) ours[e.name] = e.available;
  for (const auto& [kernel, name] : names) {
    ASSERT_TRUE(ours.count(name)) << name;
    // The kernel may hide a flag it disabled; it never shows one the processor lacks.
    if (flags.find(" " + std::string(kernel) + " ") != std::string::npos) {
      EXPECT_TRUE(ours[name]) << name;
    }
  }
}

TEST_F(CpuLive, AgreesWithLscpu) {
  const std::string lscpu = Output("LC_ALL=C lscpu 2>/dev/null");
  if (lscpu.empty()) GTEST_SKIP() << "lscpu not installed";
  auto value = [&](const std::string& key) {
    auto pos = lscpu.find("\n" + key + ":");
    if (pos == std::string::npos) return std::string();
    auto line =
        lscpu.substr(pos + key.size() + 2, lscpu.find('\n', pos + 1) - pos - key.size() - 2);
    return std::string(collectors::TrimBrand(line));
  };
  EXPECT_EQ(value("Model name"), cpu_->MarketingName());
  EXPECT_EQ(value("CPU family"), std::to_string(cpu_->Family()));
  EXPECT_EQ(value("Stepping"), std::to_string(cpu_->Stepping()));
  EXPECT_EQ(value("CPU(s)"), std::to_string(cpu_->CPUCount()));
  if (!value("Hypervisor vendor").empty()) {
    EXPECT_NE(cpu_->Hypervisor().find(value("Hypervisor vendor")), std::string::npos)
        << cpu_->Hypervisor();
  }
}

TEST_F(CpuLive, CacheDetailsAgreeWithSysfs) {
  platform::FileReader files;
  auto dirs = files.ListDir("/sys/devices/system/cpu/cpu0/cache");
  if (!dirs) GTEST_SKIP() << "no /sys/devices/system/cpu/cpu0/cache";
  int compared = 0;
  for (const auto& name : *dirs) {
    if (name.rfind("index", 0) != 0) continue;
    const std::string base = "/sys/devices/system/cpu/cpu0/cache/" + name + "/";
    const int level = std::stoi(files.ReadLine(base + "level").value_or("0"));
    const std::string type = files.ReadLine(base + "type").value_or("");
    const std::string size = files.ReadLine(base + "size").value_or("");  // "32K"
    bool found = false;
    for (const auto& c : cpu_->CacheDetails())
      if (c.level == level && c.type == type) {
        EXPECT_EQ(std::to_string(c.sizeBytes / 1024) + "K", size) << name;
        found = true;
      }
    EXPECT_TRUE(found) << "L" << level << " " << type;
    ++compared;
  }
  if (compared == 0) GTEST_SKIP() << "sysfs lists no caches";
}

// The CLI's rows on this machine, and a replay of a dump given as a single file.
TEST_F(CpuLive, CliShowsTheProcessorRowsAndReplaysADump) {
  auto run = RunProgram(BinDir() / "tavrin-cli", {"--advanced", "--page", "sysdevinfo"}, {});
  EXPECT_NE(run.out.find(cpu_->MarketingName()), std::string::npos)
      << run.exit_code << run.out << run.err;
  EXPECT_NE(run.out.find("x86 Family " + std::to_string(cpu_->Family())), std::string::npos);
  const auto dump = CpuidFixtures() / "intel/x86-64/golden-cove/12th-gen-intel-core-i9-12900k.test";
  ASSERT_TRUE(std::filesystem::exists(dump)) << dump;
  run = RunProgram(BinDir() / "tavrin-cli",
                   {"--advanced", "--replay", dump.string(), "--page", "cpuadvinfo"}, {});
  EXPECT_NE(run.out.find("Cache Details"), std::string::npos);
  EXPECT_NE(run.out.find("L2 Unified Cache:"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Performance (Core) Cores:"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Advanced vector extensions 2 "), std::string::npos);
}

}  // namespace
}  // namespace tavrin::testing

namespace tavrin::testing {
namespace {

// A second reference for raw leaves: Debian's `cpuid` tool, when it is installed.
TEST(CpuLiveReference, RawLeavesAgreeWithTheCpuidTool) {
  if (Output("command -v cpuid 2>/dev/null").empty()) GTEST_SKIP() << "cpuid tool not installed";
  auto live = platform::MakeLinuxProcessorService(std::make_shared<platform::FileReader>());
  if (!live->IsCPUIDAvailable()) GTEST_SKIP() << "no CPUID on this machine";
  platform::ProcessorPin pin(*live, 0);
  // "   0x00000001 0x00: eax=0x00a00f11 ebx=0x00020800 ecx=0xfeda3203 edx=0x178bfbff"
  const std::string raw = Output("cpuid -r -1 2>/dev/null");
  for (uint32_t leaf : {0u, 1u, 7u, 0x80000000u, 0x80000001u, 0x80000002u}) {
    char key[32];
    std::snprintf(key, sizeof key, "0x%08x 0x00:", leaf);
    const auto pos = raw.find(key);
    if (pos == std::string::npos) continue;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    ASSERT_EQ(std::sscanf(raw.c_str() + pos + std::strlen(key), " eax=%x ebx=%x ecx=%x edx=%x",
                          &eax, &ebx, &ecx, &edx),
              4);
    const auto ours = live->ExecuteCPUID(leaf);
    EXPECT_EQ(ours.eax, eax) << std::hex << leaf;
    if (leaf != 1) {
      EXPECT_EQ(ours.ebx, ebx) << std::hex << leaf;  // leaf 1 EBX holds the APIC id
    }
    EXPECT_EQ(ours.ecx, ecx) << std::hex << leaf;
    EXPECT_EQ(ours.edx, edx) << std::hex << leaf;
  }
}

}  // namespace
}  // namespace tavrin::testing
