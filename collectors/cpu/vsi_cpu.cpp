#include "collectors/cpu/vsi_cpu.h"

#include <cstdio>

#include "collectors/cpu/cpu_cache.h"
#include "collectors/cpu/cpu_features.h"
#include "collectors/cpu/cpu_identify.h"
#include "collectors/cpu/cpu_models.h"
#include "helpers/debug_log.h"

namespace tavrin::collectors {

using platform::CpuidRegisters;
using platform::ProcessorPin;
using platform::ProcessorService;
using enum TCpuVendor;

namespace {

uint32_t Ways(TCacheAssociativity a) {
  static const uint32_t kWays[] = {0, 1, 2, 4, 8, 12, 16, 0, 6};
  return kWays[static_cast<std::size_t>(a)];
}

// Processors without deterministic cache parameters list their caches as the descriptor or
// extended-leaf decoding found them.
std::vector<CacheLevelInfo> CachesFromClassicDecoding(const TCPUCache& cache) {
  std::vector<CacheLevelInfo> out;
  auto add = [&out](int level, const char* type, const TCPUCacheDetails& c) {
    if (c.Size <= 0) return;
    CacheLevelInfo info;
    info.level = level;
    info.type = type;
    info.sizeBytes = static_cast<uint64_t>(c.Size) * 1024;
    info.fullyAssociative = c.Associativity == TCacheAssociativity::caFull;
    info.ways = Ways(c.Associativity);
    info.lineSize = static_cast<uint32_t>(c.LineSize);
    out.push_back(info);
  };
  add(1, "Data", cache.Level1.Data);
  add(1, "Instruction", cache.Level1.Code);
  add(1, "Unified", cache.Level1.Unified);
  add(2, "Unified", cache.Level2);
  add(3, "Unified", cache.Level3);
  return out;
}

uint8_t Byte(uint32_t v) {
  return static_cast<uint8_t>(v > 255 ? 255 : v);
}

void LogRegisters(const char* format, const CpuidRegisters& r) {
  helpers::DebugLogFmt(format, r.eax, r.ebx, r.ecx, r.edx);
}

}  // namespace

TVexa_CPU::TVexa_CPU(std::shared_ptr<const platform::Services> services)
    : TVexa_VSIC_Component("TVexa_CPU", "CPU", std::move(services)),
      cache_(std::make_unique<TCPUCache>()),
      features_(std::make_unique<TCPUFeatures>()) {
  ReadSystemInfo();
  if (const auto* cpu = Platform().processor.get()) CountTopology(*cpu);
}

TVexa_CPU::~TVexa_CPU() = default;

void TVexa_CPU::ReadSystemInfo() {
  cpu_count_ = 1;
  const auto* cpu = Platform().processor.get();
  if (!cpu) return;
  if (auto info = cpu->SystemInfo()) {
    architecture_ = info->architecture;
    cpu_count_ = Byte(info->processorCount);
    os_level_ = info->level;
    os_revision_ = info->revision;
  }
}

void TVexa_CPU::ClearValues() {
  *cache_ = TCPUCache{};
  *features_ = TCPUFeatures{};
  cpuid_supported_ = false;
  vendor_ = cvNone;
  cpu_type_ = family_ = model_ = stepping_ = 0;
  family_ex_ = model_ex_ = stepping_ex_ = brand_ = 0;
  intel_brand_ = 0;
  generic_name_.clear();
  marketing_name_.clear();
  cpu_name_.clear();
  code_name_.clear();
  revision_.clear();
  technology_.clear();
  frequency_ = 0;
  frequency_source_ = platform::Provenance::Failure(platform::Status::NotSupported,
                                                    "time-stamp counter", "no processor data");
  fdiv_bug_ = false;
  serial_number_.clear();
  apic_id_ = logical_per_package_ = core_per_package_ = logical_per_core_ = 0;
  physical_id_ = logical_id_ = 0;
  std_regs_ = ext_regs_ = power_regs_ = {};
  cache_details_.clear();
  extensions_.clear();
  core_types_.clear();
  package_cores_ = package_threads_ = 0;
  hypervisor_.clear();
  under_hypervisor_ = names_from_virtual_signature_ = false;
  vendor_text_.clear();
}

void TVexa_CPU::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  ClearValues();
  const ProcessorService* cpu = Platform().processor.get();
  source_ = cpu ? platform::Provenance::Answered("CPUID")
                : platform::Provenance::Failure(platform::Status::NotSupported, "CPUID",
                                                "no processor data in this source");

