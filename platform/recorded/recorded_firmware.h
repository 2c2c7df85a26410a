// The firmware part of a snapshot, or a single raw SMBIOS dump given to --replay.
#pragma once

#include <memory>
#include <vector>

#include "platform/firmware.h"

namespace tavrin::platform {

/// Answers from recorded tables; a snapshot holds no physical memory.
class RecordedFirmwareService : public FirmwareService {
 public:
  /// `tables` null when the recording could not read them; `tried` is the recorded story.
  RecordedFirmwareService(std::optional<SmbiosTables> tables, std::string source,
                          std::vector<Provenance> tried);

  FirmwareRoutes ReadSmbios() const override;
  Answer<std::string> ReadPhysicalMemory(uint64_t address, std::size_t length) const override;

 private:
  std::optional<SmbiosTables> tables_;
  std::string source_;
  std::vector<Provenance> tried_;
};

}  // namespace tavrin::platform
