#include "collectors/firmware/vsi_dma.h"

#include "platform/firmware.h"

namespace tavrin::collectors {

TVexa_DMA::TVexa_DMA(std::shared_ptr<const platform::Services> services)
    : TVexa_VSIC_Component("TVexa_DMA", "DMA", std::move(services)) {}

void TVexa_DMA::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  buffer_.clear();
  const auto& firmware = Platform().firmware;
  if (!firmware) {
    source_ = platform::Provenance::Failure(platform::Status::NotSupported, "physical memory",
                                            "no firmware service");
    return;
  }
  auto bytes = firmware->ReadPhysicalMemory(StartAddress, MemorySize);
  source_ = bytes.source;
  if (bytes) buffer_ = std::move(*bytes);
}

void TVexa_DMA::SetData(std::string bytes) {
  buffer_ = std::move(bytes);
  MemorySize = static_cast<uint32_t>(buffer_.size());
  source_ = platform::Provenance::Answered("supplied data");
}

bool TVexa_DMA::InRange(uint64_t address) const {
  return address >= StartAddress && address - StartAddress < buffer_.size();
}

uint8_t TVexa_DMA::ReadByte(uint64_t address) const {
  return InRange(address) ? static_cast<uint8_t>(buffer_[address - StartAddress]) : 0;
}

uint16_t TVexa_DMA::ReadWord(uint64_t address) const {
  return static_cast<uint16_t>(ReadByte(address) | (ReadByte(address + 1) << 8));
}

uint32_t TVexa_DMA::ReadDword(uint64_t address) const {
  return ReadWord(address) | (uint32_t{ReadWord(address + 2)} << 16);
}

std::string TVexa_DMA::Copy(uint64_t address, std::size_t count) const {
  if (!InRange(address)) return {};
  return buffer_.substr(address - StartAddress, count);
}

}  // namespace tavrin::collectors
