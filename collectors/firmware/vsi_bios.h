// The BIOS texts: name, copyright, date and extended information.
//
// On Linux they come from the firmware's own records (the SMBIOS BIOS structure, or what the
// kernel exports of it), and the copyright from the BIOS ROM where physical memory
// is readable and holds text there.
#pragma once

#include <string>

#include "collectors/collector.h"
#include "collectors/firmware/smbios_records.h"

namespace tavrin::collectors {

class TVexa_BIOS : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_BIOS(std::shared_ptr<const platform::Services> services);

  std::string NameString;
  std::string Copyright;
  std::string Date;
  std::string ExtendedInfo;
  platform::Provenance Source;  ///< where the texts came from

  /// The decoded firmware values the texts are made of; refreshed by their owner first.
  void SetFirmwareValues(const SmbiosValues* values, platform::Provenance source);

  void RefreshData() override;

  /// Addresses of the texts in the BIOS ROM of PC firmware.
  static constexpr uint32_t kRomCopyright = 0xFE091;
  static constexpr uint32_t kRomExtendedInfo = 0xFEC71;

 private:
  std::string RomText(uint32_t address) const;

  const SmbiosValues* values_ = nullptr;
  platform::Provenance values_source_;
};

/// The zero-terminated text at the start of `bytes` when it reads as text (at least four
/// printable characters, nothing else before the terminator); empty otherwise.
std::string PrintableRomText(std::string_view bytes);

}  // namespace tavrin::collectors
