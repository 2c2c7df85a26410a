// The firmware part of a snapshot, or a single raw SMBIOS dump given to --replay.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
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

/// Why `bytes` is not an SMBIOS dump: too short, no anchor, or a bad entry point.
std::string SmbiosDumpProblem(std::string_view bytes);

/// The firmware service of a single dump file's bytes; nullptr with `why` set when they are not
/// an SMBIOS dump.
std::shared_ptr<const FirmwareService> LoadFirmwareDump(std::string_view bytes,
                                                        const std::filesystem::path& file,
                                                        std::string& why);

}  // namespace tavrin::platform
