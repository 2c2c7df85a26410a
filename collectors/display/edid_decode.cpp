// The base block of VESA E-EDID 1.4 (release A, revision 2), section 3: fixed offsets,
// little-endian numbers, four 18-byte descriptors.
#include "collectors/display/edid_decode.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "collectors/display/edid_tables.h"

namespace tavrin::collectors::edid {
namespace {

constexpr std::size_t kBlock = 128;
constexpr uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

uint8_t Sum(std::span<const uint8_t> block) {
  uint8_t sum = 0;
  for (uint8_t b : block) sum = static_cast<uint8_t>(sum + b);
  return sum;
}

// Chromaticity coordinates are 10-bit binary fractions: 8 high bits and 2 low bits elsewhere.
double Fraction(uint8_t high, uint8_t low2) {
  return ((high << 2) | (low2 & 3)) / 1024.0;
}

void DecodeDisplayParameters(const uint8_t* b, Edid& e) {
  const uint8_t input = b[0x14];
  e.digital = input & 0x80;
  if (e.digital) {
    if (e.version == 1 && e.revision >= 4) {
      static constexpr uint8_t kDepth[8] = {0, 6, 8, 10, 12, 14, 16, 0};
      e.bitsPerColor = kDepth[(input >> 4) & 7];
      const uint8_t iface = input & 0x0F;
      e.interface = iface <= 5 ? static_cast<DigitalInterface>(iface) : DigitalInterface::kOther;
    }
  } else {
    e.analogSignalLevel = (input >> 5) & 3;
    e.analogSeparateSync = input & 0x08;
    e.analogCompositeSync = input & 0x04;
    e.analogSyncOnGreen = input & 0x02;
  }
  const uint8_t h = b[0x15], v = b[0x16];
  if (h && v) {
    e.widthCm = h;
    e.heightCm = v;
  } else if (h) {
    e.aspectRatio = (h + 99) / 100.0;  // landscape
  } else if (v) {
    e.aspectRatio = 100.0 / (v + 99);  // portrait
  }
  e.gammaByte = b[0x17];
  if (b[0x17] != 0xFF) e.gamma = (b[0x17] + 100) / 100.0;
  const uint8_t f = b[0x18];
  e.dpmsStandby = f & 0x80;
  e.dpmsSuspend = f & 0x40;
  e.dpmsOff = f & 0x20;
  e.colorType = (f >> 3) & 3;
  e.srgbDefault = f & 0x04;
  e.preferredTimingNative = f & 0x02;
  e.continuousFrequency = f & 0x01;
  const uint8_t rg = b[0x19], bw = b[0x1A];
  e.chromaticity = {Fraction(b[0x1B], rg >> 6), Fraction(b[0x1C], rg >> 4),
                    Fraction(b[0x1D], rg >> 2), Fraction(b[0x1E], rg),
                    Fraction(b[0x1F], bw >> 6), Fraction(b[0x20], bw >> 4),
                    Fraction(b[0x21], bw >> 2), Fraction(b[0x22], bw)};
}

void DecodeEstablished(const uint8_t* b, Edid& e) {
  const auto table = EstablishedTimings();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const uint8_t byte = b[0x23 + i / 8];
    if (!(byte & (0x80 >> (i % 8)))) continue;
    const ModeEntry& m = table[i];
    Timing t;
    t.width = m.width;
    t.height = m.height;
    t.refreshHz = m.milliHz / 1000.0;
    t.interlaced = m.interlaced;
    t.origin = TimingOrigin::kEstablished;
    e.established.push_back(t);
  }
}

// A 2-byte standard timing (section 3.9); 01 01 and 00 00 mark an unused slot.
std::optional<Timing> StandardTiming(uint8_t first, uint8_t second, bool before13) {
  if ((first == 0x01 && second == 0x01) || first == 0x00) return std::nullopt;
  Timing t;
  t.origin = TimingOrigin::kStandard;
  t.width = static_cast<uint16_t>((first + 31) * 8);
  switch (second >> 6) {
    case 0:
      t.height = before13 ? t.width : static_cast<uint16_t>(t.width * 10 / 16);
      break;
    case 1:
      t.height = static_cast<uint16_t>(t.width * 3 / 4);
      break;
    case 2:
      t.height = static_cast<uint16_t>(t.width * 4 / 5);
      break;
    default:
      t.height = static_cast<uint16_t>(t.width * 9 / 16);
      break;
  }
  t.refreshHz = (second & 0x3F) + 60;
  return t;
}

// Several descriptors of one kind are joined without a separator, as two halves of a long name.
void AppendText(std::string& to, const uint8_t* d) {
  to += DescriptorText(std::span<const uint8_t, 13>(d + 5, 13));
}

void DecodeDescriptor(const uint8_t* d, bool first, Edid& e) {
  if (auto t = DecodeDetailedTiming(std::span<const uint8_t, 18>(d, 18))) {
    if (first) t->preferred = true;
    e.detailed.push_back(*t);
    return;
  }
  switch (d[3]) {
    case 0xFC:
      AppendText(e.name, d);
      break;
    case 0xFF:
      AppendText(e.serialText, d);
      break;
    case 0xFE: {
      // Panels give maker and model in two data strings; a blank keeps them apart.
      const std::string text = DescriptorText(std::span<const uint8_t, 13>(d + 5, 13));
      if (!e.dataString.empty() && !text.empty()) e.dataString += ' ';
      e.dataString += text;
      break;
    }
    case 0xFD: {
      // Byte 4 adds 255 to a limit in EDID 1.4 (bit 0/1: min/max vertical, 2/3 horizontal).
      const uint8_t off = d[4];
      RangeLimits r;
      r.minVerticalHz = static_cast<uint16_t>(d[5] + ((off & 0x03) == 0x03 ? 255 : 0));
      r.maxVerticalHz = static_cast<uint16_t>(d[6] + ((off & 0x02) ? 255 : 0));
      r.minHorizontalKHz = static_cast<uint16_t>(d[7] + ((off & 0x0C) == 0x0C ? 255 : 0));
      r.maxHorizontalKHz = static_cast<uint16_t>(d[8] + ((off & 0x08) ? 255 : 0));
      r.maxPixelClockMHz = static_cast<uint16_t>(d[9] * 10);
      e.rangeLimits = r;
      break;
    }
    case 0xFA:  // six more standard timings
      for (int i = 0; i < 6; ++i)
        if (auto t = StandardTiming(d[5 + 2 * i], d[6 + 2 * i], false)) e.standard.push_back(*t);
      break;
    default:
      break;
  }
}

void DecodeExtensions(std::span<const uint8_t> bytes, Edid& e) {
  const std::size_t present = bytes.size() / kBlock - 1;
  const std::size_t trusted = std::min<std::size_t>(present, e.extensionCount);
  e.extraBlocks = present - trusted;
  for (std::size_t i = 1; i <= trusted; ++i) {
    std::span<const uint8_t, 128> block(bytes.data() + i * kBlock, kBlock);
    ExtensionBlock x;
    x.tag = block[0];
    x.checksum = block[127];
    x.checksumOk = Sum(block) == 0;
    if (x.tag == 0x02) x.cta = DecodeCtaBlock(block);
    if (x.tag == 0x70) x.displayId = DecodeDisplayIdBlock(block);
    e.extensions.push_back(std::move(x));
  }
}

}  // namespace

