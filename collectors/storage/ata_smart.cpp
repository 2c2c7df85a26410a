#include "collectors/storage/ata_smart.h"

#include "collectors/storage/smart_attribute_names.h"

namespace tavrin::collectors {
namespace {

constexpr std::size_t kSector = 512;
constexpr std::size_t kEntries = 30, kEntrySize = 12, kFirstEntry = 2;

}  // namespace

bool SectorChecksumValid(std::span<const uint8_t> s) {
  if (s.size() < kSector) return false;
  uint8_t sum = 0;
  for (std::size_t i = 0; i < kSector; ++i) sum = static_cast<uint8_t>(sum + s[i]);
  return sum == 0;
}

std::optional<SmartData> DecodeSmartData(std::span<const uint8_t> s) {
  if (s.size() < kSector) return std::nullopt;
  SmartData data;
  data.revision = static_cast<uint16_t>(s[0] | (s[1] << 8));
  data.checksumValid = SectorChecksumValid(s);
  for (std::size_t i = 0; i < kEntries; ++i) {
    const auto e = s.subspan(kFirstEntry + i * kEntrySize, kEntrySize);
    if (e[0] == 0) continue;
    SmartAttribute a;
    a.id = e[0];
    a.flags = static_cast<uint16_t>(e[1] | (e[2] << 8));
    a.current = e[3];
    a.worst = e[4];
    for (int b = 5; b >= 0; --b) a.raw = (a.raw << 8) | e[5 + b];
    data.attributes.push_back(a);
  }
  // An all-0xFF or erased buffer is not data, whatever its entries look like.
  if (data.revision == 0xFFFF || (data.revision == 0 && data.attributes.empty()))
    return std::nullopt;
  for (const SmartAttribute& a : data.attributes) {
    if (a.id == 194 || (a.id == 190 && !data.temperature))
      data.temperature = static_cast<int>(a.raw & 0xFF);
    if (a.id == 9) data.powerOnHours = a.raw & 0xFFFFFFFFu;
  }
  return data;
}

SmartStatus StatusOf(const SmartAttribute& a) {
  if (!a.threshold) return SmartStatus::kNoThreshold;
  // Threshold 0 means "always passing"; 0xFE and 0xFF are "always failing" markers some
  // drives use for attributes they want flagged.
  if (*a.threshold == 0 || a.current > *a.threshold) return SmartStatus::kPassed;
  return a.prefail() ? SmartStatus::kPrefailFailing : SmartStatus::kOldAgeFailing;
}

void ApplySmartThresholds(SmartData& data, std::span<const uint8_t> s) {
  if (s.size() < kSector) return;
  for (SmartAttribute& a : data.attributes) {
    for (std::size_t i = 0; i < kEntries; ++i) {
      const auto e = s.subspan(kFirstEntry + i * kEntrySize, kEntrySize);
      if (e[0] == a.id) {
        a.threshold = e[1];
        break;
      }
    }
    a.status = StatusOf(a);
  }
}

std::string_view SmartAttributeName(uint8_t id) {
  for (const SmartAttributeNameRow& row : kSmartAttributeNames)
    if (row.id == id) return row.name;
  return {};
}

}  // namespace tavrin::collectors
