#include "collectors/storage/scsi_data.h"

#include <cstdio>
#include <string_view>

namespace tavrin::collectors {
namespace {

std::string Text(std::span<const uint8_t> d, std::size_t at, std::size_t n) {
  std::string s(reinterpret_cast<const char*>(d.data()) + at, n);
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) c = ' ';
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string ScsiDeviceTypeName(int type) {
  // Peripheral device types of SPC-5 (table 49) and ZBC (14h); 0Ah and 0Bh are obsolete,
  // 10h, 13h and 15h-1Dh reserved.
  static constexpr std::string_view kNames[] = {"disk",
                                                "tape",
                                                "printer",
                                                "processor",
                                                "write-once",
                                                "CD/DVD",
                                                "scanner",
                                                "optical memory",
                                                "medium changer",
                                                "communications",
                                                "",
                                                "",
                                                "storage array controller",
                                                "enclosure services",
                                                "simplified direct-access",
                                                "optical card reader/writer",
                                                "",
                                                "object-based storage",
                                                "automation/drive interface",
                                                "",
                                                "host managed zoned block",
                                                "",
                                                "",
                                                "",
                                                "",
                                                "",
                                                "",
                                                "",
                                                "",
                                                "",
                                                "well known logical unit",
                                                "unknown or no device type"};
  if (type >= 0 && type < 32 && !kNames[type].empty()) return std::string(kNames[type]);
  char text[16];
  std::snprintf(text, sizeof text, "type 0x%02x", type & 0xFF);
  return text;
}

std::array<uint8_t, 6> InquiryCdb() {
  return {0x12, 0, 0, 0, kInquiryLength, 0};
}

std::array<uint8_t, 10> CapabilitiesPageCdb() {
  // Byte 1 DBD: no block descriptors; byte 2 page control 0 (current) and page code 2Ah.
  return {0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0, kCapabilitiesLength, 0};
}

std::optional<InquiryData> DecodeInquiry(std::span<const uint8_t> d) {
  if (d.size() < 36) return std::nullopt;
  InquiryData q;
  q.peripheralType = d[0] & 0x1F;
  q.vendor = Text(d, 8, 8);
  q.product = Text(d, 16, 16);
  q.revision = Text(d, 32, 4);
  return q;
}

std::optional<OpticalCapabilities> DecodeCapabilitiesPage(std::span<const uint8_t> d) {
  // Mode parameter header (10): data length, medium type, device specific, two reserved
  // bytes, block descriptor length in bytes 6-7; the page follows the descriptors.
  if (d.size() < 8) return std::nullopt;
  const std::size_t at = 8 + static_cast<std::size_t>(d[6] << 8 | d[7]);
  if (d.size() < at + 4 || (d[at] & 0x3F) != 0x2A) return std::nullopt;
  const uint8_t reads = d[at + 2], writes = d[at + 3];
  const auto bit = [](uint8_t byte, int n) { return std::optional<bool>((byte >> n) & 1); };
  OpticalCapabilities c;
  c.readsCd = true;
  c.readsCdR = bit(reads, 0);
  c.readsCdRw = bit(reads, 1);
  c.readsDvd = bit(reads, 3);
  c.readsDvdR = bit(reads, 4);
  c.readsDvdRam = bit(reads, 5);
  c.writesCdR = bit(writes, 0);
  c.writesCdRw = bit(writes, 1);
  c.writesDvdR = bit(writes, 4);
  c.writesDvdRam = bit(writes, 5);
  // Bytes 8-9: the highest read speed in kB/s (obsolete since MMC-3, still filled by most
  // drives); 176 kB/s is the CD's single speed.
  if (d.size() >= at + 10) c.speed = static_cast<uint32_t>(d[at + 8] << 8 | d[at + 9]) / 176;
  return c;
}

}  // namespace tavrin::collectors
