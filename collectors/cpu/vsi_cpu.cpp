#include "collectors/cpu/vsi_cpu.h"

#include <algorithm>
#include <cstdio>

#include "collectors/cpu/cpu_cache.h"
#include "collectors/cpu/cpu_features.h"
#include "collectors/cpu/cpu_identify.h"
#include "collectors/cpu/cpu_models.h"
#include "collectors/cpu/cpu_topology.h"
#include "helpers/debug_log.h"

namespace tavrin::collectors {

using platform::CpuidRegisters;
using platform::ProcessorService;
using enum TCpuVendor;

namespace {

uint8_t Byte(uint32_t v) {
  return static_cast<uint8_t>(v > 255 ? 255 : v);
}

void LogRegisters(const char* format, const CpuidRegisters& r) {
  helpers::DebugLogFmt(format, r.eax, r.ebx, r.ecx, r.edx);
}

}  // namespace

// The constructor only keeps the services: everything is read in RefreshData, inside the
// gathering's time limit.
TVexa_CPU::TVexa_CPU(std::shared_ptr<const platform::Services> services)
    : TVexa_VSIC_Component("TVexa_CPU", "CPU", std::move(services)),
      cache_(std::make_unique<TCPUCache>()),
      features_(std::make_unique<TCPUFeatures>()) {}

TVexa_CPU::~TVexa_CPU() = default;

void TVexa_CPU::ClearValues() {
  *cache_ = TCPUCache{};
  *features_ = TCPUFeatures{};
  architecture_ = 0;
  os_level_ = os_revision_ = 0;
  cpu_count_ = cpu_physical_count_ = 1;
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
  std::fill(std::begin(descriptor_slots_), std::end(descriptor_slots_), 0);
  cache_details_.clear();
  extensions_.clear();
  core_types_.clear();
  package_cores_ = package_threads_ = threads_per_core_ = leaf4_cores_ = 0;
  generic_name_giver_.clear();
  hypervisor_.clear();
  under_hypervisor_ = names_from_virtual_signature_ = popular_from_virtual_signature_ = false;
  vendor_text_.clear();
  raw_ = CpuRawRecord{};
}

void TVexa_CPU::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  ClearValues();
  const ProcessorService* cpu = Platform().processor.get();
  source_ = cpu ? platform::Provenance::Answered("CPUID")
                : platform::Provenance::Failure(platform::Status::NotSupported, "CPUID",
                                                "no processor data in this source");
  if (cpu) ReadRaw(*cpu);
  Decode();
  helpers::DebugLogFmt("VSI_CPU. CPU Logical Count: %u", cpu_count_);
  helpers::DebugLogFmt("VSI_CPU. CPU Physical Count: %u", cpu_physical_count_);
  if (cpu) MeasureFrequency(*cpu);
  if (!cpuid_supported_) {
    FillFromRegistry();
    FillFromKernel();
  }

  ApplyNames();
  helpers::DebugLogFmt("VSI_CPU. Name: %s", cpu_name_.c_str());
  helpers::DebugLogFmt("VSI_CPU. Code: %s", code_name_.c_str());
  helpers::DebugLogFmt("VSI_CPU. Rev : %s", revision_.c_str());
  helpers::DebugLogFmt("VSI_CPU. Tech: %s", technology_.c_str());
  const auto rows = SystemDevicesCacheKB();
  helpers::DebugLogFmt("VSI_CPU. L1Cache code+data: %llu",
                       static_cast<unsigned long long>(rows[0]));
  helpers::DebugLogFmt("VSI_CPU. L2Cache     : %llu", static_cast<unsigned long long>(rows[1]));
  helpers::DebugLogFmt("VSI_CPU. L3Cache     : %llu", static_cast<unsigned long long>(rows[2]));
  fdiv_bug_ = FdivFlawed();
}

