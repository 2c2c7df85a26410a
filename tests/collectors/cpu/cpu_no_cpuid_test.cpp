// A processor without CPUID (ARM): what the kernel's files say, CPUID-only values left empty.
#include <gtest/gtest.h>

#include "platform/linux/linux_processor.h"
#include "tests/collectors/cpu/cpu_fixture_support.h"

namespace tavrin::testing {
namespace {

// An ARM machine: no CPUID, four processors, a 64-bit ARM record, and the kernel's record read
// by the Linux reader from a captured file tree.
class ArmProcessor : public platform::RecordedProcessorService {
 public:
  explicit ArmProcessor(std::shared_ptr<const platform::FileReader> files)
      : RecordedProcessorService({}, "test",
                                 platform::ProcessorSystemInfo{platform::kArchArm64, 4, 0, 0}),
        files_(std::move(files)) {}
  platform::Answer<platform::KernelProcessorRecord> KernelRecord() const override {
    return platform::ReadKernelProcessorRecord(*files_, 4);
  }

 private:
  std::shared_ptr<const platform::FileReader> files_;
};

TEST(CpuWithoutCpuid, FillsFromProcCpuinfoAndSysfs) {
  TempDir machine;
  machine.Write("proc/cpuinfo",
                "processor\t: 0\nBogoMIPS\t: 108.00\nCPU implementer\t: 0x41\nCPU part\t: 0xd08\n\n"
                "processor\t: 1\nCPU implementer\t: 0x41\n");
  for (int i = 0; i < 4; ++i) {
    const std::string base = "sys/devices/system/cpu/cpu" + std::to_string(i) + "/topology/";
    machine.Write(base + "physical_package_id", "0\n");
    machine.Write(base + "core_id", std::to_string(i) + "\n");
  }
  machine.Write("sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "1800000\n");
  machine.Write("sys/devices/system/cpu/cpu0/cache/index0/level", "1\n");
  machine.Write("sys/devices/system/cpu/cpu0/cache/index0/type", "Data\n");
  machine.Write("sys/devices/system/cpu/cpu0/cache/index0/size", "32K\n");
  machine.Write("sys/devices/system/cpu/cpu0/cache/index1/level", "2\n");
  machine.Write("sys/devices/system/cpu/cpu0/cache/index1/type", "Unified\n");
  machine.Write("sys/devices/system/cpu/cpu0/cache/index1/size", "1024K\n");
  machine.Write("sys/devices/system/cpu/cpu0/cache/index1/shared_cpu_list", "0-3\n");

  auto services = std::make_shared<platform::Services>(*MakeTestServices(machine.path()));
  services->processor = std::make_shared<ArmProcessor>(services->files);
  collectors::TVexa_CPU cpu(services);
  cpu.RefreshData();
  EXPECT_FALSE(cpu.CPUIDSupported());
  EXPECT_EQ(cpu.CPUCount(), 4);
  EXPECT_EQ(cpu.CPUPhysicalCount(), 1);
  EXPECT_EQ(cpu.PackageCores(), 4u);
  EXPECT_EQ(cpu.VendorText(), "CPU implementer 0x41");
  EXPECT_EQ(cpu.MarketingName(), "CPU implementer 0x41 part 0xd08");
  EXPECT_EQ(cpu.Frequency(), 1800u);
  ASSERT_EQ(cpu.CacheDetails().size(), 2u);
  EXPECT_EQ(cpu.CacheDetails()[1].sizeBytes, 1024u * 1024);
  EXPECT_EQ(cpu.CacheDetails()[1].sharedBy, 4u);
  // A snapshot keeps the record as the live machine read it.
  const auto record = platform::ReadKernelProcessorRecord(*services->files, 4);
  ASSERT_TRUE(record);
  const auto back = platform::KernelRecordFromJson(platform::KernelRecordToJson(*record));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->places.size(), 4u);
  EXPECT_EQ(back->caches.size(), 2u);
  EXPECT_EQ(back->maxKHz, 1800000u);
  // CPUID-only values stay empty.
  EXPECT_EQ(cpu.Family(), 0);
  EXPECT_EQ(cpu.SerialNumber(), "");
  EXPECT_EQ(cpu.GenericName(), "");
  EXPECT_EQ(cpu.Features().Standard1.Count(), 0u);
}

TEST(CpuWithoutCpuid, NoProcessorServiceLeavesEverythingEmpty) {
  TempDir machine;
  collectors::TVexa_CPU cpu(MakeTestServices(machine.path()));
  cpu.RefreshData();
  EXPECT_FALSE(cpu.CPUIDSupported());
  EXPECT_EQ(cpu.Vendor(), collectors::TCpuVendor::cvNone);
  EXPECT_EQ(cpu.MarketingName(), "");
  EXPECT_FALSE(cpu.Source().ok());
}

}  // namespace
}  // namespace tavrin::testing
