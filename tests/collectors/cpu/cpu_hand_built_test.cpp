// Processors built register by register, for the cases the public dumps show once or not at
// all: caches that leaf 2 leaves to leaf 4, a hybrid part, an AMD part with SMT off, Centaur
// and Zhaoxin parts, a part without leaf 0xB, model numbers shared by several dies, and a
// hypervisor's generic brand string.
#include <gtest/gtest.h>

#include <cstring>

#include "collectors/cpu/cpu_codenames.h"
#include "tests/collectors/cpu/cpu_fixture_support.h"

namespace tavrin::testing {
namespace {

using collectors::TCpuVendor;
using platform::CpuidRegisters;
using platform::LogicalCpuDump;

uint32_t Word(const char* four) {
  uint32_t w = 0;
  std::memcpy(&w, four, 4);
  return w;
}

// One logical processor, leaf by leaf.
class Regs {
 public:
  Regs(const char* vendor, uint32_t maxBasic, uint32_t maxExtended, uint32_t signature) {
    Leaf(0, {maxBasic, Word(vendor), Word(vendor + 8), Word(vendor + 4)});
    Leaf(1, {signature, 0, 0, 0});
    if (maxExtended) Leaf(0x80000000u, {maxExtended, 0, 0, 0});
  }
  Regs& Leaf(uint32_t leaf, CpuidRegisters r, uint32_t subleaf = 0) {
    for (auto& e : dump_)
      if (e.leaf == leaf && e.subleaf == subleaf) {
        e.regs = r;
        return *this;
      }
    dump_.push_back({leaf, subleaf, r});
    return *this;
  }
  // Leaf 1 EBX and EDX beside the signature already given.
  Regs& Leaf1(uint32_t ebx, uint32_t ecx, uint32_t edx) {
    auto r = platform::LookupLeaf(dump_, 1, 0);
    return Leaf(1, {r.eax, ebx, ecx, edx});
  }
  Regs& Brand(const std::string& text) {
    std::string padded = text;
    padded.resize(48, '\0');
    for (uint32_t i = 0; i < 3; ++i) {
      const char* p = padded.data() + 16 * i;
      Leaf(0x80000002u + i, {Word(p), Word(p + 4), Word(p + 8), Word(p + 12)});
    }
    return *this;
  }
  // A leaf 4 / 0x8000001D sub-leaf: type 1 data, 2 instruction, 3 unified.
  Regs& Cache(uint32_t leaf, uint32_t subleaf, uint32_t type, uint32_t level, uint32_t ways,
              uint32_t sets, uint32_t sharing = 1) {
    return Leaf(leaf, {type | level << 5 | (sharing - 1) << 14, (ways - 1) << 22 | 63, sets - 1, 0},
                subleaf);
  }
  const LogicalCpuDump& dump() const { return dump_; }

