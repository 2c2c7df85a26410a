// The firmware service of a Linux machine.
//
// Routes, first that answers: the tables the kernel exports under /sys/firmware/dmi/tables
// (root only on most systems); the SMBIOS address the EFI system table names, read through
// /dev/mem; the legacy search of 0xF0000..0xFFFFF through /dev/mem (root only). Every path is
// resolved under the file reader's root, /dev/mem included, so a captured tree replays.
#pragma once

#include <memory>

#include "platform/file_reader.h"
#include "platform/firmware.h"

namespace tavrin::platform {

class LinuxFirmwareService : public FirmwareService {
 public:
  explicit LinuxFirmwareService(std::shared_ptr<const FileReader> files);

  FirmwareRoutes ReadSmbios() const override;
  Answer<std::string> ReadPhysicalMemory(uint64_t address, std::size_t length) const override;

  /// Largest table any route reads: a bad length field must not make us copy gigabytes.
  static constexpr std::size_t kMaxTable = 4u << 20;

 private:
  Answer<SmbiosTables> FromSysfs() const;
  Answer<SmbiosTables> FromEfiSystab() const;
  Answer<SmbiosTables> FromLegacyScan() const;
  /// Reads the table that `entryPoint` names, through physical memory.
  Answer<SmbiosTables> TableAt(std::string entryPoint, const std::string& route) const;

  std::shared_ptr<const FileReader> files_;
};

/// The SMBIOS and SMBIOS3 addresses of an EFI system table listing ("SMBIOS3=0x...").
struct EfiSmbiosAddresses {
  std::optional<uint64_t> smbios3;
  std::optional<uint64_t> smbios;
};
EfiSmbiosAddresses ParseEfiSystab(std::string_view text);

}  // namespace tavrin::platform
