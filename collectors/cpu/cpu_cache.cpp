#include "collectors/cpu/cpu_cache.h"

#include <cstdio>
#include <iterator>

namespace tavrin::collectors {
namespace {

using enum CacheKind;
using enum TCacheAssociativity;

constexpr CacheDescriptorRow kDescriptors[] = {
#define TAVRIN_CACHE_DESCRIPTOR(code, kind, size, assoc, line, text) \
  {code, kind, size, assoc, line, text},
#include "collectors/cpu/cpu_cache_descriptors.inc"
#undef TAVRIN_CACHE_DESCRIPTOR
};

bool Present(const uint8_t (&slots)[16], uint8_t code) {
  for (uint8_t s : slots)
    if (s == code) return true;
  return false;
}

std::string Text(const char* format, int size, TCacheAssociativity a, int line) {
  char text[96];
  std::snprintf(text, sizeof text, format, size, AssociativityName(a), line);
  return text;
}

}  // namespace

const char* AssociativityName(TCacheAssociativity a) {
  static const char* const kNames[] = {"None",   "Direct", "2-Way", "4-Way", "8-Way",
                                       "12-Way", "16-Way", "Full",  "6-Way", "24-Way"};
  const auto i = static_cast<std::size_t>(a);
  return i < std::size(kNames) ? kNames[i] : "None";
}

const CacheDescriptorRow* CacheDescriptorTable(std::size_t* count) {
  *count = std::size(kDescriptors);
  return kDescriptors;
}

void StoreDescriptorSlots(uint8_t (&slots)[16], const platform::CpuidRegisters& regs) {
  const uint32_t words[] = {regs.eax, regs.ebx, regs.ecx, regs.edx};
  for (int n = 0; n < 4; ++n) {
    if (words[n] & 0x80000000u) continue;  // bit 31 set: the register holds no descriptors
    for (int b = 0; b < 4; ++b) slots[4 * n + b] = static_cast<uint8_t>(words[n] >> (8 * b));
  }
}

TCPUCacheDetails MatchDescriptors(const uint8_t (&slots)[16], CacheKind kind, TIntelBrands brands) {
  TCPUCacheDetails result;
  std::copy(std::begin(slots), std::end(slots), result.Descriptors);
  for (const auto& row : kDescriptors) {
    if (row.kind != kind || !Present(slots, row.code)) continue;
    // 0x49 is an L2 on a Core 2 with two cores and an L3 on a Pentium 4 Xeon.
    if (row.code == 0x49 && kind == kL2 && !(brands & ibDuoCore)) continue;
    if (row.code == 0x49 && kind == kL3 && !(brands & ibP4)) continue;
    result.Associativity = row.associativity;
    result.Size = row.size;
    result.LineSize = row.lineSize;
    result.Value = row.code;
    result.Descriptor = row.text;
  }
  return result;
}

TCacheAssociativity ExtendedAssociativity(uint32_t code) {
  switch (code) {
    case 0x00:
      return caNone;
    case 0x01:
      return caDirect;
    case 0x02:
      return ca2Way;
    case 0x04:
      return ca4Way;
    case 0x06:
      return ca8Way;
    case 0x07:
      return ca12Way;
    case 0x08:
      return ca16Way;
    case 0x0F:
      return caFull;
    default:
      return caNone;
  }
}

TCPUCacheDetails DecodeExtendedL1(uint32_t reg, bool code) {
  TCPUCacheDetails c;
  c.Size = static_cast<int32_t>(reg >> 24);
  c.LineSize = static_cast<int32_t>(reg & 0xFF);
  c.Associativity = ExtendedAssociativity((reg >> 16) & 0xFF);
  c.Value = 255;
  // The line size stands where the text says "entries": kept as the display has always had it.
  c.Descriptor =
      Text(code ? "Code L1 cache, %dK, %s, %d entries" : "Data L1 Cache, %dK, %s, %d entries",
           c.Size, c.Associativity, c.LineSize);
  return c;
}

TCPUCacheDetails DecodeExtendedL2(uint32_t ecx, TCpuVendor vendor, int family) {
  TCPUCacheDetails c;
  c.Size = static_cast<int32_t>(vendor == TCpuVendor::cvIDT ? ecx >> 24 : ecx >> 16);
  c.LineSize = static_cast<int32_t>(ecx & 0xFF);
  c.Associativity = (vendor == TCpuVendor::cvAmd && family == 6)
                        ? ca16Way
                        : ExtendedAssociativity((ecx >> 12) & 0xF);
  c.Value = 255;
  c.Descriptor = Text("Unified L2 Cache, %dK, %s, %d entries", c.Size, c.Associativity, c.LineSize);
  return c;
}

// Intel SDM Vol. 2A, CPUID leaf 04H "Deterministic Cache Parameters"; AMD APM Vol. 3,
// E.4.15 Fn8000_001D "Cache Topology Information" (the same register layout).
std::vector<CacheLevelInfo> DecodeDeterministicCaches(
    const std::vector<platform::CpuidRegisters>& subleaves) {
  std::vector<CacheLevelInfo> caches;
  for (const auto& r : subleaves) {
    const uint32_t type = r.eax & 0x1F;
    if (type == 0) break;  // no more caches
    CacheLevelInfo c;
    c.level = static_cast<int>((r.eax >> 5) & 0x7);
    c.type = type == 1 ? "Data" : type == 2 ? "Instruction" : type == 3 ? "Unified" : "Other";
    c.fullyAssociative = (r.eax >> 9) & 1;
    c.sharedBy = ((r.eax >> 14) & 0xFFF) + 1;
    const uint64_t ways = ((r.ebx >> 22) & 0x3FF) + 1;
    const uint64_t partitions = ((r.ebx >> 12) & 0x3FF) + 1;
    const uint64_t line = (r.ebx & 0xFFF) + 1;
    const uint64_t sets = uint64_t{r.ecx} + 1;
    c.ways = c.fullyAssociative ? 0 : static_cast<uint32_t>(ways);
    c.lineSize = static_cast<uint32_t>(line);
    c.sizeBytes = ways * partitions * line * sets;
    caches.push_back(c);
  }
  return caches;
}

// AMD APM Vol. 3, E.4.4 Fn8000_0005 (L1) and E.4.5 Fn8000_0006 (L2, L3: EDX bits 31..18 in
// 512 KB units, ways code in 15..12).
std::vector<CacheLevelInfo> DecodeAmdLegacyCaches(const platform::CpuidRegisters& l1,
                                                  const platform::CpuidRegisters* l2,
                                                  bool sizeInTopByte) {
  std::vector<CacheLevelInfo> caches;
  auto ways_of = [](uint32_t code, bool& full) -> uint32_t {
    full = code == 0xFF;
    return code == 0xFF ? 0 : code;
  };
  auto add_l1 = [&](uint32_t reg, const char* type) {
    if ((reg >> 24) == 0) return;
    CacheLevelInfo c;
    c.level = 1;
    c.type = type;
    c.sizeBytes = uint64_t{reg >> 24} * 1024;
    c.ways = ways_of((reg >> 16) & 0xFF, c.fullyAssociative);
    c.lineSize = reg & 0xFF;
    caches.push_back(c);
  };
  add_l1(l1.ecx, "Data");
  add_l1(l1.edx, "Instruction");
  if (!l2) return caches;
  static const uint32_t kWays[16] = {0, 1, 2, 3, 4, 6, 8, 0, 16, 0, 32, 48, 64, 96, 128, 0};
  auto add = [&](int level, uint64_t kb, uint32_t code, uint32_t line) {
    if (kb == 0) return;
    CacheLevelInfo c;
    c.level = level;
    c.type = "Unified";
    c.sizeBytes = kb * 1024;
    c.fullyAssociative = code == 0xF;
    c.ways = kWays[code & 0xF];
    c.lineSize = line;
    caches.push_back(c);
  };
  add(2, sizeInTopByte ? l2->ecx >> 24 : l2->ecx >> 16, (l2->ecx >> 12) & 0xF, l2->ecx & 0xFF);
  add(3, uint64_t{l2->edx >> 18} * 512, (l2->edx >> 12) & 0xF, l2->edx & 0xFF);
  return caches;
}

}  // namespace tavrin::collectors
