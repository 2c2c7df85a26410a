#include "collectors/cpu/cpu_topology.h"

#include <algorithm>
#include <map>
#include <set>

#include "collectors/cpu/cpu_identify.h"

namespace tavrin::collectors {
namespace {

bool AmdStyle(TCpuVendor vendor) {
  return vendor == TCpuVendor::cvAmd || vendor == TCpuVendor::cvHygon;
}

int DisplayFamily(const CpuidLeaves& leaves) {
  return DecodeSignature(leaves.Get(1).eax).family;
}

// AMD's topology extensions (0x80000001 ECX bit 22) give 0x8000001E; its thread count per core
// means SMT only from family 17h on (15h counts the cores of a compute unit there).
bool AmdTopologyExtensions(const CpuidLeaves& leaves) {
  return leaves.MaxExtended() >= 0x8000001Eu && ((leaves.Get(0x80000001u).ecx >> 22) & 1) &&
         DisplayFamily(leaves) >= 0x17;
}

uint32_t ExtendedTopologyLeaf(const CpuidLeaves& leaves) {
  const uint32_t max = leaves.MaxBasic();
  if (max >= 0x1F && leaves.Get(0x1F, 0).ebx != 0) return 0x1F;
  if (max >= 0xB && leaves.Get(0xB, 0).ebx != 0) return 0xB;
  return 0;
}

}  // namespace

ApicLayout DecodeApicLayout(const CpuidLeaves& leaves, TCpuVendor vendor) {
  ApicLayout layout;
  const auto leaf1 = leaves.Get(1);
  if (const uint32_t leaf = ExtendedTopologyLeaf(leaves)) {
    layout.topologyLeaf = leaf;
    for (uint32_t sl = 0; sl < 8; ++sl) {
      const auto r = leaves.Get(leaf, sl);
      const uint32_t type = (r.ecx >> 8) & 0xFF;
      if (type == 0) break;
      if (type == 1) {
        layout.smtShift = static_cast<int>(r.eax & 0x1F);
        layout.threadsPerCore = std::max<uint32_t>(r.ebx & 0xFFFF, 1);
      }
      layout.packageShift = static_cast<int>(r.eax & 0x1F);
      layout.threads = r.ebx & 0xFFFF;
    }
    return layout;
  }
  if (AmdStyle(vendor) && leaves.MaxExtended() >= 0x80000008u) {
    layout.topologyLeaf = 0x80000008u;
    const auto ecx = leaves.Get(0x80000008u).ecx;
    layout.threads = (ecx & 0xFF) + 1;
    const uint32_t size = (ecx >> 12) & 0xF;
    layout.packageShift = size ? static_cast<int>(size) : ApicShift(layout.threads);
    if (AmdTopologyExtensions(leaves))
      layout.threadsPerCore = ((leaves.Get(0x8000001Eu).ebx >> 8) & 0xFF) + 1;
    layout.smtShift = ApicShift(layout.threadsPerCore);
    return layout;
  }
  // Leaf 1 and leaf 4: what the processors before the topology leaves say of themselves.
  layout.topologyLeaf = 1;
  uint32_t logical = (leaf1.edx >> 28 & 1) ? std::max<uint32_t>((leaf1.ebx >> 16) & 0xFF, 1) : 1;
  uint32_t cores = 1;
  if (leaves.MaxBasic() >= 4 && (leaves.Get(4, 0).eax & 0x1F) != 0)
    cores = ((leaves.Get(4, 0).eax >> 26) & 0x3F) + 1;
  else if (AmdStyle(vendor) && leaves.MaxExtended() >= 0x80000008u)
    cores = (leaves.Get(0x80000008u).ecx & 0xFF) + 1;
  logical = std::max(logical, cores);
  layout.threads = logical;
  layout.threadsPerCore = std::max<uint32_t>(logical / cores, 1);
  layout.packageShift = ApicShift(logical);
  layout.smtShift = ApicShift(layout.threadsPerCore);
  return layout;
}

uint32_t ApicIdOf(const CpuidLeaves& leaves, const ApicLayout& layout, TCpuVendor vendor) {
  if (layout.topologyLeaf == 0x1F || layout.topologyLeaf == 0xB)
    return leaves.Get(layout.topologyLeaf, 0).edx;
  if (AmdStyle(vendor) && AmdTopologyExtensions(leaves)) return leaves.Get(0x8000001Eu).eax;
  return leaves.Get(1).ebx >> 24;
}

CpuTopology DecodeTopology(const CpuRawRecord& raw, TCpuVendor vendor) {
  CpuTopology t;
  if (raw.cpus.empty()) return t;
  const unsigned examined = std::min<unsigned>(raw.examined, raw.cpus.size() - 1);
  const CpuidLeaves leaves(raw.cpus[examined]);
  const auto leaf1 = leaves.Get(1);
  t.htt = (leaf1.edx >> 28) & 1;
  if (leaves.MaxBasic() >= 4 && (leaves.Get(4, 0).eax & 0x1F) != 0)
    t.leaf4Cores = ((leaves.Get(4, 0).eax >> 26) & 0x3F) + 1;
  const ApicLayout layout = DecodeApicLayout(leaves, vendor);

  // The initial APIC id and its package and logical parts, as the classic rows show them.
  if (t.htt) {
    t.apicId = static_cast<uint8_t>(leaf1.ebx >> 24);
    t.logicalId = static_cast<uint8_t>(t.apicId & ((1u << std::min(layout.packageShift, 8)) - 1));
    t.physicalId =
        static_cast<uint8_t>(layout.packageShift >= 8 ? 0 : t.apicId >> layout.packageShift);
  }

  // From the leaves alone first; counting below replaces it where it can.
  t.threadsPerPackage = std::max<uint32_t>(layout.threads, 1);
  t.coresPerPackage = std::max<uint32_t>(t.threadsPerPackage / layout.threadsPerCore, 1);
  t.threadsPerCoreMax = layout.threadsPerCore;
  t.method = "leaf " + std::to_string(layout.topologyLeaf);

  struct Logical {
    uint32_t package, core, type;
  };
  std::vector<Logical> logicals;
  for (const auto& dump : raw.cpus) {
    const CpuidLeaves l(dump);
    const uint32_t apic = ApicIdOf(l, layout, vendor);
    const bool hybrid = l.MaxBasic() >= 7 && ((l.Get(7, 0).edx >> 15) & 1);
    const uint32_t type = (hybrid && l.MaxBasic() >= 0x1A) ? l.Get(0x1A).eax >> 24 : 0;
    logicals.push_back({apic >> layout.packageShift, apic >> layout.smtShift, type});
  }
  std::set<uint32_t> packages;
  for (const auto& l : logicals) packages.insert(l.package);
  t.packages = static_cast<uint32_t>(packages.size());

  const bool kernel_knows_more = raw.kernel && raw.kernel->places.size() > raw.cpus.size() &&
                                 examined < raw.kernel->places.size();
  if (kernel_knows_more) {
    // Not every processor could be read (an affinity limit): the kernel places them all.
    const auto& places = raw.kernel->places;
    const std::string package = places[examined].package;
    std::set<std::string> all_packages, cores;
    uint32_t threads = 0;
    for (const auto& p : places) {
      all_packages.insert(p.package);
      if (p.package != package) continue;
      ++threads;
      cores.insert(p.core);
    }
    t.packages = static_cast<uint32_t>(all_packages.size());
    t.threadsPerPackage = threads;
    t.coresPerPackage = static_cast<uint32_t>(std::max<std::size_t>(cores.size(), 1));
    t.threadsPerCoreMax = std::max<uint32_t>(threads / t.coresPerPackage, 1);
    t.method = "kernel topology";
    return t;
  }
  if (raw.cpus.size() < 2) return t;

  const uint32_t package = logicals[examined].package;
  std::set<uint32_t> cores;
  std::map<uint32_t, std::pair<std::set<uint32_t>, uint32_t>> by_type;  // cores, threads
  std::map<uint32_t, uint32_t> threads_of_core;
  uint32_t threads = 0;
  for (const auto& l : logicals) {
    if (l.package != package) continue;
    ++threads;
    cores.insert(l.core);
    ++threads_of_core[l.core];
    auto& bucket = by_type[l.type];
    bucket.first.insert(l.core);
    ++bucket.second;
  }
  t.threadsPerPackage = threads;
  t.coresPerPackage = static_cast<uint32_t>(cores.size());
  t.threadsPerCoreMax = 1;
  for (const auto& [core, n] : threads_of_core)
    t.threadsPerCoreMax = std::max(t.threadsPerCoreMax, n);
  t.method += ", " + std::to_string(raw.cpus.size()) + " processors counted";
  if (by_type.size() > 1 || (by_type.size() == 1 && by_type.begin()->first != 0)) {
    // Performance cores (0x40) before efficiency cores (0x20), as the vendors list them.
    for (auto it = by_type.rbegin(); it != by_type.rend(); ++it)
      t.coreTypes.push_back({CoreTypeName(it->first),
                             static_cast<uint32_t>(it->second.first.size()), it->second.second});
  }
  return t;
}

}  // namespace tavrin::collectors