  ReadSystemInfo();
  if (cpu) CountTopology(*cpu);
  helpers::DebugLogFmt("VSI_CPU. CPU Logical Count: %u", cpu_count_);
  helpers::DebugLogFmt("VSI_CPU. CPU Physical Count: %u", cpu_physical_count_);

  if (cpu) {
    // One pin for the whole identification: the steps' own pins then find the thread where
    // they want it and cost no further moves.
    ProcessorPin pin(*cpu, cpu_index_);
    cpuid_supported_ = cpu->IsCPUIDAvailable();
    if (cpuid_supported_) {
      Identify(*cpu);
      DecodeCaches(*cpu);
      DecodeFeatures(*cpu);
      DecodeModern(*cpu);
      if (cache_details_.empty()) cache_details_ = CachesFromClassicDecoding(*cache_);
      // Serial number text from a fresh leaf 1.
      serial_number_ = SerialNumberText(cpu->ExecuteCPUID(1), vendor_ == cvTransmeta);
    }
    MeasureFrequency(*cpu);
  }
  if (!cpuid_supported_) {
    FillFromRegistry();
    FillFromKernel();
  }

  ApplyNames();
  helpers::DebugLogFmt("VSI_CPU. Name: %s", cpu_name_.c_str());
  helpers::DebugLogFmt("VSI_CPU. Code: %s", code_name_.c_str());
  helpers::DebugLogFmt("VSI_CPU. Rev : %s", revision_.c_str());
  helpers::DebugLogFmt("VSI_CPU. Tech: %s", technology_.c_str());
  helpers::DebugLogFmt("VSI_CPU. L1Cache code: %d", cache_->Level1.Code.Size);
  helpers::DebugLogFmt("VSI_CPU. L1Cache data: %d", cache_->Level1.Data.Size);
  helpers::DebugLogFmt("VSI_CPU. L2Cache     : %d", cache_->Level2.Size);
  helpers::DebugLogFmt("VSI_CPU. L3Cache     : %d", cache_->Level3.Size);
  fdiv_bug_ = FdivFlawed();
}

