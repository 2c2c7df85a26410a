// The processor's decisive rules, grouped: signature, vendor, descriptors, extended leaves,
// model tables, names, frequency.
#include <gtest/gtest.h>

#include "collectors/cpu/cpu_cache.h"
#include "collectors/cpu/cpu_features.h"
#include "collectors/cpu/cpu_identify.h"
#include "collectors/cpu/cpu_models.h"

namespace tavrin::collectors {
namespace {

using platform::CpuidRegisters;

TEST(CpuRules, SignatureAlwaysAddsExtendedFamilyAndModel) {
  const Signature s = DecodeSignature(0x00A70F80);  // a Zen 4 part
  EXPECT_EQ(s.family, 15 + 0x0A);
  EXPECT_EQ(s.model, 0x78);
  EXPECT_EQ(s.stepping, 0);
  // Extended model is combined on family 5 too (the rule does not depend on the family).
  EXPECT_EQ(DecodeSignature(0x00010562).model, 0x16);
  EXPECT_EQ(DecodeSignature(0x00001632).type, 1);  // OverDrive
}

TEST(CpuRules, TopologyFromApicId) {
  EXPECT_EQ(ApicShift(1), 0);
  EXPECT_EQ(ApicShift(16), 4);
  EXPECT_EQ(ApicShift(6), 3);
  // 16 logical per package, APIC id 0x13: logical 3 of package 1.
  const int s = ApicShift(16);
  EXPECT_EQ(0x13 & ((1 << s) - 1), 3);
  EXPECT_EQ(0x13 >> s, 1);
}

TEST(CpuRules, VendorMatchesExactlyFromCpuidAndWithoutCaseFromRegistry) {
  CpuidRegisters leaf0{1, 0x756E6547, 0x6C65746E, 0x49656E69};
  EXPECT_EQ(VendorString(leaf0), "GenuineIntel");
  EXPECT_EQ(VendorFromString("GenuineIntel"), TCpuVendor::cvIntel);
  EXPECT_EQ(VendorFromString("genuineintel"), TCpuVendor::cvUnknown);
  EXPECT_EQ(VendorFromString("genuineintel", true), TCpuVendor::cvIntel);
  EXPECT_EQ(VendorFromString("UMC UMC UMC "), TCpuVendor::cvUMC);
  EXPECT_EQ(VendorFromString("HygonGenuine"), TCpuVendor::cvHygon);
  EXPECT_EQ(RefineVendor(TCpuVendor::cvIDT, 6, "VIA Nano processor L2200@1600MHz"),
            TCpuVendor::cvIDT);
  EXPECT_EQ(RefineVendor(TCpuVendor::cvIDT, 7, "ZHAOXIN KaiSheng KH-40000/16@2.2GHz"),
            TCpuVendor::cvZhaoxin);
  EXPECT_EQ(VendorFromString(""), TCpuVendor::cvUnknown);
}

TEST(CpuRules, DescriptorSlotsAndMatching) {
  uint8_t slots[16] = {};
  // 0x2C and 0x30: 32 KB L1 data and code, 8 ways, 64-byte lines; no unified L1.
  StoreDescriptorSlots(slots, {0x00302C01, 0, 0, 0});
  auto data = MatchDescriptors(slots, CacheKind::kL1Data, 0);
  auto code = MatchDescriptors(slots, CacheKind::kL1Code, 0);
  EXPECT_EQ(data.Size, 32);
  EXPECT_EQ(code.Size, 32);
  EXPECT_EQ(code.Associativity, TCacheAssociativity::ca8Way);
  EXPECT_EQ(code.LineSize, 64);
  EXPECT_EQ(MatchDescriptors(slots, CacheKind::kL1Unified, 0).Size, 0);

  // A register with bit 31 set leaves its slots as they were.
  StoreDescriptorSlots(slots, {0x80FFFFFF, 0, 0, 0});
  EXPECT_EQ(slots[1], 0x2C);

  // 0x43 and 0x7D together: the later row (0x7D) wins.
  uint8_t l2[16] = {};
  StoreDescriptorSlots(l2, {0, 0x00007D43, 0, 0});
  EXPECT_EQ(MatchDescriptors(l2, CacheKind::kL2, 0).Value, 0x7D);
  EXPECT_EQ(MatchDescriptors(l2, CacheKind::kL2, 0).Size, 2048);

  // 0x49: L2 with two cores, L3 on a family 15 part, nothing otherwise.
  uint8_t s49[16] = {};
  StoreDescriptorSlots(s49, {0x49, 0, 0, 0});
  EXPECT_EQ(MatchDescriptors(s49, CacheKind::kL2, ibDuoCore).Size, 4096);
  EXPECT_EQ(MatchDescriptors(s49, CacheKind::kL2, ibDuoCore).Associativity,
            TCacheAssociativity::ca16Way);
  EXPECT_EQ(MatchDescriptors(s49, CacheKind::kL3, ibDuoCore).Size, 0);
  EXPECT_EQ(MatchDescriptors(s49, CacheKind::kL3, ibP4).Size, 4096);
  EXPECT_EQ(MatchDescriptors(s49, CacheKind::kL2, ibP4).Size, 0);
}

TEST(CpuRules, DescriptorTableHasEveryCacheRowOnceExcept0x49) {
  std::size_t count = 0;
  const auto* rows = CacheDescriptorTable(&count);
  EXPECT_EQ(count, 86u);  // the classic 63 and the current manual's 23 more
  for (std::size_t i = 0; i < count; ++i)
    for (std::size_t j = i + 1; j < count; ++j)
      if (rows[i].code == rows[j].code) {
        EXPECT_EQ(rows[i].code, 0x49) << int(rows[i].code);
      }
}

TEST(CpuRules, ExtendedLeafCaches) {
  using enum TCacheAssociativity;
  EXPECT_EQ(ExtendedAssociativity(0x00), caNone);
  EXPECT_EQ(ExtendedAssociativity(0x01), caDirect);
  EXPECT_EQ(ExtendedAssociativity(0x06), ca8Way);
  EXPECT_EQ(ExtendedAssociativity(0x07), ca12Way);
  EXPECT_EQ(ExtendedAssociativity(0x0F), caFull);
  EXPECT_EQ(ExtendedAssociativity(0x03), caNone);
  // 64 KB, 2-way, 64-byte lines: the line size stands where the text says entries.
  const auto code = DecodeExtendedL1(0x40020140, true);
  EXPECT_EQ(code.Descriptor, "Code L1 cache, 64K, 2-Way, 64 entries");
  EXPECT_EQ(code.Value, 255);
  // AMD family 6 is always 16-way; Via keeps its L2 size in bits 31..24.
  EXPECT_EQ(DecodeExtendedL2(0x01004040, TCpuVendor::cvAmd, 6).Associativity, ca16Way);
  EXPECT_EQ(DecodeExtendedL2(0x01004040, TCpuVendor::cvAmd, 6).Size, 256);
  EXPECT_EQ(DecodeExtendedL2(0x40004040, TCpuVendor::cvIDT, 6).Size, 64);
}

TEST(CpuRules, DeterministicCacheParameters) {
  // Leaf 4 of a 12th-gen Core: 48 KB L1 data (12 ways, 64 sets), 1280 KB L2.
  const auto caches = DecodeDeterministicCaches({{0x3C004121, 0x02C0003F, 0x0000003F, 0},
                                                 {0x3C004143, 0x0240003F, 0x000007FF, 0},
                                                 {0, 0, 0, 0}});
  ASSERT_EQ(caches.size(), 2u);
  EXPECT_EQ(caches[0].sizeBytes, 48u * 1024);
  EXPECT_EQ(caches[0].ways, 12u);
  EXPECT_EQ(caches[0].type, "Data");
  EXPECT_EQ(caches[1].level, 2);
  EXPECT_EQ(caches[1].sizeBytes, 1280u * 1024);
  EXPECT_EQ(caches[1].sharedBy, 2u);
}

TEST(CpuRules, FeatureSets) {
  FeatureRegisters regs;
  regs.standard.edx = 1;  // FPU
  regs.extended.edx = 1u << 30;
  const auto set1 = DecodeFeatureSet(1, TCpuVendor::cvIntel, regs);
  const auto set3 = DecodeFeatureSet(3, TCpuVendor::cvIntel, regs);
  EXPECT_EQ(set1.Features(0).name, "FPU");
  EXPECT_TRUE(set1.Features(0).available);
  EXPECT_EQ(set3.Features(0).name, "FPU");  // a record of its own in set 3
  EXPECT_FALSE(set3.Features(0).available);
  EXPECT_EQ(set3.FeatureByBit(30).name, "IA-64");
  EXPECT_TRUE(set3.FeatureByBit(30).available);
  // Vendor class 0: each record is rewritten from the last row of its bit, so set 3's IA-64
  // becomes a second 3DNOW+.
  const auto other = DecodeFeatureSet(3, TCpuVendor::cvIDT, regs);
  EXPECT_EQ(other.FeatureByBit(30).name, "3DNOW+");
  EXPECT_EQ(DecodeFeatureSet(5, TCpuVendor::cvAmd, regs).Count(), 7u);
  EXPECT_EQ(DecodeFeatureSet(9 - 7, TCpuVendor::cvAmd, {}).FeatureByBit(99).name, "");
}

TEST(CpuRules, IntelBrandTable) {
  EXPECT_EQ(IntelBrandFromBrand(3, 6, 8, 0, 256, 0), ibXeon);
  EXPECT_EQ(IntelBrandFromBrand(3, 6, 8, 0, 128, 0), ibCeleron);
  EXPECT_EQ(IntelBrandFromBrand(8, 15, 2, 4, 512, 0), ibCeleron | ibMobile);
  EXPECT_EQ(IntelBrandFromBrand(11, 15, 2, 0, 512, 1024), ibXeon | ibMP);
  EXPECT_EQ(IntelBrandFromBrand(24, 15, 2, 0, 512, 0), 0);
}

TEST(CpuRules, ModelTables) {
  ModelInputs in;
  // Intel 6.8 with brand 3 and 256 KB L2.
  in.family = 6, in.model = 8, in.brand = 3, in.l2KB = 256;
  EXPECT_EQ(IntelModel(in), (ModelNames{"Pentium III Xeon", "Cascades", "", "0.18 µm"}));
  // Intel 6.15 with 4 MB L2 and no Xeon: no code name from the table.
  in = {};
  in.family = 6, in.model = 15, in.l2KB = 4096;
  EXPECT_EQ(IntelModel(in).code, "");
  // Family 15 model 2 on two packages without brand bits: Pentium 4 Xeon, Northwood.
  in = {};
  in.family = 15, in.model = 2, in.physicalCount = 2, in.l2KB = 512;
  EXPECT_EQ(IntelModel(in).name, "Pentium 4 Xeon");
  EXPECT_EQ(IntelModel(in).code, "Northwood");
  // AMD 15.5, brand 0x64, stepping 0: " UP1-46".
  in = {};
  in.family = 15, in.model = 5, in.brand = 0x64;
  EXPECT_EQ(AmdModel(in).revision, " UP1-46");
  // AMD 15.11 dual core on a 64-bit system: the brand's name with " X2" and " 64".
  in = {};
  in.family = 15, in.model = 11, in.modelEx = 75, in.corePerPackage = 2, in.architecture = 9;
  in.marketingName = "AMD Athlon(tm) Dual Core Processor 4050e";
  EXPECT_EQ(AmdModel(in).name, "Athlon Dual Core X2 64");
  EXPECT_EQ(AmdModel(in).code, "Windsor");
  // Cyrix 6.0 by frequency, IDT 6.7 by stepping, and nothing for an unlisted model.
  in = {};
  in.family = 6, in.frequency = 300;
  EXPECT_EQ(CyrixModel(in).name, "M-II");
  in.model = 7, in.stepping = 8;
  EXPECT_EQ(IdtModel(in), (ModelNames{"VIA C3 C5C", "Ezra", "", "0.13µm"}));
  in.model = 42;
  EXPECT_EQ(LookupModel(TCpuVendor::cvIntel, in), ModelNames{});
  EXPECT_EQ(LookupModel(TCpuVendor::cvUnknown, in), ModelNames{});
}

TEST(CpuRules, NamesFromTheBrandString) {
  const std::string name =
      DeriveIntelName("Intel(R) Core(TM)2 Duo CPU     E6600  @ 2.40GHz", false);
  EXPECT_EQ(name, "Core 2 Duo E6600");
  EXPECT_EQ(IntelCodeNameFromFragments(name), "Conroe");
  EXPECT_EQ(IntelCodeNameFromFragments("Core 2 Quad Q6600"), "Kentsfield");
  EXPECT_EQ(DeriveIntelName("Intel(R) Pentium(R) M processor 1.60GHz", true), "Mobile Pentium M");
  EXPECT_EQ(DeriveAmdName("AMD Athlon(tm) 64 X2 Dual Core Processor 4200+"),
            "Athlon 64 X2 Dual Core");
  EXPECT_EQ(DeriveAmdName("AMD Ryzen 9 7900X 12-Core Processor"), "Ryzen 9 7900X 12-Core");
  EXPECT_EQ(DeriveAmdName("AMD FX(tm)-9590 Eight-Core Processor"), "FX-9590 Eight-Core");
  // "processor" in any case ends the name before a clock; before a model number only the word
  // goes.
  EXPECT_EQ(DeriveIntelName("Intel(R) Xeon(R) Processor", false), "Xeon");
  EXPECT_EQ(DeriveIntelName("Intel(R) Xeon(R) Processor E5-2680 v4", false), "Xeon E5-2680 v4");
  EXPECT_EQ(DeriveCentaurName("VIA Nano processor L2200@1600MHz", false), "VIA Nano L2200");
  EXPECT_EQ(DeriveCentaurName("VIA C7-M Processor 1200MHz", false), "VIA C7-M");
  EXPECT_EQ(DeriveCentaurName("ZHAOXIN KaiSheng KH-40000/16@2.2GHz", true),
            "Zhaoxin KaiSheng KH-40000/16");
  EXPECT_NE(FindGenericBrand("QEMU Virtual CPU version 2.5+"), nullptr);
  EXPECT_EQ(FindGenericBrand("Intel(R) Xeon(R) Processor E5-2680 v4"), nullptr);
  EXPECT_EQ(TrimBrand(std::string("  VIA Samuel\0 M\0", 16)), "VIA Samuel");
  EXPECT_EQ(TrimBrand(std::string("\0\0  Pentium(R) 4 \x01", 18)), "Pentium(R) 4");
}

TEST(CpuRules, SerialNumberText) {
  EXPECT_EQ(SerialNumberText({0x00090672, 0x00200800, 0x7FFAFBBF, 0xBFEBFBFF}, false),
            "0009-0672-BFEB-FBFF-7FFA-FBBF");
  EXPECT_EQ(SerialNumberText({0, 0x12345678, 0, 0}, true), "1234-5678");
}

TEST(CpuRules, FrequencyNormalisation) {
  EXPECT_EQ(SnapFrequency(2394), 2390u);
  EXPECT_EQ(SnapFrequency(2997), 3000u);
  EXPECT_EQ(SnapFrequency(1466), 1466u);
  EXPECT_EQ(SnapFrequency(2425), 2420u);
  EXPECT_EQ(SnapFrequency(2410), 2420u);  // ties go up
  // 2399.6 cycles per µs rounds to 2400; .55 rounds up through the hundredths rule.
  EXPECT_EQ(NormaliseMeasured(23996, 10), 2400u);
  EXPECT_EQ(NormaliseMeasured(100555, 100), 1006u);
  EXPECT_EQ(NormaliseMeasured(1000, 0), 0u);
  EXPECT_FALSE(FdivFlawed());
}

TEST(CpuRules, Hypervisors) {
  EXPECT_EQ(HypervisorName({0x40000001, 0x4B4D564B, 0x564B4D56, 0x0000004D}), "KVM");
  EXPECT_EQ(HypervisorName({0x4000000B, 0x7263694D, 0x666F736F, 0x76482074}), "Microsoft Hyper-V");
  EXPECT_EQ(HypervisorName({0x40000001, 0x41414141, 0x41414141, 0x41414141}), "AAAAAAAAAAAA");
  EXPECT_EQ(CoreTypeName(0x40), "Performance (Core)");
  EXPECT_EQ(CoreTypeName(0x20), "Efficiency (Atom)");
}

}  // namespace
}  // namespace tavrin::collectors
