#include "collectors/firmware/smbios_decode.h"

namespace tavrin::collectors::smbios {

SmbiosValues DecodeSmbios(std::string_view table, const std::vector<StructureEntry>& index,
                          SmbiosVersion version) {
  SmbiosValues values;
  DecodeSingleStructures(table, index, version, values);
  DecodeListStructures(table, index, version, values);
  DecodeBoardStructures(table, index, values);
  return values;
}

uint32_t ModuleSizeMB(uint8_t sizeByte) {
  const uint8_t exponent = sizeByte & 0x7F;  // bit 7: double-bank connection
  if (exponent >= 0x7D || exponent >= 32) return 0;
  return uint32_t{1} << exponent;
}

uint32_t CacheSizeKB(uint16_t word) {
  const uint32_t units = word & 0x7FFF;
  return (word & 0x8000) ? units * 64 : units;
}

uint64_t CacheSize2KB(uint32_t dword) {
  const uint64_t units = dword & 0x7FFFFFFF;
  return (dword & 0x80000000u) ? units * 64 : units;
}

double ProcessorVoltage(uint8_t b) {
  if (b & 0x80) return (b - 128) / 10.0;
  if (b & 0x01) return 5.0;
  if (b & 0x02) return 3.3;
  if (b & 0x04) return 2.9;
  return 0;
}

std::optional<uint64_t> MemoryDeviceSizeKB(uint16_t w, uint32_t extendedSize) {
  if (w == 0xFFFF) return std::nullopt;
  if (w == 0x7FFF) return uint64_t{extendedSize & 0x7FFFFFFF} * 1024;  // MB above 32 GB
  if (w & 0x8000) return uint64_t{w & 0x7FFFu};                        // KB granularity
  return uint64_t{w} * 1024;
}

uint64_t BiosRomSizeKB(uint8_t blocks, uint16_t extended, bool hasExtended) {
  if (blocks == 0xFF && hasExtended) {
    const uint64_t size = extended & 0x3FFF;
    switch (extended >> 14) {
      case 0:
        return size * 1024;  // MB
      case 1:
        return size * 1024 * 1024;  // GB
      default:
        return 0;
    }
  }
  return (uint64_t{blocks} + 1) * 64;
}

}  // namespace tavrin::collectors::smbios