// Steps 4 to 11: vendor, signature, brand, topology, cores, brand string, extended signature.
void TVexa_CPU::Identify(const ProcessorService& cpu) {
  ProcessorPin pin(cpu, cpu_index_);
  vendor_ = VendorFromString(VendorString(cpu.ExecuteCPUID(0)));
  if (cpu.IsLeafSupported(1)) {
    const auto leaf1 = cpu.ExecuteCPUID(1);
    LogRegisters("VSI_CPU. CPUID STD: %.8x %.8x %.8x %.8x", leaf1);
    const Signature sig = DecodeSignature(leaf1.eax);
    cpu_type_ = sig.type;
    family_ = sig.family;
    model_ = sig.model;
    stepping_ = sig.stepping;

    if (vendor_ == cvAmd && family_ == 15 && model_ >= 5 && leaf1.ebx == 0) {
      const auto ext = cpu.ExecuteCPUID(0x80000001);
      LogRegisters("VSI_CPU. CPUID EXT: %.8x %.8x %.8x %.8x", ext);
      brand_ = static_cast<int32_t>(ext.ebx & 0xFF);
    } else {
      brand_ = static_cast<int32_t>(leaf1.ebx & 0xFF);
    }

    char text[96];
    if (architecture_ == platform::kArchIa64)
      std::snprintf(text, sizeof text, "ia64 Family %d Model %d Stepping %d", os_level_,
                    os_revision_ >> 8, os_revision_ & 0xFF);
    else
      std::snprintf(text, sizeof text, "x86 Family %d Model %d Stepping %d", family_, model_,
                    stepping_);
    generic_name_ = text;

    if ((leaf1.edx >> 28) & 1) {
      apic_id_ = static_cast<uint8_t>(leaf1.ebx >> 24);
      logical_per_package_ = static_cast<uint8_t>(leaf1.ebx >> 16);
    } else {
      apic_id_ = 255;
      logical_per_package_ = 1;
    }
    const int s = ApicShift(logical_per_package_);
    logical_id_ = static_cast<uint8_t>(apic_id_ & ((1u << s) - 1));
    physical_id_ = static_cast<uint8_t>(apic_id_ >> s);
    helpers::DebugLogFmt("VSI_CPU. APIC ID: %4X", apic_id_);
    helpers::DebugLogFmt("VSI_CPU. Logical per Package: %u", logical_per_package_);
    helpers::DebugLogFmt("VSI_CPU. Logical ID : %u", logical_id_);
    helpers::DebugLogFmt("VSI_CPU. Physical ID: %u", physical_id_);

    core_per_package_ = 1;
    if (vendor_ == cvIntel && cpu.IsLeafSupported(4)) {
      // Leaf 4's core field is the same on every sub-leaf; sub-leaf 1 is what is asked.
      const auto leaf4 = cpu.ExecuteCPUID(4, 1);
      core_per_package_ = static_cast<uint8_t>(((leaf4.eax >> 26) & 0x3F) + 1);
      if (core_per_package_ == 2)
        intel_brand_ |= ibDuoCore;
      else if (family_ == 15)
        intel_brand_ |= ibP4;
    } else if (vendor_ == cvAmd && cpu.IsLeafSupported(0x80000008)) {
      core_per_package_ = static_cast<uint8_t>((cpu.ExecuteCPUID(0x80000008).ecx & 0xFF) + 1);
    }
    logical_per_core_ = static_cast<uint8_t>(logical_per_package_ / core_per_package_);
    helpers::DebugLogFmt("VSI_CPU. Cores per Package: %u", core_per_package_);
    helpers::DebugLogFmt("VSI_CPU. Logical per Core : %u", logical_per_core_);
  }

  if (vendor_ != cvTransmeta) {
    std::string raw;
    auto append = [&raw](const CpuidRegisters& r) {
      for (uint32_t v : {r.eax, r.ebx, r.ecx, r.edx})
        for (int b = 0; b < 4; ++b) raw += static_cast<char>((v >> (8 * b)) & 0xFF);
    };
    if (cpu.IsLeafSupported(0x80000002) && cpu.IsLeafSupported(0x80000004)) {
      for (uint32_t leaf = 0x80000002; leaf <= 0x80000004; ++leaf) append(cpu.ExecuteCPUID(leaf));
    } else if (cpu.IsLeafSupported(0x80860003) && cpu.IsLeafSupported(0x80860006)) {
      for (uint32_t leaf = 0x80860003; leaf <= 0x80860006; ++leaf) append(cpu.ExecuteCPUID(leaf));
    }
    marketing_name_ = TrimBrand(raw);
  }
  helpers::DebugLogFmt("VSI_CPU. Marketing Name: %s", marketing_name_.c_str());
  if (cpu.IsLeafSupported(0x80000001)) {
    const auto ext = cpu.ExecuteCPUID(0x80000001);
    LogRegisters("VSI_CPU. CPUID EXT: %.8x %.8x %.8x %.8x", ext);
    family_ex_ = static_cast<int32_t>((ext.eax >> 8) & 0xF);
  }
  model_ex_ = os_revision_ / 256;
  stepping_ex_ = os_revision_ % 256;
  helpers::DebugLogFmt("VSI_CPU. Family\\Model\\Stepping: %u\\%u\\%u", family_, model_, stepping_);
  helpers::DebugLogFmt("VSI_CPU. Family\\Model\\Stepping Ex: %u\\%u\\%u", family_ex_, model_ex_,
                       stepping_ex_);
}

void TVexa_CPU::DecodeCaches(const ProcessorService& cpu) {
  ProcessorPin pin(cpu, cpu_index_);
  TCPUCache result;
  const bool extended = VendorInfo(vendor_).extendedCacheMethod;
  // Fresh registers per level: leaf 2 (executed twice, the second answer counts) on Intel,
  // the extended leaves on the other descriptor vendors.
  auto descriptor_regs = [&](uint32_t otherLeaf) {
    if (vendor_ == cvIntel) {
      cpu.ExecuteCPUID(2);
      return cpu.ExecuteCPUID(2);
    }
    return cpu.ExecuteCPUID(otherLeaf);
  };
  if (extended) {
    const auto l1 = cpu.ExecuteCPUID(0x80000005);
    LogRegisters("VSI_CPU. Cache level1 detect ext. Cpuid: %.8x %.8x %.8x %.8x", l1);
    result.Level1.Code = DecodeExtendedL1(l1.edx, true);
    result.Level1.Data = DecodeExtendedL1(l1.ecx, false);
    const auto l2 = cpu.ExecuteCPUID(0x80000006);
    LogRegisters("VSI_CPU. Cache level2 detect ext. Cpuid: %.8x %.8x %.8x %.8x", l2);
    result.Level2 = DecodeExtendedL2(l2.ecx, vendor_, family_);
  } else {
    auto regs = descriptor_regs(0x80000005);
    LogRegisters("VSI_CPU. Cache level1 detect std. Cpuid: %.8x %.8x %.8x %.8x", regs);
    StoreDescriptorSlots(descriptor_slots_, regs);
    result.Level1.Code = MatchDescriptors(descriptor_slots_, CacheKind::kL1Code, intel_brand_);
    result.Level1.Data = MatchDescriptors(descriptor_slots_, CacheKind::kL1Data, intel_brand_);
    result.Level1.Unified =
        MatchDescriptors(descriptor_slots_, CacheKind::kL1Unified, intel_brand_);
    regs = descriptor_regs(0x80000006);
    LogRegisters("VSI_CPU. Cache level2 detect std. Cpuid: %.8x %.8x %.8x %.8x", regs);
    StoreDescriptorSlots(descriptor_slots_, regs);
    result.Level2 = MatchDescriptors(descriptor_slots_, CacheKind::kL2, intel_brand_);
    regs = descriptor_regs(0x80000006);
    LogRegisters("VSI_CPU. Cache level3 detect std. Cpuid: %.8x %.8x %.8x %.8x", regs);
    StoreDescriptorSlots(descriptor_slots_, regs);
    result.Level3 = MatchDescriptors(descriptor_slots_, CacheKind::kL3, intel_brand_);
    regs = descriptor_regs(0x80000006);
    LogRegisters("VSI_CPU. Cache trace detect std.  Cpuid: %.8x %.8x %.8x %.8x", regs);
    StoreDescriptorSlots(descriptor_slots_, regs);
    result.Trace = MatchDescriptors(descriptor_slots_, CacheKind::kTrace, intel_brand_);
  }
  *cache_ = std::move(result);
}

