// Reader of a range of physical memory, through the firmware service's physical-memory route,
// or of bytes obtained otherwise (SetData). Reads outside the range give 0.
#pragma once

#include <cstdint>
#include <string>

#include "collectors/collector.h"

namespace tavrin::collectors {

class TVexa_DMA : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_DMA(std::shared_ptr<const platform::Services> services);

  uint32_t StartAddress = 0;
  uint32_t EndAddress = 0;  ///< informative
  uint32_t MemorySize = 0;  ///< bytes to copy

  /// Copies MemorySize bytes from StartAddress; the buffer is empty when the read failed.
  void RefreshData() override;
  /// Replaces the buffer with bytes obtained otherwise.
  void SetData(std::string bytes);

  const std::string& Data() const { return buffer_; }
  /// Whether the last refresh read the memory, and from where or why not.
  const platform::Provenance& Source() const { return source_; }

  bool InRange(uint64_t address) const;
  uint8_t ReadByte(uint64_t address) const;
  uint16_t ReadWord(uint64_t address) const;
  uint32_t ReadDword(uint64_t address) const;
  /// Up to `count` bytes from `address`, cut at the end of the buffer.
  std::string Copy(uint64_t address, std::size_t count) const;

 private:
  std::string buffer_;
  platform::Provenance source_;
};

}  // namespace tavrin::collectors