void TVexa_CPU::ReadRaw(const ProcessorService& cpu) {
  if (auto info = cpu.SystemInfo()) raw_.system = *info;
  auto kernel = cpu.KernelRecord();
  raw_.kernelSource = kernel.source;
  if (kernel) raw_.kernel = *kernel;
  if (!cpu.IsCPUIDAvailable()) return;
  // Each processor once, pinned to it: its leaves go into the record as they are.
  const int wanted = platform::EffectivePinIndex(cpu_index_, raw_.system.processorCount);
  for (uint32_t i = 0; i < raw_.system.processorCount; ++i) {
    const platform::PinState state = cpu.PinCallingThread(i);
    if (!state.pinned) continue;  // outside this process's allowed processors
    struct Restore {
      const ProcessorService& cpu;
      const platform::PinState& state;
      ~Restore() { cpu.RestoreCallingThread(state); }
    } restore{cpu, state};
    if (static_cast<int>(i) == wanted) raw_.examined = static_cast<unsigned>(raw_.cpus.size());
    raw_.cpus.push_back(cpu.ReadLeaves());
  }
  // A source that cannot pin (or an index 32 and above) still has the processor it runs on.
  if (raw_.cpus.empty()) raw_.cpus.push_back(cpu.ReadLeaves());
  std::erase_if(raw_.cpus, [](const platform::LogicalCpuDump& d) { return d.empty(); });
  if (raw_.examined >= raw_.cpus.size()) raw_.examined = 0;
}

void TVexa_CPU::Decode() {
  architecture_ = raw_.system.architecture;
  cpu_count_ = Byte(raw_.system.processorCount);
  os_level_ = raw_.system.level;
  os_revision_ = raw_.system.revision;
  cpuid_supported_ = !raw_.cpus.empty();
  if (!cpuid_supported_) return;
  const CpuidLeaves leaves(raw_.cpus[raw_.examined]);
  Identify(leaves);
  ApplyTopology();
  DecodeCaches(leaves);
  DecodeFeatures(leaves);
  DecodeModern(leaves);
  if (leaves.Supported(1)) serial_number_ = SerialNumberText(leaves.Get(1), vendor_ == cvTransmeta);
}

// Vendor, signature, brand index, generic name, brand string, extended signature.
void TVexa_CPU::Identify(const CpuidLeaves& leaves) {
  vendor_ = VendorFromString(VendorString(leaves.Get(0)));
  if (leaves.Supported(1)) {
    const auto leaf1 = leaves.Get(1);
    LogRegisters("VSI_CPU. CPUID STD: %.8x %.8x %.8x %.8x", leaf1);
    const Signature sig = DecodeSignature(leaf1.eax);
    cpu_type_ = sig.type;
    family_ = sig.family;
    model_ = sig.model;
    stepping_ = sig.stepping;
    if (vendor_ == cvAmd && family_ == 15 && model_ >= 5 && leaf1.ebx == 0)
      brand_ = static_cast<int32_t>(leaves.Get(0x80000001).ebx & 0xFF);
    else
      brand_ = static_cast<int32_t>(leaf1.ebx & 0xFF);
    char text[96];
    if (architecture_ == platform::kArchIa64)
      std::snprintf(text, sizeof text, "ia64 Family %d Model %d Stepping %d", os_level_,
                    os_revision_ >> 8, os_revision_ & 0xFF);
    else
      std::snprintf(text, sizeof text, "x86 Family %d Model %d Stepping %d", family_, model_,
                    stepping_);
    generic_name_ = text;
  }
  if (vendor_ != cvTransmeta) {
    std::string raw;
    auto append = [&raw](const CpuidRegisters& r) {
      for (uint32_t v : {r.eax, r.ebx, r.ecx, r.edx})
        for (int b = 0; b < 4; ++b) raw += static_cast<char>((v >> (8 * b)) & 0xFF);
    };
    if (leaves.Supported(0x80000002) && leaves.Supported(0x80000004)) {
      for (uint32_t leaf = 0x80000002; leaf <= 0x80000004; ++leaf) append(leaves.Get(leaf));
    } else if (leaves.Supported(0x80860003) && leaves.Supported(0x80860006)) {
      for (uint32_t leaf = 0x80860003; leaf <= 0x80860006; ++leaf) append(leaves.Get(leaf));
    }
    marketing_name_ = TrimBrand(raw);
  }
  helpers::DebugLogFmt("VSI_CPU. Marketing Name: %s", marketing_name_.c_str());
  vendor_ = RefineVendor(vendor_, family_, marketing_name_);
  if (leaves.Supported(0x80000001))
    family_ex_ = static_cast<int32_t>((leaves.Get(0x80000001).eax >> 8) & 0xF);
  model_ex_ = os_revision_ / 256;
  stepping_ex_ = os_revision_ % 256;
  helpers::DebugLogFmt("VSI_CPU. Family\\Model\\Stepping: %u\\%u\\%u", family_, model_, stepping_);
  helpers::DebugLogFmt("VSI_CPU. Family\\Model\\Stepping Ex: %u\\%u\\%u", family_ex_, model_ex_,
                       stepping_ex_);
}

