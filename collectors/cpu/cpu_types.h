// The processor collector's published types: vendor, brand attributes, caches and features.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavrin::collectors {

enum class TCpuVendor : uint8_t {
  cvNone,
  cvUnknown,
  cvIntel,
  cvAmd,
  cvCyrix,
  cvIDT,
  cvNexGen,
  cvUMC,
  cvRise,
  cvSiS,
  cvGeode,
  cvTransmeta,
  cvHygon,    ///< "HygonGenuine": AMD Zen-based, family 18h
  cvZhaoxin,  ///< "  Shanghai  ", or Centaur's string on Zhaoxin's first parts
};

/// Brand attributes, one bit each of one byte.
enum TIntelBrand : uint8_t {
  ibCeleron = 1 << 0,
  ibPentium = 1 << 1,
  ibXeon = 1 << 2,
  ibMP = 1 << 3,
  ibMobile = 1 << 4,
  ibM = 1 << 5,
  ibDuoCore = 1 << 6,
  ibP4 = 1 << 7,
};
using TIntelBrands = uint8_t;

enum class TCacheAssociativity : uint8_t {
  caNone,
  caDirect,
  ca2Way,
  ca4Way,
  ca8Way,
  ca12Way,
  ca16Way,
  caFull,
  ca6Way,
  ca24Way,  ///< descriptors of current parts (0x4E, 0xEA..0xEC)
};
const char* AssociativityName(TCacheAssociativity a);

struct TCPUCacheDetails {
  uint8_t Value = 0;  ///< matching descriptor code; 255 from an extended leaf; 0 for none
  std::string Descriptor;
  TCacheAssociativity Associativity = TCacheAssociativity::caNone;
  int32_t Size = 0;  ///< KB (trace cache: thousands of micro-operations)
  int32_t LineSize = 0;
  uint8_t Descriptors[16] = {};
};

struct TCPUSegmentedCache {
  TCPUCacheDetails Code, Data, Unified;
};

struct TCPUCache {
  TCPUSegmentedCache Level1;
  TCPUCacheDetails Level2, Level3, Trace;
};

struct TCPUFeature {
  uint8_t bit = 0;
  std::string name;
  std::string description;
  uint8_t set = 0;  ///< 1..5
  bool available = false;
};

class TCPUFeatureSet {
 public:
  uint32_t Count() const { return static_cast<uint32_t>(records_.size()); }
  TCPUFeature Features(uint32_t i) const {
    return i < records_.size() ? records_[i] : TCPUFeature{};
  }
  /// The first record with `bit`, or a zero record.
  TCPUFeature FeatureByBit(uint8_t bit) const {
    for (const auto& r : records_)
      if (r.bit == bit) return r;
    return {};
  }
  std::vector<TCPUFeature>& Records() { return records_; }
  const std::vector<TCPUFeature>& Records() const { return records_; }

 private:
  std::vector<TCPUFeature> records_;
};

struct TCPUFeatures {
  TCPUFeatureSet Standard1, Standard2, Extended1, Extended2, PowerManagement;
};

/// One cache from the deterministic cache parameters (leaf 4, or 0x8000001D on AMD).
struct CacheLevelInfo {
  int level = 0;
  std::string type;  ///< "Data", "Instruction", "Unified"
  uint64_t sizeBytes = 0;
  uint32_t ways = 0;  ///< 0 for fully associative
  bool fullyAssociative = false;
  uint32_t lineSize = 0;
  uint32_t sharedBy = 0;  ///< logical processors sharing one instance
};

/// An instruction set extension and whether the processor has it.
struct IsaExtension {
  std::string name;
  std::string description;
  bool available = false;
};

/// Cores of one kind on a hybrid processor (leaf 0x1A).
struct CoreTypeCount {
  std::string type;  ///< "Performance", "Efficiency", ...
  uint32_t cores = 0;
  uint32_t threads = 0;
};

}  // namespace tavrin::collectors
