// One cache list for both processor pages, from the best source the processor has.
#include <algorithm>

#include "collectors/cpu/cpu_cache.h"

namespace tavrin::collectors {
namespace {

uint32_t Ways(TCacheAssociativity a) {
  static const uint32_t kWays[] = {0, 1, 2, 4, 8, 12, 16, 0, 6, 24};
  const auto i = static_cast<std::size_t>(a);
  return i < std::size(kWays) ? kWays[i] : 0;
}

bool AmdStyle(TCpuVendor vendor) {
  return vendor == TCpuVendor::cvAmd || vendor == TCpuVendor::cvHygon;
}

bool CentaurStyle(TCpuVendor vendor) {
  return vendor == TCpuVendor::cvIDT || vendor == TCpuVendor::cvZhaoxin;
}

}  // namespace

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

std::vector<CacheLevelInfo> DecodeCacheList(const CpuidLeaves& leaves, TCpuVendor vendor,
                                            int family, int model, const TCPUCache& classic) {
  std::vector<CacheLevelInfo> caches;
  const uint32_t ext_max = leaves.MaxExtended();
  uint32_t cache_leaf = 0;
  if (AmdStyle(vendor)) {
    const bool topoext = ext_max >= 0x80000001u && ((leaves.Get(0x80000001u).ecx >> 22) & 1);
    if (topoext && ext_max >= 0x8000001Du) cache_leaf = 0x8000001Du;
  } else if (leaves.MaxBasic() >= 4) {
    cache_leaf = 4;
  }
  if (cache_leaf) {
    std::vector<platform::CpuidRegisters> subleaves;
    for (uint32_t sl = 0; sl < 16; ++sl) {
      const auto r = leaves.Get(cache_leaf, sl);
      if ((r.eax & 0x1F) == 0) break;
      subleaves.push_back(r);
    }
    caches = DecodeDeterministicCaches(subleaves);
  }
  const bool has_level2 = std::any_of(caches.begin(), caches.end(),
                                      [](const CacheLevelInfo& c) { return c.level >= 2; });
  if (has_level2) return caches;

  // AMD, Hygon, VIA and Zhaoxin describe their caches in the extended leaves.
  if ((AmdStyle(vendor) || CentaurStyle(vendor) || vendor == TCpuVendor::cvTransmeta) &&
      ext_max >= 0x80000005u) {
    const auto l2 = ext_max >= 0x80000006u ? leaves.Get(0x80000006u) : platform::CpuidRegisters{};
    // VIA C3 erratum: Samuel 2 and Ezra (family 6, models 7 and 8) report the L2 size in the
    // top byte (VIA C3 datasheet, CPUID 8000_0006h).
    const bool top_byte = vendor == TCpuVendor::cvIDT && family == 6 && (model == 7 || model == 8);
    auto legacy = DecodeAmdLegacyCaches(leaves.Get(0x80000005u),
                                        ext_max >= 0x80000006u ? &l2 : nullptr, top_byte);
    if (!legacy.empty()) return legacy;
  }
  auto from_descriptors = CachesFromClassicDecoding(classic);
  return from_descriptors.empty() ? caches : from_descriptors;
}

}  // namespace tavrin::collectors