// Packages, cores and threads as the processors give them (not the maximum addressable ids).
void TVexa_CPU::ApplyTopology() {
  const CpuTopology t = DecodeTopology(raw_, vendor_);
  cpu_physical_count_ = Byte(std::max<uint32_t>(t.packages, 1));
  apic_id_ = t.apicId;
  physical_id_ = t.physicalId;
  logical_id_ = t.logicalId;
  package_cores_ = t.coresPerPackage;
  package_threads_ = t.threadsPerPackage;
  threads_per_core_ = t.threadsPerCoreMax;
  core_types_ = t.coreTypes;
  core_per_package_ = Byte(t.coresPerPackage);
  logical_per_package_ = Byte(t.threadsPerPackage);
  logical_per_core_ =
      static_cast<uint8_t>(logical_per_package_ / std::max<uint8_t>(core_per_package_, 1));
  leaf4_cores_ = t.leaf4Cores;
  // Descriptor 0x49 is an L2 on a two-core Core 2 and an L3 on a Pentium 4 Xeon; the leaf 4 core
  // count tells them apart, as it always has.
  if (vendor_ == cvIntel && t.leaf4Cores == 2)
    intel_brand_ |= ibDuoCore;
  else if (vendor_ == cvIntel && t.leaf4Cores != 0 && family_ == 15)
    intel_brand_ |= ibP4;
  helpers::DebugLogFmt("VSI_CPU. APIC ID: %4X", apic_id_);
  helpers::DebugLogFmt("VSI_CPU. Topology from %s", t.method.c_str());
  helpers::DebugLogFmt("VSI_CPU. Logical per Package: %u", logical_per_package_);
  helpers::DebugLogFmt("VSI_CPU. Cores per Package: %u", core_per_package_);
  helpers::DebugLogFmt("VSI_CPU. Logical per Core : %u", logical_per_core_);
}

void TVexa_CPU::DecodeCaches(const CpuidLeaves& leaves) {
  TCPUCache result;
  const bool extended = VendorInfo(vendor_).extendedCacheMethod;
  // Leaf 2 on Intel (a dump holds its one answer), the extended leaves on the other
  // descriptor vendors.
  auto descriptor_regs = [&](uint32_t otherLeaf) {
    return vendor_ == cvIntel ? leaves.Get(2) : leaves.Get(otherLeaf);
  };
  if (extended) {
    const auto l1 = leaves.Get(0x80000005);
    LogRegisters("VSI_CPU. Cache level1 detect ext. Cpuid: %.8x %.8x %.8x %.8x", l1);
    result.Level1.Code = DecodeExtendedL1(l1.edx, true);
    result.Level1.Data = DecodeExtendedL1(l1.ecx, false);
    const auto l2 = leaves.Get(0x80000006);
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
    StoreDescriptorSlots(descriptor_slots_, regs);
    result.Level2 = MatchDescriptors(descriptor_slots_, CacheKind::kL2, intel_brand_);
    result.Level3 = MatchDescriptors(descriptor_slots_, CacheKind::kL3, intel_brand_);
    result.Trace = MatchDescriptors(descriptor_slots_, CacheKind::kTrace, intel_brand_);
  }
  *cache_ = std::move(result);
}

void TVexa_CPU::DecodeFeatures(const CpuidLeaves& leaves) {
  if (leaves.Supported(1)) std_regs_ = leaves.Get(1);
  if (leaves.Supported(0x80000001)) ext_regs_ = leaves.Get(0x80000001);
  if (leaves.Supported(0x80000007)) power_regs_ = leaves.Get(0x80000007);
  const FeatureRegisters regs{std_regs_, ext_regs_, power_regs_};
  TCPUFeatures f;
  f.Standard1 = DecodeFeatureSet(1, vendor_, regs);
  f.Standard2 = DecodeFeatureSet(2, vendor_, regs);
  f.Extended1 = DecodeFeatureSet(3, vendor_, regs);
  f.Extended2 = DecodeFeatureSet(4, vendor_, regs);
  f.PowerManagement = DecodeFeatureSet(5, vendor_, regs);
  *features_ = std::move(f);
}

