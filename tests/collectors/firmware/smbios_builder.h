// Building SMBIOS tables and entry points byte by byte for the firmware tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tavrin::testing::smbios {

/// One structure: header (type, length, handle), the formatted bytes after the header, and the
/// string set (two zero bytes when there are no strings).
inline std::string Structure(uint8_t type, uint16_t handle, const std::vector<uint8_t>& body,
                             const std::vector<std::string>& strings = {}) {
  std::string s;
  s += static_cast<char>(type);
  s += static_cast<char>(body.size() + 4);
  s += static_cast<char>(handle & 0xFF);
  s += static_cast<char>(handle >> 8);
  for (uint8_t b : body) s += static_cast<char>(b);
  for (const auto& text : strings) s += text + std::string(1, '\0');
  if (strings.empty()) s += '\0';
  s += '\0';
  return s;
}

inline std::string EndOfTable(uint16_t handle) {
  return Structure(127, handle, {});
}

/// A formatted body of `size` bytes (after the header) with bytes set at their structure offsets.
inline std::vector<uint8_t> Body(std::size_t structureLength,
                                 std::initializer_list<std::pair<std::size_t, uint8_t>> bytes) {
  std::vector<uint8_t> body(structureLength - 4, 0);
  for (auto [offset, value] : bytes) body.at(offset - 4) = value;
  return body;
}

inline void Put(std::string& b, std::size_t at, uint64_t v, int n) {
  for (int i = 0; i < n; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline void Checksum(std::string& b, std::size_t at, std::size_t from, std::size_t length) {
  b[at] = 0;
  uint8_t sum = 0;
  for (std::size_t i = from; i < from + length; ++i) sum += static_cast<uint8_t>(b[i]);
  b[at] = static_cast<char>(static_cast<uint8_t>(0x100 - sum));
}

/// A 31-byte "_SM_" entry point with valid checksums.
inline std::string EntryPoint2(uint8_t major, uint8_t minor, uint32_t address, uint16_t length,
                               uint16_t count) {
  std::string e(0x1F, '\0');
  e.replace(0, 4, "_SM_");
  e[5] = 0x1F;
  e[6] = static_cast<char>(major);
  e[7] = static_cast<char>(minor);
  e.replace(0x10, 5, "_DMI_");
  Put(e, 0x16, length, 2);
  Put(e, 0x18, address, 4);
  Put(e, 0x1C, count, 2);
  e[0x1E] = static_cast<char>((major << 4) | minor);
  Checksum(e, 0x15, 0x10, 0x0F);
  Checksum(e, 0x04, 0, 0x1F);
  return e;
}

/// A 24-byte "_SM3_" entry point with a valid checksum.
inline std::string EntryPoint3(uint8_t major, uint8_t minor, uint64_t address, uint32_t maxSize) {
  std::string e(0x18, '\0');
  e.replace(0, 5, "_SM3_");
  e[6] = 0x18;
  e[7] = static_cast<char>(major);
  e[8] = static_cast<char>(minor);
  e[0x0A] = 1;
  Put(e, 0x0C, maxSize, 4);
  Put(e, 0x10, address, 8);
  Checksum(e, 0x05, 0, 0x18);
  return e;
}

/// A dump file in the shared layout: entry point, zero padding to 0x20, the table.
inline std::string Dump(const std::string& entryPoint, const std::string& table) {
  std::string d = entryPoint;
  d.resize(0x20, '\0');
  return d + table;
}

}  // namespace tavrin::testing::smbios
