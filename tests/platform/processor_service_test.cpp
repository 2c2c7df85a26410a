// The processor service: dump layouts, leaf lookup, pinning and restoring, --record/--replay.
#include <gtest/gtest.h>

#include <sched.h>

#include "platform/linux/linux_processor.h"
#include "platform/recorded/recorded_processor.h"
#include "platform/service_hooks.h"
#include "tests/collectors/cpu/cpu_fixture_support.h"

namespace tavrin::platform {
namespace {

using testing::TempDir;

TEST(ProcessorDump, ReadsTheLineLayoutsWithAndWithoutSubleafNotes) {
  // v1: repeated leaves are sub-leaves in order; a lower-case dump reads the same.
  auto v1 = ParseCpuidDump(
      "------[ Logical CPU #0 ]------\n"
      "CPUID 00000000: 00000004-756E6547-6C65746E-49656E69 [GenuineIntel]\n"
      "CPUID 00000004: 00000121-01C0003F-0000003F-00000000\n"
      "CPUID 00000004: 00000122-01c0003f-0000003f-00000000 [L1I: 32 KB] ]\n"
      "------[ Logical CPU #1 ]------\n"
      "CPUID 00000000: 00000004-756E6547-6C65746E-49656E69\n"
      "--------------------------------------------------------------------------------\n"
      "CPUID 00000001: 00000001-00000000-00000000-00000000\n");
  ASSERT_EQ(v1.size(), 2u);
  EXPECT_EQ(LookupLeaf(v1[0], 4, 1).eax, 0x122u);
  EXPECT_EQ(LookupLeaf(v1[0], 4, 1).ebx, 0x01C0003Fu);
  EXPECT_EQ(LookupLeaf(v1[0], 4, 2), CpuidRegisters{});  // past the last sub-leaf
  EXPECT_EQ(LookupLeaf(v1[0], 0, 5).eax, 4u);            // a leaf without sub-leaves
  EXPECT_EQ(LookupLeaf(v1[1], 1, 0), CpuidRegisters{});  // below the separator: not read

  // v2 with explicit, gappy sub-leaves; AffMask and tab headers.
  auto v2 = ParseCpuidDump(
      "CPU#000 AffMask: 0x0000000000000001\n"
      "CPUID 0000000D: 00000007-00000340-00000340-00000000 [SL 00]\n"
      "CPUID 0000000D: 00000100-00000240-00000000-00000000 [SL 02]\n"
      "CPUID 00000000: 0000000D-68747541-444D4163-69746E65\n"
      "CPUID Registers (CPU #2):\n"
      "CPUID 00000000  \t0000000D-68747541-444D4163-69746E65\n");
  ASSERT_EQ(v2.size(), 2u);
  EXPECT_EQ(LookupLeaf(v2[0], 0xD, 2).eax, 0x100u);
  EXPECT_EQ(LookupLeaf(v2[0], 0xD, 1), CpuidRegisters{});
  EXPECT_EQ(LookupLeaf(v2[1], 0, 0).eax, 0xDu);
}

TEST(ProcessorDump, KeyValueLayoutIsBoundedByTheMaximumLeaves) {
  auto cpus = ParseCpuidDump(
      "basic_cpuid[0]=00000002 756e6547 6c65746e 49656e69\n"
      "basic_cpuid[1]=00000f29 00010809 00004400 bfebfbff\n"
      "basic_cpuid[2]=665b5001 00000000 00000000 007b7040\n"
      "basic_cpuid[3]=665b5001 00000000 00000000 007b7040\n"
      "ext_cpuid[0]=80000004 00000000 00000000 00000000\n"
      "ext_cpuid[5]=00000000 00000000 00000000 00000000\n"
      "intel_fn4[0]=00000000 00000000 00000000 00000000\n");
  ASSERT_EQ(cpus.size(), 1u);
  EXPECT_EQ(LookupLeaf(cpus[0], 2, 0).eax, 0x665B5001u);
  // Leaf 3 repeats leaf 2 above the maximum; leaf 4 lies above it too.
  for (const auto& e : cpus[0]) {
    EXPECT_NE(e.leaf, 3u);
    EXPECT_NE(e.leaf, 4u);
    EXPECT_NE(e.leaf, 0x80000005u);
  }
  EXPECT_TRUE(ParseCpuidDump("hello\nworld\n").empty());
  EXPECT_TRUE(ParseCpuidDump(std::string("\x00\x01\x5f\x53\x4d\x5f", 6)).empty());
}

TEST(ProcessorDump, FormatReadsBack) {
  std::vector<LogicalCpuDump> cpus(2);
  cpus[0] = {{0, 0, {0xB, 1, 2, 3}}, {4, 0, {0x121, 0, 0, 0}}, {4, 3, {0x163, 5, 6, 7}}};
  cpus[1] = {{0, 0, {0xB, 1, 2, 3}}};
  auto back = ParseCpuidDump(FormatCpuidDump(cpus));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(LookupLeaf(back[0], 4, 3), (CpuidRegisters{0x163, 5, 6, 7}));
  EXPECT_EQ(back[1].size(), 1u);
}

// Every public dump reads, whatever its layout, with as many processors as the index says.
TEST(ProcessorDump, EveryFixtureLoadsWithItsProcessorCount) {
  const auto fixtures = testing::LoadCpuidFixtures();
  ASSERT_FALSE(fixtures.empty()) << "no CPUID fixtures";
  for (const auto& f : fixtures) {
    auto service = LoadProcessorDumpFile(testing::CpuidFixtures() / f.file);
    ASSERT_NE(service, nullptr) << f.file;
    auto recorded = std::dynamic_pointer_cast<const RecordedProcessorService>(service);
    EXPECT_EQ(recorded->Cpus().size(), std::stoul(f.index.at("cpu_blocks"))) << f.file;
    EXPECT_EQ(recorded->SystemInfo()->processorCount, recorded->Cpus().size());
  }
}

// A service whose pinning always fails, counting restores.
class FailingPins : public RecordedProcessorService {
 public:
  FailingPins()
      : RecordedProcessorService({{{0, 0, {1, 0, 0, 0}}}, {{{0, 0, {1, 0, 0, 0}}}}}, "test") {}
  PinState PinCallingThread(unsigned) const override { return {}; }
  void RestoreCallingThread(const PinState&) const override { ++restores; }
  mutable int restores = 0;
};

TEST(ProcessorPinning, RangeRules) {
  EXPECT_EQ(EffectivePinIndex(0, 4), 0);
  EXPECT_EQ(EffectivePinIndex(3, 4), 3);
  EXPECT_EQ(EffectivePinIndex(4, 4), 0);  // beyond the last: processor 0
  EXPECT_EQ(EffectivePinIndex(31, 64), 31);
  EXPECT_EQ(EffectivePinIndex(32, 64), -1);  // not pinned at all
}

TEST(ProcessorPinning, RecordedProcessorsFollowThePinAndRestore) {
  RecordedProcessorService cpu({{{0, 0, {1, 0xA, 0, 0}}}, {{0, 0, {1, 0xB, 0, 0}}}}, "test");
  EXPECT_EQ(cpu.ExecuteCPUID(0).ebx, 0xAu);
  {
    ProcessorPin pin(cpu, 1);
    EXPECT_TRUE(pin.pinned());
    EXPECT_EQ(cpu.ExecuteCPUID(0).ebx, 0xBu);
    {
      ProcessorPin same(cpu, 1);  // already there: nothing to restore
      EXPECT_EQ(cpu.ExecuteCPUID(0).ebx, 0xBu);
    }
    EXPECT_EQ(cpu.ExecuteCPUID(0).ebx, 0xBu);
  }
  EXPECT_EQ(cpu.ExecuteCPUID(0).ebx, 0xAu);
  // Another thread sees its own processor.
  ProcessorPin pin(cpu, 1);
  uint32_t other = 0;
  std::thread([&] { other = cpu.ExecuteCPUID(0).ebx; }).join();
  EXPECT_EQ(other, 0xAu);
}

TEST(ProcessorPinning, AFailedPinIsNotRestored) {
  FailingPins cpu;
  {
    ProcessorPin pin(cpu, 1);
    EXPECT_FALSE(pin.pinned());
  }
  EXPECT_EQ(cpu.restores, 0);
}

TEST(ProcessorPinning, LinuxPinsTheCallingThreadAndRestoresItsMask) {
  LinuxProcessorService cpu(std::make_shared<FileReader>());
  cpu_set_t before;
  ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
  const uint32_t count = cpu.SystemInfo()->processorCount;
  const unsigned target = count > 1 ? 1 : 0;
  {
    ProcessorPin pin(cpu, target);
    if (!CPU_ISSET(target, &before)) GTEST_SKIP() << "processor " << target << " not allowed here";
    EXPECT_TRUE(pin.pinned());
    EXPECT_EQ(sched_getcpu(), static_cast<int>(target));
  }
  cpu_set_t after;
  ASSERT_EQ(sched_getaffinity(0, sizeof after, &after), 0);
  EXPECT_TRUE(CPU_EQUAL(&before, &after));
  // A processor that is not online is not pinned and changes nothing.
  const PinState state = cpu.PinCallingThread(count + 7);
  EXPECT_FALSE(state.pinned);
  EXPECT_FALSE(state.restore);
  ASSERT_EQ(sched_getaffinity(0, sizeof after, &after), 0);
  EXPECT_TRUE(CPU_EQUAL(&before, &after));
}

TEST(ProcessorSnapshot, RecordWritesEveryProcessorAndReplayAnswersTheSame) {
  auto live = MakeLinuxProcessorService(std::make_shared<FileReader>());
  if (!live->IsCPUIDAvailable()) GTEST_SKIP() << "no CPUID on this machine";
  std::unique_ptr<ServiceRecording> recording;
  auto recorded_live = RecordProcessor(live, recording);
  ASSERT_NE(recording, nullptr);
  recorded_live->ReadTimeStampCounter();
  recorded_live->Sleep(std::chrono::milliseconds(5));
  recorded_live->ReadTimeStampCounter();
  TempDir dir;
  std::string error;
  ASSERT_TRUE(recording->Finish(dir.path(), &error)) << error;
  std::vector<std::string> warnings;
  auto replay = LoadRecordedProcessor(dir.path(), warnings);
  ASSERT_NE(replay, nullptr);
  EXPECT_TRUE(warnings.empty());
  const auto info = live->SystemInfo();
  EXPECT_EQ(replay->SystemInfo()->processorCount, info->processorCount);
  EXPECT_EQ(replay->SystemInfo()->revision, info->revision);
  for (uint32_t leaf : {0u, 1u, 7u, 0x80000000u, 0x80000002u}) {
    ProcessorPin a(*live, 0), b(*replay, 0);
    auto want = live->ExecuteCPUID(leaf);
    auto got = replay->ExecuteCPUID(leaf);
    if (leaf == 1) want.ebx &= 0x00FFFFFF, got.ebx &= 0x00FFFFFF;  // APIC id follows the pin
    EXPECT_EQ(got, want) << std::hex << leaf;
  }
  EXPECT_TRUE(replay->ReadTimeStampCounter().has_value());  // the rate was recorded
  // The kernel's record travels with the registers.
  const auto kernel = live->KernelRecord();
  if (kernel) {
    const auto replayed = replay->KernelRecord();
    ASSERT_TRUE(replayed) << replayed.source.detail;
    EXPECT_EQ(replayed->modelName, kernel->modelName);
    EXPECT_EQ(replayed->places.size(), kernel->places.size());
    EXPECT_EQ(replayed->caches.size(), kernel->caches.size());
  }
  // Every leaf of a processor, as the recorder wrote it.
  {
    ProcessorPin a(*live, 0), b(*replay, 0);
    EXPECT_EQ(replay->ReadLeaves().size(), live->ReadLeaves().size());
  }
  EXPECT_EQ(LoadRecordedProcessor(dir.path() / "nothing", warnings), nullptr);
}

}  // namespace
}  // namespace tavrin::platform
