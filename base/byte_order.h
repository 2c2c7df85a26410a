// Little-endian fields of binary answers: Windows structures, device sectors, firmware tables.
//
// The readers take the field's offset and leave the bounds check to the caller, who knows
// the structure's size; LeU32If answers nullopt for a field past the end. They read bytes
// from any contiguous holder (std::string_view of raw bytes, std::span<const uint8_t>).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tavrin::base {

template <class Bytes>
constexpr uint8_t ByteAt(const Bytes& b, std::size_t at) {
  return static_cast<uint8_t>(b[at]);
}

template <class Bytes>
constexpr uint16_t LeU16(const Bytes& b, std::size_t at) {
  return static_cast<uint16_t>(ByteAt(b, at) | ByteAt(b, at + 1) << 8);
}

template <class Bytes>
constexpr uint32_t LeU32(const Bytes& b, std::size_t at) {
  return static_cast<uint32_t>(LeU16(b, at)) | static_cast<uint32_t>(LeU16(b, at + 2)) << 16;
}

template <class Bytes>
constexpr uint64_t LeU64(const Bytes& b, std::size_t at) {
  return static_cast<uint64_t>(LeU32(b, at)) | static_cast<uint64_t>(LeU32(b, at + 4)) << 32;
}

/// The 32-bit field at `at`, or nullopt when the answer ends before it.
template <class Bytes>
constexpr std::optional<uint32_t> LeU32If(const Bytes& b, std::size_t at) {
  if (b.size() < at + 4) return std::nullopt;
  return LeU32(b, at);
}

/// Writes into a buffer already long enough.
inline void PutLeU16(std::string& b, std::size_t at, uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}

inline void PutLeU32(std::string& b, std::size_t at, uint32_t v) {
  PutLeU16(b, at, static_cast<uint16_t>(v & 0xFFFF));
  PutLeU16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

/// Appends, for building a structure field after field.
inline void AppendLeU32(std::string& b, uint32_t v) {
  b.resize(b.size() + 4);
  PutLeU32(b, b.size() - 4, v);
}

}  // namespace tavrin::base
