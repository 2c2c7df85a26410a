// The processor collector's reads beyond identification: topology over every logical processor,
// the frequency measurement, the extensions of current processors, and the fallbacks where
// there is no CPUID (the registry of a recorded Windows machine; the kernel's files on ARM).
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

#include "collectors/cpu/cpu_cache.h"
#include "collectors/cpu/cpu_features.h"
#include "collectors/cpu/cpu_identify.h"
#include "collectors/cpu/vsi_cpu.h"
#include "platform/linux/linux_processor.h"
#include "platform/registry.h"

namespace tavrin::collectors {

using platform::CpuidRegisters;
using platform::ProcessorPin;
using platform::ProcessorService;
using enum TCpuVendor;

namespace {

bool AmdStyle(const std::string& vendorId) {
  return vendorId == "AuthenticAMD" || vendorId == "HygonGenuine";
}

// Where the package and core parts of an APIC id begin, from what the processor says of itself.
struct ApicLayout {
  int smt_shift = 0;
  int package_shift = 0;
};

// Intel SDM Vol. 2A, CPUID leaves 0BH/1FH "Extended Topology Enumeration"; AMD APM Vol. 3,
// E.4.7 Fn8000_0008 ECX (ApicIdSize) and E.4.16 Fn8000_001E EBX (threads per core).
ApicLayout Layout(const ProcessorService& cpu, bool amd, const CpuidRegisters& leaf1) {
  ApicLayout layout;
  const uint32_t max = cpu.ExecuteCPUID(0).eax;
  const uint32_t topo_leaf = (max >= 0x1F && cpu.ExecuteCPUID(0x1F, 0).ebx) ? 0x1F : 0xB;
  if (!amd && max >= topo_leaf && cpu.ExecuteCPUID(topo_leaf, 0).ebx != 0) {
    for (uint32_t sl = 0; sl < 8; ++sl) {
      const auto r = cpu.ExecuteCPUID(topo_leaf, sl);
      const uint32_t type = (r.ecx >> 8) & 0xFF;
      if (type == 0) break;
      if (type == 1) layout.smt_shift = static_cast<int>(r.eax & 0x1F);
      layout.package_shift = static_cast<int>(r.eax & 0x1F);
    }
    return layout;
  }
  const uint32_t logical = (leaf1.edx >> 28 & 1) ? (leaf1.ebx >> 16) & 0xFF : 1;
  layout.package_shift = ApicShift(logical);
  if (amd && cpu.IsLeafSupported(0x80000008)) {
    const auto r = cpu.ExecuteCPUID(0x80000008);
    const uint32_t size = (r.ecx >> 12) & 0xF;
    layout.package_shift = size ? static_cast<int>(size) : ApicShift((r.ecx & 0xFF) + 1);
    const uint32_t ext_max = cpu.ExecuteCPUID(0x80000000).eax;
    const bool topoext = (cpu.ExecuteCPUID(0x80000001).ecx >> 22) & 1;
    // On family 15h the field counts the cores of a compute unit, which are cores of their own.
    const uint32_t family = ((leaf1.eax >> 8) & 0xF) + ((leaf1.eax >> 20) & 0xFF);
    if (ext_max >= 0x8000001E && topoext && family >= 0x17)
      layout.smt_shift = ApicShift(((cpu.ExecuteCPUID(0x8000001E).ebx >> 8) & 0xFF) + 1);
  } else if (!amd && max >= 4) {
    const uint32_t cores = ((cpu.ExecuteCPUID(4, 0).eax >> 26) & 0x3F) + 1;
    layout.smt_shift = ApicShift(std::max<uint32_t>(logical / cores, 1));
  }
  return layout;
}

uint32_t ApicIdOf(const ProcessorService& cpu, bool amd, const CpuidRegisters& leaf1) {
  const uint32_t max = cpu.ExecuteCPUID(0).eax;
  if (!amd && max >= 0xB && cpu.ExecuteCPUID(0xB, 0).ebx != 0) return cpu.ExecuteCPUID(0xB, 0).edx;
  return leaf1.ebx >> 24;
}

uint32_t Atoi(const std::string& text) {
  return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
}

}  // namespace

// Physical packages the classic way (first logical processor of each package counts), and
// cores, threads and core types of the examined package from the processors' APIC ids.
void TVexa_CPU::CountTopology(const ProcessorService& cpu) {
  cpu_physical_count_ = 1;
  if (!cpu.IsCPUIDAvailable()) return;
  struct Logical {
    uint32_t apic;
    uint32_t core_type;
  };
  std::vector<Logical> logicals;
  ApicLayout layout;
  bool amd = false;
  uint32_t packages = 0;
  for (uint32_t i = 0; i < cpu_count_; ++i) {
    // Every processor, also those from 32 on that the examining pin leaves alone.
    const platform::PinState state = cpu.PinCallingThread(i);
    if (!state.pinned) break;
    struct Restore {
      const ProcessorService& cpu;
      const platform::PinState& state;
      ~Restore() { cpu.RestoreCallingThread(state); }
    } restore{cpu, state};
    const auto leaf1 = cpu.ExecuteCPUID(1);
    const bool htt = (leaf1.edx >> 28) & 1;
    const uint32_t apic = htt ? leaf1.ebx >> 24 : 255;
    const uint32_t n = htt ? (leaf1.ebx >> 16) & 0xFF : 1;
    if ((apic & ((1u << ApicShift(n)) - 1)) == 0) ++packages;
    if (i == 0) {
      amd = AmdStyle(VendorString(cpu.ExecuteCPUID(0)));
      layout = Layout(cpu, amd, leaf1);
    }
    const uint32_t max = cpu.ExecuteCPUID(0).eax;
    const bool hybrid = max >= 7 && ((cpu.ExecuteCPUID(7, 0).edx >> 15) & 1);
    const uint32_t type = (hybrid && max >= 0x1A) ? cpu.ExecuteCPUID(0x1A).eax >> 24 : 0;
    logicals.push_back({ApicIdOf(cpu, amd, leaf1), type});
  }
  cpu_physical_count_ = static_cast<uint8_t>(std::clamp<uint32_t>(packages, 1, 255));
  if (logicals.empty()) return;

  const unsigned examined =
      std::min<unsigned>(cpu_index_, static_cast<unsigned>(logicals.size() - 1));
  const uint32_t package = logicals[examined].apic >> layout.package_shift;
  std::set<uint32_t> cores;
  std::map<uint32_t, std::pair<std::set<uint32_t>, uint32_t>> by_type;  // cores, threads
  for (const auto& l : logicals) {
    if ((l.apic >> layout.package_shift) != package) continue;
    ++package_threads_;
    cores.insert(l.apic >> layout.smt_shift);
    auto& t = by_type[l.core_type];
    t.first.insert(l.apic >> layout.smt_shift);
    ++t.second;
  }
  package_cores_ = static_cast<uint32_t>(cores.size());
  if (logicals.size() == 1) {
    // One processor seen (a single-processor dump or machine): the topology leaves count.
    ProcessorPin pin(cpu, cpu_index_);
    const uint32_t max = cpu.ExecuteCPUID(0).eax;
    const auto leaf1 = cpu.ExecuteCPUID(1);
    uint32_t threads = 0, per_core = 1;
    if (!amd && max >= 0xB && cpu.ExecuteCPUID(0xB, 0).ebx != 0) {
      for (uint32_t sl = 0; sl < 8; ++sl) {
        const auto r = cpu.ExecuteCPUID(0xB, sl);
        const uint32_t type = (r.ecx >> 8) & 0xFF;
        if (type == 0) break;
        if (type == 1) per_core = std::max<uint32_t>(r.ebx & 0xFFFF, 1);
        threads = r.ebx & 0xFFFF;
      }
    } else if (amd && cpu.IsLeafSupported(0x80000008)) {
      threads = (cpu.ExecuteCPUID(0x80000008).ecx & 0xFF) + 1;
      const bool topoext = (cpu.ExecuteCPUID(0x80000001).ecx >> 22) & 1;
      const uint32_t family = ((leaf1.eax >> 8) & 0xF) + ((leaf1.eax >> 20) & 0xFF);
      if (topoext && family >= 0x17 && cpu.ExecuteCPUID(0x80000000).eax >= 0x8000001E)
        per_core = ((cpu.ExecuteCPUID(0x8000001E).ebx >> 8) & 0xFF) + 1;
    } else {
      threads = (leaf1.edx >> 28 & 1) ? (leaf1.ebx >> 16) & 0xFF : 1;
      const uint32_t cores = max >= 4 ? ((cpu.ExecuteCPUID(4, 0).eax >> 26) & 0x3F) + 1 : 1;
      per_core = std::max<uint32_t>(threads / cores, 1);
    }
    if (threads > 0) {
      package_threads_ = threads;
      package_cores_ = std::max<uint32_t>(threads / per_core, 1);
    }
  }
  if (by_type.size() > 1 || (by_type.size() == 1 && by_type.begin()->first != 0)) {
    // Performance cores first, as the vendors list them.
    for (auto it = by_type.rbegin(); it != by_type.rend(); ++it)
      core_types_.push_back({CoreTypeName(it->first),
                             static_cast<uint32_t>(it->second.first.size()), it->second.second});
  }
}

void TVexa_CPU::DecodeModern(const ProcessorService& cpu) {
  ProcessorPin pin(cpu, cpu_index_);
  const uint32_t max = cpu.ExecuteCPUID(0).eax;
  const std::string vendor_id = VendorString(cpu.ExecuteCPUID(0));
  const auto leaf1 = max >= 1 ? cpu.ExecuteCPUID(1) : CpuidRegisters{};
  // Leaf 1 ECX bit 31 is reserved for hypervisors, but some early processors (VIA Samuel)
  // return junk in ECX: without a hypervisor leaf, only a processor new enough to have leaf 4
  // is believed.
  if ((leaf1.ecx >> 31) & 1) {
    const auto hv = cpu.ExecuteCPUID(0x40000000);
    const bool hv_leaf = (hv.eax & 0xF0000000u) == 0x40000000u;
    under_hypervisor_ = hv_leaf || max >= 4;
    if (under_hypervisor_) hypervisor_ = hv_leaf ? HypervisorName(hv) : std::string();
    if (under_hypervisor_ && hypervisor_.empty()) hypervisor_ = "unknown hypervisor";
  }

  // Deterministic cache parameters.
  const uint32_t ext_max = cpu.ExecuteCPUID(0x80000000).eax;
  const bool has_ext = (ext_max & 0xFFFF0000u) == 0x80000000u;
  std::vector<CpuidRegisters> subleaves;
  uint32_t cache_leaf = 0;
  if (AmdStyle(vendor_id)) {
    const bool topoext =
        has_ext && ext_max >= 0x80000001 && ((cpu.ExecuteCPUID(0x80000001).ecx >> 22) & 1);
    if (topoext && ext_max >= 0x8000001D) cache_leaf = 0x8000001D;
  } else if (max >= 4) {
    cache_leaf = 4;
  }
  if (cache_leaf) {
    for (uint32_t sl = 0; sl < 16; ++sl) {
      const auto r = cpu.ExecuteCPUID(cache_leaf, sl);
      if ((r.eax & 0x1F) == 0) break;
      subleaves.push_back(r);
    }
    cache_details_ = DecodeDeterministicCaches(subleaves);
  }
  // A dump may keep only the first sub-leaves; without a level 2 the extended leaves say more.
  const bool partial = std::none_of(cache_details_.begin(), cache_details_.end(),
                                    [](const CacheLevelInfo& c) { return c.level >= 2; });
  if (partial && has_ext && ext_max >= 0x80000005 &&
      (AmdStyle(vendor_id) || vendor_id == "CentaurHauls")) {
    const auto l2 = ext_max >= 0x80000006 ? cpu.ExecuteCPUID(0x80000006) : CpuidRegisters{};
    // VIA C3 erratum: Samuel 2 and Ezra (family 6, models 7 and 8) report the L2 size in the
    // top byte (VIA C3 datasheet, CPUID 8000_0006h).
    const bool top_byte =
        vendor_id == "CentaurHauls" && family_ == 6 && (model_ == 7 || model_ == 8);
    cache_details_ = DecodeAmdLegacyCaches(cpu.ExecuteCPUID(0x80000005),
                                           ext_max >= 0x80000006 ? &l2 : nullptr, top_byte);
  }

  ExtensionRegisters regs;
  regs.leaf1 = leaf1;
  if (max >= 7) {
    regs.leaf7_0 = cpu.ExecuteCPUID(7, 0);
    if (regs.leaf7_0.eax >= 1) regs.leaf7_1 = cpu.ExecuteCPUID(7, 1);
  }
  if (max >= 0xD) regs.leaf0xD_1 = cpu.ExecuteCPUID(0xD, 1);
  if (has_ext && ext_max >= 0x80000001) regs.ext1 = cpu.ExecuteCPUID(0x80000001);
  extensions_ = DecodeExtensions(regs);
}

// Step 14: two measurements, the larger snapped value wins.
void TVexa_CPU::MeasureFrequency(const ProcessorService& cpu) {
  ProcessorPin pin(cpu, cpu_index_);
  if (!cpu.ReadTimeStampCounter()) {
    frequency_source_ = platform::Provenance::Failure(
        platform::Status::NotSupported, "time-stamp counter",
        "no readable time-stamp counter (or no recorded rate in this source)");
    return;
  }
  frequency_source_ = platform::Provenance::Answered("time-stamp counter against the clock");
  const uint64_t freq = ProcessorService::ClockFrequency();
  constexpr uint64_t kDelay = 10000;

  // Counter-bracketed: spin 10000 counter units to line up, then 10000 more while counting.
  uint64_t total_cycles = 0, total_us = 0;
  int64_t r[3] = {0, 0, 0};
  for (int attempt = 0; attempt < 20; ++attempt) {
    uint64_t t0 = cpu.ReadClock(), t = t0, c0 = 0, c1 = 0;
    do {
      t = cpu.ReadClock();
      c0 = cpu.ReadTimeStampCounter().value_or(0);
    } while (t - t0 < kDelay);
    t0 = t;
    do {
      t = cpu.ReadClock();
      c1 = cpu.ReadTimeStampCounter().value_or(0);
    } while (t - t0 < kDelay);
    const auto us = static_cast<uint32_t>(
        std::llround(static_cast<double>(t - t0) * 100000.0 / (static_cast<double>(freq) / 10.0)));
    const auto cycles = static_cast<uint32_t>(c1 - c0);
    total_cycles += cycles;
    total_us += us;
    r[0] = r[1];
    r[1] = r[2];
    r[2] = us ? std::llround(static_cast<double>(cycles) / us) : cycles;
    const int64_t sum = r[0] + r[1] + r[2];
    if (attempt >= 2 && std::llabs(3 * r[0] - sum) < 4 && std::llabs(3 * r[1] - sum) < 4 &&
        std::llabs(3 * r[2] - sum) < 4)
      break;
  }
  const uint32_t counted = SnapFrequency(NormaliseMeasured(total_cycles, total_us));

  // Sleep-bracketed: 200 ms.
  const uint64_t c0 = cpu.ReadTimeStampCounter().value_or(0), t0 = cpu.ReadClock();
  cpu.Sleep(std::chrono::milliseconds(200));
  const uint64_t c1 = cpu.ReadTimeStampCounter().value_or(0), t1 = cpu.ReadClock();
  uint32_t slept = 0;
  if (t1 > t0) {
    const double seconds = static_cast<double>(t1 - t0) / static_cast<double>(freq);
    slept = SnapFrequency(
        static_cast<uint32_t>(std::llround(static_cast<double>(c1 - c0) / seconds / 1e6)));
  }
  frequency_ = std::max(counted, slept);
}

// Without CPUID on a recorded Windows machine: its processor key.
void TVexa_CPU::FillFromRegistry() {
  const auto& registry = Platform().registry;
  if (!registry) return;
  const std::string key =
      "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\" + std::to_string(cpu_index_);
  auto text = [&](const char* name) -> std::optional<std::string> {
    auto v = registry->ReadValue(platform::RegRoot::LocalMachine, key, name);
    return v ? v->AsString() : std::nullopt;
  };
  if (auto vendor = text("VendorIdentifier")) vendor_ = VendorFromString(*vendor, true);
  if (auto id = text("Identifier")) generic_name_ = *id;
  if (auto name = text("ProcessorNameString")) marketing_name_ = TrimBrand(*name);
}

// Without CPUID on Linux (ARM and the like): what the kernel says of the processors.
void TVexa_CPU::FillFromKernel() {
  const auto& files = Platform().files;
  if (!files) return;
  auto cpuinfo = files->ReadFile("/proc/cpuinfo");
  if (!cpuinfo) {
    source_ = cpuinfo.source;
    return;
  }
  source_ = cpuinfo.source;
  using platform::CpuInfoField;
  vendor_text_ = CpuInfoField(*cpuinfo, "vendor_id");
  if (vendor_text_.empty()) {
    const std::string implementer = CpuInfoField(*cpuinfo, "CPU implementer");
    if (!implementer.empty()) vendor_text_ = "CPU implementer " + implementer;
  }
  if (vendor_ == cvNone && !vendor_text_.empty()) vendor_ = VendorFromString(vendor_text_, true);
  if (marketing_name_.empty()) {
    for (const char* field : {"model name", "Processor", "cpu model", "Hardware"}) {
      marketing_name_ = CpuInfoField(*cpuinfo, field);
      if (!marketing_name_.empty()) break;
    }
  }
  if (marketing_name_.empty() && !vendor_text_.empty()) {
    marketing_name_ = vendor_text_ + " part " + CpuInfoField(*cpuinfo, "CPU part");
  }
  // Packages and cores from sysfs topology.
  std::set<std::string> packages;
  std::set<std::pair<std::string, std::string>> cores;
  for (uint32_t i = 0; i < cpu_count_; ++i) {
    const std::string base = "/sys/devices/system/cpu/cpu" + std::to_string(i) + "/topology/";
    auto pkg = files->ReadLine(base + "physical_package_id");
    auto core = files->ReadLine(base + "core_id");
    if (pkg) packages.insert(*pkg);
    if (pkg && core) cores.insert({*pkg, *core});
  }
  if (!packages.empty()) cpu_physical_count_ = static_cast<uint8_t>(packages.size());
  if (!cores.empty()) {
    package_cores_ =
        static_cast<uint32_t>(cores.size() / std::max<std::size_t>(packages.size(), 1));
    package_threads_ = cpu_count_ / std::max<uint32_t>(cpu_physical_count_, 1);
  }
  if (frequency_ == 0) {
    auto khz = files->ReadLine("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq");
    if (khz) frequency_ = Atoi(*khz) / 1000;
    if (khz) frequency_source_ = khz.source;
    if (frequency_ == 0) {
      frequency_ = static_cast<uint32_t>(std::atof(CpuInfoField(*cpuinfo, "cpu MHz").c_str()));
      if (frequency_) frequency_source_ = cpuinfo.source;
    }
  }
  // Caches as the kernel lists them.
  if (auto dirs = files->ListDir("/sys/devices/system/cpu/cpu0/cache")) {
    for (const auto& name : *dirs) {
      if (name.rfind("index", 0) != 0) continue;
      const std::string base = "/sys/devices/system/cpu/cpu0/cache/" + name + "/";
      CacheLevelInfo c;
      c.level = static_cast<int>(Atoi(files->ReadLine(base + "level").value_or("0")));
      c.type = files->ReadLine(base + "type").value_or("");
      c.sizeBytes = uint64_t{Atoi(files->ReadLine(base + "size").value_or("0"))} * 1024;
      c.ways = Atoi(files->ReadLine(base + "ways_of_associativity").value_or("0"));
      c.lineSize = Atoi(files->ReadLine(base + "coherency_line_size").value_or("0"));
      if (c.level > 0) cache_details_.push_back(c);
    }
  }
}

}  // namespace tavrin::collectors
