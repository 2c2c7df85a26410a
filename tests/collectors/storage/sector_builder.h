// Sector images built by hand for the storage decoder tests, field by field after the public
// layouts (ATA/ACS-3 IDENTIFY DEVICE data and SMART READ DATA; NVM Express 2.0 log page 02h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::testing {

class Sector {
 public:
  explicit Sector(std::size_t size = 512, uint8_t fill = 0) : bytes_(size, fill) {}

  Sector& Word(unsigned w, uint16_t v) {
    bytes_[2 * w] = static_cast<uint8_t>(v);
    bytes_[2 * w + 1] = static_cast<uint8_t>(v >> 8);
    return *this;
  }
  /// An ATA text: blank padded to `words` words, the two characters of each word swapped as
  /// the drive sends them.
  Sector& AtaText(unsigned firstWord, unsigned words, std::string_view text) {
    std::string padded(text);
    padded.resize(words * 2, ' ');
    for (unsigned i = 0; i < words; ++i) {
      bytes_[2 * (firstWord + i)] = static_cast<uint8_t>(padded[2 * i + 1]);
      bytes_[2 * (firstWord + i) + 1] = static_cast<uint8_t>(padded[2 * i]);
    }
    return *this;
  }
  Sector& Byte(std::size_t at, uint8_t v) {
    bytes_[at] = v;
    return *this;
  }
  /// Little-endian value of `n` bytes (up to 16: the bytes past the 64-bit value are zero).
  Sector& Le(std::size_t at, uint64_t v, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
      bytes_[at + i] = i < 8 ? static_cast<uint8_t>(v >> (8 * i)) : 0;
    return *this;
  }
  Sector& Text(std::size_t at, std::size_t len, std::string_view text) {
    for (std::size_t i = 0; i < len; ++i) bytes_[at + i] = i < text.size() ? text[i] : ' ';
    return *this;
  }
  /// The last byte set so that all bytes sum to zero; with `signature` byte 510 is 0xA5 first
  /// (IDENTIFY word 255).
  Sector& Checksum(bool signature = false) {
    if (signature) bytes_[510] = 0xA5;
    uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < bytes_.size(); ++i) sum = static_cast<uint8_t>(sum + bytes_[i]);
    bytes_.back() = static_cast<uint8_t>(-sum);
    return *this;
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::string str() const { return std::string(bytes_.begin(), bytes_.end()); }

 private:
  std::vector<uint8_t> bytes_;
};

/// A 12-byte SMART attribute entry written at slot `slot` (data byte 2 + 12 × slot).
inline void PutAttribute(Sector& s, unsigned slot, uint8_t id, uint16_t flags, uint8_t current,
                         uint8_t worst, uint64_t raw) {
  const std::size_t at = 2 + 12 * slot;
  s.Byte(at, id).Le(at + 1, flags, 2).Byte(at + 3, current).Byte(at + 4, worst).Le(at + 5, raw, 6);
}

/// A threshold entry: id and threshold at slot `slot`.
inline void PutThreshold(Sector& s, unsigned slot, uint8_t id, uint8_t threshold) {
  s.Byte(2 + 12 * slot, id).Byte(3 + 12 * slot, threshold);
}

/// An IDENTIFY DEVICE image of a made-up 1 TB SATA drive (ACS-3, 48-bit addressing, S.M.A.R.T.
/// supported and enabled, 4096-byte physical sectors, 7200 rpm), built by hand.
inline Sector SampleIdentify() {
  Sector s;
  s.Word(0, 0x0040)  // fixed device
      .Word(1, 16383)
      .Word(3, 16)
      .Word(6, 63)
      .AtaText(10, 10, "  WD-WCC4E1234567")
      .AtaText(23, 4, "01.01A01")
      .AtaText(27, 20, "WDC WD10EZEX-00BN5A0")
      .Word(60, 0xFFFF)
      .Word(61, 0x0FFF)  // 28-bit count saturated at 0x0FFFFFFF
      .Word(80, 0x07F0)  // ATA/ATAPI-4 to ACS-3
      .Word(82, 0x7469)
      .Word(83, 0x7C01 | 0x0400)
      .Word(85, 0x7469)
      .Word(87, 0x4163)
      .Word(100, 0x6DB0)
      .Word(101, 0x7470)
      .Word(102, 0)
      .Word(103, 0)       // 1953525168 sectors
      .Word(106, 0x6003)  // 2^3 logical sectors per physical sector
      .Word(217, 7200);
  return s;
}

}  // namespace tavrin::testing