void TVexa_CPU::DecodeModern(const CpuidLeaves& leaves) {
  const uint32_t max = leaves.MaxBasic();
  const auto leaf1 = max >= 1 ? leaves.Get(1) : CpuidRegisters{};
  // Leaf 1 ECX bit 31 is reserved for hypervisors, but some early processors (VIA Samuel)
  // return junk in ECX: without a hypervisor leaf, only a processor new enough to have leaf 4
  // is believed.
  if ((leaf1.ecx >> 31) & 1) {
    const auto hv = leaves.Get(0x40000000);
    const bool hv_leaf = (hv.eax & 0xF0000000u) == 0x40000000u;
    under_hypervisor_ = hv_leaf || max >= 4;
    if (under_hypervisor_) hypervisor_ = hv_leaf ? HypervisorName(hv) : std::string();
    if (under_hypervisor_ && hypervisor_.empty()) hypervisor_ = "unknown hypervisor";
  }
  cache_details_ = DecodeCacheList(leaves, vendor_, family_, model_, *cache_);

  ExtensionRegisters regs;
  regs.leaf1 = leaf1;
  if (max >= 7) {
    regs.leaf7_0 = leaves.Get(7, 0);
    if (regs.leaf7_0.eax >= 1) regs.leaf7_1 = leaves.Get(7, 1);
  }
  if (max >= 0xD) regs.leaf0xD_1 = leaves.Get(0xD, 1);
  if (leaves.MaxExtended() >= 0x80000001) regs.ext1 = leaves.Get(0x80000001);
  extensions_ = DecodeExtensions(regs);
}

std::array<uint64_t, 3> TVexa_CPU::SystemDevicesCacheKB() const {
  std::array<uint64_t, 3> rows{};
  for (const auto& c : cache_details_) {
    const uint64_t kb = c.sizeBytes / 1024;
    if (c.level == 1) rows[0] += kb;
    // The first cache of a level is the one the examined processor uses.
    if (c.level == 2 && rows[1] == 0) rows[1] = kb;
    if (c.level == 3 && rows[2] == 0) rows[2] = kb;
  }
  return rows;
}

// Brand attributes, the vendor's model routine, the code-name tables, names from the brand.
void TVexa_CPU::ApplyNames() {
  const auto rows = SystemDevicesCacheKB();
  const int l2 = static_cast<int>(rows[1]), l3 = static_cast<int>(rows[2]);
  intel_brand_ =
      static_cast<TIntelBrands>((intel_brand_ & (ibDuoCore | ibP4)) |
                                IntelBrandFromBrand(brand_, family_, model_, stepping_, l2, l3));
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
  in.l2KB = l2;
  in.l3KB = l3;
  in.features = features_.get();
  const ModelNames names = LookupModel(vendor_, in);
  cpu_name_ = names.name;
  code_name_ = names.code;
  revision_ = names.revision;
  technology_ = names.technology;
  ApplyCodeNameTables();

  if (const GenericBrand* generic = FindGenericBrand(marketing_name_)) {
    // A hypervisor's made-up brand names no real part; say whose name it is.
    cpu_name_ = generic->family;
    generic_name_giver_ = under_hypervisor_ && hypervisor_ != "unknown hypervisor"
                              ? hypervisor_
                              : std::string(generic->giver);
  } else if (vendor_ == cvIntel) {
    if (cpu_name_.empty()) cpu_name_ = DeriveIntelName(marketing_name_, intel_brand_ & ibMobile);
  } else if ((vendor_ == cvAmd || vendor_ == cvHygon) && cpu_name_.empty()) {
    cpu_name_ = DeriveAmdName(marketing_name_);
  } else if ((vendor_ == cvIDT || vendor_ == cvZhaoxin) && cpu_name_.empty()) {
    cpu_name_ = DeriveCentaurName(marketing_name_, vendor_ == cvZhaoxin);
  }
  if (vendor_ == cvIntel && code_name_.empty()) code_name_ = IntelCodeNameFromFragments(cpu_name_);
  // A hypervisor passes whatever family and model it likes; what the tables found from them is
  // marked as reported by it, since the host's processor may be another one.
  names_from_virtual_signature_ =
      under_hypervisor_ && !(code_name_.empty() && technology_.empty() && names.name.empty());
  popular_from_virtual_signature_ = under_hypervisor_ && !names.name.empty();
}

}  // namespace tavrin::collectors