std::string ManufacturerLetters(uint8_t high, uint8_t low) {
  const unsigned word = (high << 8) | low;
  std::string id(3, '?');
  for (int i = 0; i < 3; ++i) {
    const unsigned v = (word >> (10 - 5 * i)) & 0x1F;
    if (v >= 1 && v <= 26) id[i] = static_cast<char>('A' + v - 1);
  }
  return id;
}

std::string DescriptorText(std::span<const uint8_t, 13> text) {
  std::string s;
  for (uint8_t c : text) {
    if (c == 0x0A || c == 0x00) break;
    s += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  }
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::optional<Timing> DecodeDetailedTiming(std::span<const uint8_t, 18> d) {
  const uint32_t clock10k = d[0] | (d[1] << 8);
  if (clock10k == 0) return std::nullopt;
  Timing t;
  t.origin = TimingOrigin::kDetailed;
  t.pixelClockKHz = clock10k * 10;
  const unsigned hActive = d[2] | ((d[4] & 0xF0) << 4);
  const unsigned hBlank = d[3] | ((d[4] & 0x0F) << 8);
  const unsigned vActive = d[5] | ((d[7] & 0xF0) << 4);
  const unsigned vBlank = d[6] | ((d[7] & 0x0F) << 8);
  t.interlaced = d[17] & 0x80;
  t.width = static_cast<uint16_t>(hActive);
  // An interlaced descriptor gives the lines of one field.
  t.height = static_cast<uint16_t>(t.interlaced ? vActive * 2 : vActive);
  const double total = static_cast<double>(hActive + hBlank) * (vActive + vBlank);
  if (total > 0) t.refreshHz = t.pixelClockKHz * 1000.0 / total;
  t.imageWidthMm = static_cast<uint16_t>(d[12] | ((d[14] & 0xF0) << 4));
  t.imageHeightMm = static_cast<uint16_t>(d[13] | ((d[14] & 0x0F) << 8));
  return t;
}

bool LooksLikeEdid(std::string_view bytes) {
  return bytes.size() >= kBlock && bytes.size() % kBlock == 0 &&
         std::memcmp(bytes.data(), kHeader, sizeof kHeader) == 0;
}

Edid DecodeEdid(std::string_view bytes) {
  return DecodeEdid(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

Edid DecodeEdid(std::span<const uint8_t> bytes) {
  Edid e;
  e.length = bytes.size();
  // A short block is decoded from a zero-padded copy, but only the fields whose bytes are all
  // present are kept; the checksum of a short block is never good.
  std::array<uint8_t, kBlock> b{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), kBlock), b.begin());
  const auto have = [&](std::size_t end) { return bytes.size() >= end; };
  e.headerOk = have(8) && std::memcmp(b.data(), kHeader, 8) == 0;
  if (!have(0x12)) return e;
  e.manufacturerCode = static_cast<uint16_t>(b[8] | (b[9] << 8));
  e.manufacturerId = ManufacturerLetters(b[8], b[9]);
  e.productCode = static_cast<uint16_t>(b[10] | (b[11] << 8));
  e.serialNumber = b[12] | (b[13] << 8) | (b[14] << 16) | (static_cast<uint32_t>(b[15]) << 24);
  e.week = b[16];
  e.modelYear = b[16] == 0xFF;
  e.year = static_cast<uint16_t>(b[17] + 1990);
  if (!have(0x14)) return e;
  e.version = b[18];
  e.revision = b[19];
  if (!have(kBlock)) return e;

  e.checksum = b[127];
  e.expectedChecksum = static_cast<uint8_t>(b[127] - Sum(b));
  e.baseChecksumOk = Sum(b) == 0;
  DecodeDisplayParameters(b.data(), e);
  DecodeEstablished(b.data(), e);
  for (int i = 0; i < 8; ++i)
    if (auto t = StandardTiming(b[0x26 + 2 * i], b[0x27 + 2 * i], e.revision < 3))
      e.standard.push_back(*t);
  for (int i = 0; i < 4; ++i) DecodeDescriptor(b.data() + 0x36 + 18 * i, i == 0, e);
  if (!e.detailed.empty() && e.detailed.front().preferred) e.preferred = e.detailed.front();
  e.extensionCount = b[126];
  DecodeExtensions(bytes.first(bytes.size() - bytes.size() % kBlock), e);
  // A base block without a detailed timing may leave the preferred mode to its extensions.
  if (!e.preferred) {
    for (const auto& x : e.extensions) {
      const std::vector<Timing>* list = x.cta         ? &x.cta->detailed
                                        : x.displayId ? &x.displayId->detailed
                                                      : nullptr;
      if (list && !list->empty()) {
        e.preferred = list->front();
        break;
      }
    }
  }
  return e;
}

}  // namespace tavrin::collectors::edid
