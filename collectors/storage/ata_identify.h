// Decoding of the 512-byte IDENTIFY DEVICE data an ATA drive returns (ATA/ACS-3, 7.12.7).
//
// The decoder is a pure function over the sector bytes, so a sector captured on any machine
// (or built by hand in a test) decodes the same way.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tavrin::collectors {

/// Word 255 of IDENTIFY data: signature 0xA5 in the low byte, then a checksum byte that makes
/// the 512 bytes sum to zero.
enum class IdentifyChecksum : uint8_t { kAbsent, kValid, kInvalid };

struct AtaIdentity {
  /// Identification texts with the byte pairs put in reading order and blanks trimmed. The
  /// model is empty when the drive's text holds unprintable characters; then no other field
  /// of the sector is trusted (garbage from a controller that did not run the command).
  std::string model;
  std::string revision;
  std::string serial;  ///< characters other than letters, digits and punctuation become "_"
  bool modelPrintable = false;

  // Legacy CHS geometry (words 1, 3, 4, 5, 6): zero on drives made after ATA-5 retired it.
  uint32_t cylinders = 0, heads = 0, bytesPerTrack = 0, bytesPerSector = 0, sectorsPerTrack = 0;
  uint32_t addressableSectors = 0;  ///< 28-bit LBA capacity, words 60-61
  uint64_t lba48Sectors = 0;        ///< words 100-103 when the 48-bit feature set is supported
  uint32_t bufferBytes = 0;         ///< word 21 × 512 (retired; old drives only)
  uint32_t eccBytes = 0;            ///< word 22 (retired)
  /// Highest ATA version by the legacy mapping of word 80 some tools still print; see
  /// LegacyAtaVersion.
  uint32_t ataVersion = 0;
  /// Highest major version bit of word 80 (4 = ATA/ATAPI-4 ... 11 = ACS-4); 0 when word 80
  /// reports none (0x0000 or 0xFFFF).
  uint32_t majorVersion = 0;
  uint32_t logicalSectorBytes = 512;   ///< words 106, 117-118
  uint32_t physicalSectorBytes = 512;  ///< word 106 bits 3:0 (logical sectors per physical)
  /// Word 217: 1 for a non-rotating (solid state) device, else the rotation rate in rpm; 0
  /// when not reported.
  uint32_t rotationRate = 0;
  bool smartSupported = false;  ///< word 82 bit 0, when word 83 is valid
  bool smartEnabled = false;    ///< word 85 bit 0, when word 87 is valid
  bool lba48Supported = false;  ///< word 83 bit 10
  bool packetDevice = false;    ///< word 0 bit 15 (ATAPI: optical and tape drives)
  IdentifyChecksum checksum = IdentifyChecksum::kAbsent;
};

/// Decodes IDENTIFY (PACKET) DEVICE data. Needs at least 256 bytes (words 0-127); the
/// checksum is checked when all 512 are there. Nullopt for shorter input.
std::optional<AtaIdentity> DecodeAtaIdentify(std::span<const uint8_t> sector);

/// The user-addressable sectors of a drive: the 48-bit count when it is larger, else words
/// 60-61.
uint64_t AddressableSectorsOf(const AtaIdentity& id);

/// Word 80 mapped the way older tools did: the high byte indexes a fixed table, and when that
/// gives nothing the highest set bit of the low byte counts. Kept for snapshots whose pages
/// were made with it; modern drives set bits 8 and up, which this mapping misreads.
uint32_t LegacyAtaVersion(uint16_t word80);
/// Highest major version bit set in word 80 (bits 1 to 14); 0 when none or 0xFFFF.
uint32_t AtaMajorVersion(uint16_t word80);
/// "ATA/ATAPI-7", "ACS-3", ...; empty for 0 or an unknown bit.
std::string AtaStandardName(uint32_t majorVersion);

/// ATA text field: `words` 16-bit words starting at `firstWord`, each word's two bytes
/// swapped into reading order, trailing and leading blanks removed.
std::string AtaString(std::span<const uint8_t> sector, unsigned firstWord, unsigned words);

}  // namespace tavrin::collectors