 private:
  LogicalCpuDump dump_;
};

std::unique_ptr<collectors::TVexa_CPU> Identify(const std::vector<Regs>& cpus) {
  std::vector<LogicalCpuDump> dumps;
  for (const auto& c : cpus) dumps.push_back(c.dump());
  return CollectorFor(std::make_shared<platform::RecordedProcessorService>(dumps, "test"));
}

constexpr uint32_t kHtt = 1u << 28;

TEST(CpuHandBuilt, CachesOfLeaf2DeferredToLeaf4AreOneAnswerForBothPages) {
  Regs r("GenuineIntel", 4, 0, 0x000806C1);
  // Leaf 2 says only "read leaf 4" (descriptor 0xFF).
  r.Leaf(2, {0x00FEFF01, 0, 0, 0});
  r.Cache(4, 0, 1, 1, 12, 64).Cache(4, 1, 2, 1, 8, 64);
  r.Cache(4, 2, 3, 2, 10, 2048, 2).Cache(4, 3, 3, 3, 12, 40960, 16);
  const auto cpu = Identify({r});
  const std::array<uint64_t, 3> rows{48 + 32, 1280, 30720};
  EXPECT_EQ(cpu->SystemDevicesCacheKB(), rows);
  ASSERT_EQ(cpu->CacheDetails().size(), 4u);
  EXPECT_EQ(cpu->CacheDetails()[2].sizeBytes, 1280u * 1024);
  EXPECT_EQ(cpu->CacheDetails()[3].ways, 12u);
  // The classic descriptor decoding found nothing; nothing else contradicts the list.
  EXPECT_EQ(cpu->Cache().Level2.Size, 0);
}

TEST(CpuHandBuilt, TopologyOfHybridSmtOffAndOldParts) {
  {
    SCOPED_TRACE("hybrid: one performance core with two threads, two efficiency cores");
    std::vector<Regs> cpus;
    const uint32_t apics[] = {0, 1, 2, 4};
    for (uint32_t apic : apics) {
      const bool p_core = apic < 2;
      Regs r("GenuineIntel", 0x1F, 0, 0x000906A4);
      r.Leaf1(apic << 24 | 4 << 16, 0, kHtt);
      r.Leaf(7, {0, 0, 0, 1u << 15});
      r.Leaf(0x1A, {p_core ? 0x40000000u : 0x20000000u, 0, 0, 0});
      r.Leaf(0x1F, {1, p_core ? 2u : 1u, 0x100, apic}, 0);
      r.Leaf(0x1F, {3, 4, 0x201, apic}, 1);
      r.Leaf(0x1F, {0, 0, 0x002, apic}, 2);
      cpus.push_back(r);
    }
    const auto cpu = Identify(cpus);
    EXPECT_EQ(cpu->CorePerPackage(), 3);
    EXPECT_EQ(cpu->LogicalPerPackage(), 4);
    EXPECT_EQ(cpu->ThreadsPerCore(), 2u);
    ASSERT_EQ(cpu->CoreTypes().size(), 2u);
    EXPECT_EQ(cpu->CoreTypes()[0].cores, 1u);
    EXPECT_EQ(cpu->CoreTypes()[0].threads, 2u);
    EXPECT_EQ(cpu->CoreTypes()[1].cores, 2u);
    EXPECT_EQ(cpu->CoreTypes()[1].threads, 2u);
  }
  for (const bool smt : {false, true}) {
    SCOPED_TRACE(smt ? "AMD Zen 3, SMT on" : "AMD Zen 3, SMT off in the firmware");
    Regs r("AuthenticAMD", 0x10, 0x8000001F, 0x00A20F10);
    r.Leaf1(8 << 16, 0, kHtt);
    r.Leaf(0x80000001u, {0, 0, 1u << 22, 0});
    r.Leaf(0x80000008u, {0, 0, (smt ? 15u : 7u) | 7u << 12, 0});
    r.Leaf(0x8000001Eu, {0, smt ? 0x100u : 0u, 0, 0});
    const auto cpu = Identify({r});
    EXPECT_EQ(cpu->CorePerPackage(), 8);
    EXPECT_EQ(cpu->LogicalPerPackage(), smt ? 16 : 8);
    EXPECT_EQ(cpu->ThreadsPerCore(), smt ? 2u : 1u);
    EXPECT_EQ(cpu->CodeName(), "Vermeer");
  }
  {
    SCOPED_TRACE("no leaf 0xB: Core 2 Duo, two cores from leaf 4");
    Regs r("GenuineIntel", 0xA, 0, 0x000006F6);
    r.Leaf1(2 << 16, 0, kHtt);
    r.Cache(4, 0, 1, 1, 8, 64, 1).Leaf(4, {0x04000121, 0x01C0003F, 63, 0}, 0);
    const auto cpu = Identify({r});
    EXPECT_EQ(cpu->CorePerPackage(), 2);
    EXPECT_EQ(cpu->LogicalPerPackage(), 2);
    EXPECT_EQ(cpu->ThreadsPerCore(), 1u);
  }
  {
    SCOPED_TRACE("no leaf 0xB or 4: Pentium 4 with Hyper-Threading");
    Regs r("GenuineIntel", 2, 0, 0x00000F29);
    r.Leaf1(2 << 16, 0, kHtt);
    const auto cpu = Identify({r});
    EXPECT_EQ(cpu->CorePerPackage(), 1);
    EXPECT_EQ(cpu->LogicalPerPackage(), 2);
    EXPECT_EQ(cpu->ThreadsPerCore(), 2u);
  }
}

TEST(CpuHandBuilt, CentaurAndZhaoxinPartsShareOneSignature) {
  auto nano = [](const std::string& brand) {
    Regs r("CentaurHauls", 0xA, 0x80000008, 0x000006FE);
    r.Brand(brand);
    // 64 KB 16-way L1s, 1 MB 16-way L2 in ECX bits 31..16.
    r.Leaf(0x80000005u, {0, 0, 64u << 24 | 16u << 16 | 64, 64u << 24 | 16u << 16 | 64});
    r.Leaf(0x80000006u, {0, 0, 1024u << 16 | 8u << 12 | 64, 0});
    return Identify({r});
  };
  const auto via = nano("VIA Eden X4 C4250@1.2+GHz");
  EXPECT_EQ(via->Vendor(), TCpuVendor::cvIDT);
  EXPECT_EQ(via->CodeName(), "Isaiah");
  EXPECT_EQ(via->CPUName(), "VIA Eden X4 C4250");
  const std::array<uint64_t, 3> rows{128, 1024, 0};
  EXPECT_EQ(via->SystemDevicesCacheKB(), rows);

  const auto zhaoxin = nano("ZHAOXIN KaiXian ZX-C+ C4580@1.83GHz");
  EXPECT_EQ(zhaoxin->Vendor(), TCpuVendor::cvZhaoxin);
  EXPECT_EQ(zhaoxin->CodeName(), "ZhangJiang");
  EXPECT_EQ(zhaoxin->CPUName(), "Zhaoxin KaiXian ZX-C+ C4580");
}

TEST(CpuHandBuilt, SharedModelNumbersAskTheBrandString) {
  auto intel = [](const std::string& brand) {
    Regs r("GenuineIntel", 0xB, 0x80000008, 0x000206C2);
    r.Brand(brand);
    return Identify({r});
  };
  EXPECT_EQ(intel("Intel(R) Xeon(R) CPU           X5667  @ 3.07GHz")->CodeName(), "Westmere-EP");
  EXPECT_EQ(intel("Intel(R) Core(TM) i7 CPU       X 980  @ 3.33GHz")->CodeName(), "Gulftown");

  auto amd = [](const std::string& brand) {
    Regs r("AuthenticAMD", 0x10, 0x80000008, 0x00A50F00);
    r.Brand(brand);
    return Identify({r});
  };
  EXPECT_EQ(amd("AMD Ryzen 7 5825U with Radeon Graphics")->CodeName(), "Barceló");
  EXPECT_EQ(amd("AMD Ryzen 7 5800U with Radeon Graphics")->CodeName(), "Cezanne");
  EXPECT_EQ(amd("AMD FX(tm)-9590 Eight-Core Processor")->CPUName(), "FX-9590 Eight-Core");
}

TEST(CpuHandBuilt, GenericBrandOfAHypervisorIsNamedAsSuch) {
  Regs r("GenuineIntel", 0xD, 0x80000008, 0x00050654);
  r.Leaf1(0, 1u << 31, 0).Brand("Intel(R) Xeon(R) Processor");
  r.Leaf(0x40000000u, {0x40000001, Word("KVMK"), Word("VMKV"), Word("M\0\0\0")});
  const auto cpu = Identify({r});
  EXPECT_EQ(cpu->CPUName(), "Xeon");
  EXPECT_EQ(cpu->GenericNameGiver(), "KVM");
  EXPECT_EQ(cpu->Hypervisor(), "KVM");

  Regs hygon("HygonGenuine", 0xD, 0x80000008, 0x00900F01);
  hygon.Brand("Hygon C86 7185 32-core Processor");
  const auto h = Identify({hygon});
  EXPECT_EQ(h->Vendor(), TCpuVendor::cvHygon);
  EXPECT_EQ(h->CodeName(), "Dhyana");
  EXPECT_EQ(h->CPUName(), "C86 7185 32-core");
}

// Rows are grouped by family and model in ascending order, and no row hides behind an earlier
// one that always fits first.
TEST(CpuHandBuilt, CodeNameTablesAreConsistent) {
  for (const auto vendor : {TCpuVendor::cvIntel, TCpuVendor::cvAmd, TCpuVendor::cvIDT}) {
    const auto table = collectors::CodeNameTable(vendor);
    ASSERT_FALSE(table.empty());
    for (std::size_t j = 0; j < table.size(); ++j) {
      const auto& row = table[j];
      SCOPED_TRACE(row.code);
      EXPECT_LE(row.modelFirst, row.modelLast);
      EXPECT_LE(row.steppingFirst, row.steppingLast);
      EXPECT_NE(std::string(row.code), "");
      if (j > 0) {
        const auto& prev = table[j - 1];
        EXPECT_TRUE(prev.family < row.family ||
                    (prev.family == row.family && prev.modelFirst <= row.modelFirst))
            << "out of order after " << prev.code;
      }
      for (std::size_t i = 0; i < j; ++i) {
        const auto& earlier = table[i];
        const bool covers =
            earlier.family == row.family && earlier.modelFirst <= row.modelFirst &&
            earlier.modelLast >= row.modelLast && earlier.steppingFirst <= row.steppingFirst &&
            earlier.steppingLast >= row.steppingLast &&
            (earlier.cores == 0 || earlier.cores == row.cores) &&
            (earlier.brandHas[0] == '\0' || std::string(earlier.brandHas) == row.brandHas);
        EXPECT_FALSE(covers) << "never reached: " << earlier.code << " fits first";
      }
    }
  }
}

}  // namespace
}  // namespace tavrin::testing