void TVexa_CPU::DecodeFeatures(const ProcessorService& cpu) {
  ProcessorPin pin(cpu, cpu_index_);
  if (cpu.IsLeafSupported(1)) std_regs_ = cpu.ExecuteCPUID(1);
  if (cpu.IsLeafSupported(0x80000001)) ext_regs_ = cpu.ExecuteCPUID(0x80000001);
  if (cpu.IsLeafSupported(0x80000007)) power_regs_ = cpu.ExecuteCPUID(0x80000007);
  const FeatureRegisters regs{std_regs_, ext_regs_, power_regs_};
  TCPUFeatures f;
  f.Standard1 = DecodeFeatureSet(1, vendor_, regs);
  f.Standard2 = DecodeFeatureSet(2, vendor_, regs);
  f.Extended1 = DecodeFeatureSet(3, vendor_, regs);
  f.Extended2 = DecodeFeatureSet(4, vendor_, regs);
  f.PowerManagement = DecodeFeatureSet(5, vendor_, regs);
  *features_ = std::move(f);
}

// Step 15: brand attributes, the vendor's model routine, names from the brand string.
void TVexa_CPU::ApplyNames() {
  intel_brand_ =
      static_cast<TIntelBrands>((intel_brand_ & (ibDuoCore | ibP4)) |
                                IntelBrandFromBrand(brand_, family_, model_, stepping_,
                                                    cache_->Level2.Size, cache_->Level3.Size));
  if (core_per_package_ == 2) intel_brand_ |= ibDuoCore;
  if (family_ == 15) intel_brand_ |= ibP4;
  cpu_name_.clear();
  code_name_.clear();
  revision_.clear();
  technology_.clear();
  if (vendor_ == cvNone || vendor_ == cvUnknown) return;

  ModelInputs in;
  in.family = family_;
  in.model = model_;
  in.stepping = stepping_;
  in.cpuType = cpu_type_;
  in.brand = brand_;
  in.intelBrand = intel_brand_;
  in.familyEx = family_ex_;
  in.modelEx = model_ex_;
  in.architecture = architecture_;
  in.corePerPackage = core_per_package_;
  in.physicalCount = cpu_physical_count_;
  in.frequency = frequency_;
  in.marketingName = marketing_name_;
  in.l2KB = cache_->Level2.Size;
  in.l3KB = cache_->Level3.Size;
  in.features = features_.get();
  const ModelNames names = LookupModel(vendor_, in);
  cpu_name_ = names.name;
  code_name_ = names.code;
  revision_ = names.revision;
  technology_ = names.technology;
  // A hypervisor passes whatever family and model it likes; what the tables found from them is
  // marked as reported by it, since the host's processor may be another one.
  names_from_virtual_signature_ =
      under_hypervisor_ && !(names.name.empty() && names.code.empty() && names.technology.empty());

  if (vendor_ == cvIntel) {
    if (cpu_name_.empty()) cpu_name_ = DeriveIntelName(marketing_name_, intel_brand_ & ibMobile);
    if (code_name_.empty()) code_name_ = IntelCodeNameFromFragments(cpu_name_);
  } else if (vendor_ == cvAmd && cpu_name_.empty()) {
    cpu_name_ = DeriveAmdName(marketing_name_);
  }
}

}  // namespace tavrin::collectors
