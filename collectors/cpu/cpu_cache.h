// Cache decoding: leaf 2 descriptor bytes matched against the descriptor table, or the size
// fields of the extended leaves 0x80000005/0x80000006. Pure: registers in, records out.
#pragma once

#include <cstdint>

#include "collectors/cpu/cpu_raw.h"
#include "collectors/cpu/cpu_types.h"
#include "platform/processor.h"

namespace tavrin::collectors {

enum class CacheKind : uint8_t { kL1Code, kL1Data, kL1Unified, kL2, kL3, kTrace };

struct CacheDescriptorRow {
  uint8_t code;
  CacheKind kind;
  int32_t size;
  TCacheAssociativity associativity;
  int32_t lineSize;
  const char* text;
};

/// The cache rows of the descriptor table, in matching order.
const CacheDescriptorRow* CacheDescriptorTable(std::size_t* count);

/// Stores the bytes of every register whose bit 31 is clear into its four slots (EAX into 0..3,
/// EBX 4..7, ECX 8..11, EDX 12..15, lowest byte first); other slots keep their bytes.
void StoreDescriptorSlots(uint8_t (&slots)[16], const platform::CpuidRegisters& regs);

/// The record of `kind` from the slots: every table row of that kind whose code is in a slot
/// overwrites the result, in table order. Code 0x49 counts for L2 only with ibDuoCore and for
/// L3 only with ibP4.
TCPUCacheDetails MatchDescriptors(const uint8_t (&slots)[16], CacheKind kind, TIntelBrands brands);

/// The associativity code of the extended leaves (0x00 none ... 0x0F full).
TCacheAssociativity ExtendedAssociativity(uint32_t code);

/// L1 code (EDX) or data (ECX) cache from leaf 0x80000005.
TCPUCacheDetails DecodeExtendedL1(uint32_t reg, bool code);
/// L2 from ECX of leaf 0x80000006: Via keeps its size in bits 31..24; AMD family 6 says
/// nothing useful about ways and is 16-way.
TCPUCacheDetails DecodeExtendedL2(uint32_t ecx, TCpuVendor vendor, int family);

/// Every cache the deterministic cache parameters list (leaf 4 or 0x8000001D sub-leaves).
std::vector<CacheLevelInfo> DecodeDeterministicCaches(
    const std::vector<platform::CpuidRegisters>& subleaves);
/// Caches of older AMD and VIA processors from 0x80000005/0x80000006 (L1, L2 and, from EDX,
/// L3). VIA C3 Samuel 2 and Ezra keep the L2 size in ECX bits 31..24 (`sizeInTopByte`).
std::vector<CacheLevelInfo> DecodeAmdLegacyCaches(const platform::CpuidRegisters& l1,
                                                  const platform::CpuidRegisters* l2,
                                                  bool sizeInTopByte = false);

/// The one cache list both processor pages show: the deterministic cache parameters (leaf 4,
/// or 0x8000001D on AMD and Hygon) first; where they list no level 2, the AMD and Centaur
/// extended leaves 0x80000005/0x80000006; on the other processors the classic decoding of the
/// leaf 2 descriptors (`classic`).
std::vector<CacheLevelInfo> DecodeCacheList(const CpuidLeaves& leaves, TCpuVendor vendor,
                                            int family, int model, const TCPUCache& classic);

/// The classic records as list entries (trace caches are not listed: they hold micro-ops).
std::vector<CacheLevelInfo> CachesFromClassicDecoding(const TCPUCache& cache);

}  // namespace tavrin::collectors
