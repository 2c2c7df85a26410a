#include "collectors/storage/ata_identify.h"

#include <array>
#include <string_view>

#include "collectors/storage/ata_tables.h"

namespace tavrin::collectors {
namespace {

uint16_t Word(std::span<const uint8_t> s, unsigned w) {
  return static_cast<uint16_t>(s[2 * w] | (s[2 * w + 1] << 8));
}

bool Printable(unsigned char c) {
  return c >= 0x20 && c < 0x7F;
}

// Letters, digits and the punctuation serial numbers use; anything else would only confuse a
// reader (or a report) and is replaced.
bool SerialCharacter(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c > 0x20 && c < 0x7F &&
          std::string_view("-_.:/+#()[]").find(static_cast<char>(c)) != std::string_view::npos);
}

// Drives pad their texts with blanks; some controllers pad with zero bytes instead.
std::string Trim(std::string s) {
  constexpr std::string_view kPad(" \t\0", 3);
  const auto first = s.find_first_not_of(kPad);
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(kPad);
  return s.substr(first, last - first + 1);
}

// Word 255: signature 0xA5 in bits 7:0; when present, the sum of all 512 bytes is 0 mod 256.
IdentifyChecksum CheckSum(std::span<const uint8_t> s) {
  if (s.size() < 512 || s[510] != 0xA5) return IdentifyChecksum::kAbsent;
  uint8_t sum = 0;
  for (std::size_t i = 0; i < 512; ++i) sum = static_cast<uint8_t>(sum + s[i]);
  return sum == 0 ? IdentifyChecksum::kValid : IdentifyChecksum::kInvalid;
}

// Words 83 and 87 are valid when bit 15 is clear and bit 14 set.
bool WordValid(uint16_t w) {
  return (w & 0xC000) == 0x4000;
}

}  // namespace

std::string AtaString(std::span<const uint8_t> sector, unsigned firstWord, unsigned words) {
  std::string text;
  text.reserve(words * 2);
  for (unsigned w = firstWord; w < firstWord + words && 2 * w + 1 < sector.size(); ++w) {
    text.push_back(static_cast<char>(sector[2 * w + 1]));
    text.push_back(static_cast<char>(sector[2 * w]));
  }
  return Trim(std::move(text));
}

uint32_t LegacyAtaVersion(uint16_t word80) {
  const unsigned index = word80 >> 8;
  uint32_t v = index < kLegacyAtaVersionTable.size() ? kLegacyAtaVersionTable[index] : 0;
  if (v == 0) {
    v = 1;
    for (unsigned bit = 7; bit >= 1; --bit)
      if (word80 & (1u << bit)) {
        v = bit;
        break;
      }
  }
  return v;
}

uint32_t AtaMajorVersion(uint16_t word80) {
  if (word80 == 0xFFFF) return 0;
  for (unsigned bit = 14; bit >= 1; --bit)
    if (word80 & (1u << bit)) return bit;
  return 0;
}

std::string AtaStandardName(uint32_t majorVersion) {
  for (const AtaStandard& s : kAtaStandards)
    if (s.majorBit == majorVersion) return std::string(s.name);
  return {};
}

std::optional<AtaIdentity> DecodeAtaIdentify(std::span<const uint8_t> s) {
  if (s.size() < 256) return std::nullopt;
  AtaIdentity id;
  id.packetDevice = (Word(s, 0) & 0x8000) != 0;
  id.checksum = CheckSum(s);
  const std::string model = AtaString(s, 27, 20);
  id.modelPrintable = true;
  for (unsigned char c : model) id.modelPrintable = id.modelPrintable && Printable(c);
  if (!id.modelPrintable) return id;
  id.model = model;
  id.revision = AtaString(s, 23, 4);
  id.serial = AtaString(s, 10, 10);
  for (char& c : id.serial)
    if (!SerialCharacter(static_cast<unsigned char>(c))) c = '_';
  id.cylinders = Word(s, 1);
  id.heads = Word(s, 3);
  id.bytesPerTrack = Word(s, 4);
  id.bytesPerSector = Word(s, 5);
  id.sectorsPerTrack = Word(s, 6);
  id.bufferBytes = Word(s, 21) * 512u;
  id.eccBytes = Word(s, 22);
  id.addressableSectors = Word(s, 60) | (static_cast<uint32_t>(Word(s, 61)) << 16);
  const uint16_t w83 = Word(s, 83), w87 = Word(s, 87);
  id.smartSupported = WordValid(w83) && (Word(s, 82) & 1);
  id.smartEnabled = id.smartSupported && WordValid(w87) && (Word(s, 85) & 1);
  id.lba48Supported = WordValid(w83) && (w83 & (1u << 10));
  if (id.lba48Supported) {
    for (unsigned i = 0; i < 4; ++i)
      id.lba48Sectors |= static_cast<uint64_t>(Word(s, 100 + i)) << (16 * i);
  }
  const uint16_t w80 = Word(s, 80);
  id.ataVersion = LegacyAtaVersion(w80);
  id.majorVersion = AtaMajorVersion(w80);
  // Word 106: valid when bits 15:14 are 01; bit 12 says words 117-118 give the logical sector
  // size in words, bit 13 that bits 3:0 give 2^n logical sectors per physical sector.
  const uint16_t w106 = Word(s, 106);
  if (WordValid(w106)) {
    if (w106 & (1u << 12)) {
      const uint32_t words = Word(s, 117) | (static_cast<uint32_t>(Word(s, 118)) << 16);
      if (words >= 256) id.logicalSectorBytes = words * 2;
    }
    id.physicalSectorBytes = id.logicalSectorBytes;
    if (w106 & (1u << 13)) id.physicalSectorBytes = id.logicalSectorBytes << (w106 & 0xF);
  }
  // Word 217: 1 = non-rotating; 0x0401-0xFFFE = rpm; other values are reserved.
  if (s.size() >= 436) {
    const uint16_t w217 = Word(s, 217);
    if (w217 == 1 || (w217 >= 0x401 && w217 != 0xFFFF)) id.rotationRate = w217;
  }
  return id;
}

uint64_t AddressableSectorsOf(const AtaIdentity& id) {
  return id.lba48Sectors > id.addressableSectors ? id.lba48Sectors : id.addressableSectors;
}

}  // namespace tavrin::collectors
