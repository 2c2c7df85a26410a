// Decoding of the S.M.A.R.T. READ DATA and READ ATTRIBUTE THRESHOLDS sectors.
//
// ATA/ACS defines the 512-byte sectors' frame (revision, 30 entries of 12 bytes from byte 2,
// checksum in byte 511); the entries' meaning is the drive maker's. The layout used here is
// the one every maker follows: id, flags, normalized current and worst value, six raw bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tavrin::collectors {

enum class SmartStatus : uint8_t {
  kPassed,          ///< above its threshold (or the threshold says "never fails")
  kPrefailFailing,  ///< a pre-failure attribute at or below its threshold: the drive warns
  kOldAgeFailing,   ///< an advisory attribute at or below its threshold: wear, not failure
  kNoThreshold,     ///< no threshold sector, or none for this id
};

struct SmartAttribute {
  uint8_t id = 0;
  uint16_t flags = 0;   ///< bit 0: pre-failure (else advisory/old age); bit 1: updated online
  uint8_t current = 0;  ///< normalized value, higher is better
  uint8_t worst = 0;
  uint64_t raw = 0;  ///< the six raw bytes, little-endian
  std::optional<uint8_t> threshold;
  SmartStatus status = SmartStatus::kNoThreshold;

  bool prefail() const { return flags & 1; }
};

struct SmartData {
  uint16_t revision = 0;
  std::vector<SmartAttribute> attributes;  ///< entries with a non-zero id, in table order
  bool checksumValid = false;
  /// Degrees Celsius from attribute 194 (the lowest raw byte), else 190.
  std::optional<int> temperature;
  /// Hours from attribute 9 (the low 32 raw bits; makers differ above them).
  std::optional<uint64_t> powerOnHours;
};

/// Decodes a READ DATA sector; nullopt when shorter than 512 bytes or all entries are empty
/// and the revision is 0 or 0xFFFF (no data: an erased or all-0xFF buffer).
std::optional<SmartData> DecodeSmartData(std::span<const uint8_t> sector);

/// Adds the thresholds of a READ ATTRIBUTE THRESHOLDS sector and decides each status.
/// A sector shorter than 512 bytes leaves every status kNoThreshold.
void ApplySmartThresholds(SmartData& data, std::span<const uint8_t> sector);

/// The plain-language status of one attribute.
SmartStatus StatusOf(const SmartAttribute& a);

/// The common name of an attribute id; empty when unknown.
std::string_view SmartAttributeName(uint8_t id);

/// True when byte 511 makes the 512 bytes sum to zero.
bool SectorChecksumValid(std::span<const uint8_t> sector);

}  // namespace tavrin::collectors
