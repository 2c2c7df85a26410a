// SCSI commands a storage collector sends through a pass-through (INQUIRY, SPC-4 6.6; MODE
// SENSE (10) for the CD/DVD capabilities page 2Ah, MMC-3 5.5.10) and decoders of their data.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "collectors/storage/optical.h"

namespace tavrin::collectors {

inline constexpr uint8_t kInquiryLength = 36;
inline constexpr uint8_t kCapabilitiesLength = 128;

/// INQUIRY, standard data, `kInquiryLength` bytes.
std::array<uint8_t, 6> InquiryCdb();
/// MODE SENSE (10) of the capabilities page 2Ah, current values, no block descriptors.
std::array<uint8_t, 10> CapabilitiesPageCdb();

/// The texts of standard INQUIRY data, blanks trimmed.
struct InquiryData {
  uint8_t peripheralType = 0;  ///< 0 disk, 1 tape, 5 CD/DVD ...
  std::string vendor, product, revision;
};
/// Nullopt when shorter than the 36 bytes that hold the texts.
std::optional<InquiryData> DecodeInquiry(std::span<const uint8_t> data);

/// The read and write flags of the capabilities page in MODE SENSE (10) data; nullopt when the
/// data holds no page 2Ah. Reading CD-ROM is what the page's drives all do.
std::optional<OpticalCapabilities> DecodeCapabilitiesPage(std::span<const uint8_t> data);

/// The name of a SCSI peripheral device type (SPC-5, table 49): "disk", "tape", "CD/DVD" ...;
/// "type 0x%02x" for a number the standard leaves reserved.
std::string ScsiDeviceTypeName(int type);

}  // namespace tavrin::collectors
