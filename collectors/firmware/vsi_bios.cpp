#include "collectors/firmware/vsi_bios.h"

#include "collectors/firmware/vsi_dma.h"

namespace tavrin::collectors {
namespace {

std::string Joined(std::string a, const std::string& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return a + " " + b;
}

}  // namespace

std::string PrintableRomText(std::string_view bytes) {
  const auto end = bytes.find('\0');
  if (end == std::string_view::npos) return {};
  const std::string_view text = bytes.substr(0, end);
  if (text.size() < 4) return {};
  for (unsigned char c : text)
    if (c < 0x20 || c > 0x7E) return {};
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

TVexa_BIOS::TVexa_BIOS(std::shared_ptr<const platform::Services> services)
    : TVexa_VSIC_Component("TVexa_BIOS", "BIOS", std::move(services)) {}

void TVexa_BIOS::SetFirmwareValues(const SmbiosValues* values, platform::Provenance source) {
  values_ = values;
  values_source_ = std::move(source);
}

std::string TVexa_BIOS::RomText(uint32_t address) const {
  TVexa_DMA rom(SharedPlatform());
  rom.StartAddress = address;
  rom.EndAddress = address + 255;
  rom.MemorySize = 256;
  rom.RefreshData();
  return PrintableRomText(rom.Data());
}

void TVexa_BIOS::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  NameString.clear();
  Copyright.clear();
  Date.clear();
  ExtendedInfo.clear();
  Source = values_source_;
  if (values_) {
    NameString = Joined(values_->BIOSVendor, values_->BIOSVersion);
    Date = values_->BIOSDate;
    if (values_->BIOSMajorRelease != 0xFF && values_->BIOSMajorRelease != 0) {
      ExtendedInfo = "BIOS Revision " + std::to_string(values_->BIOSMajorRelease) + "." +
                     std::to_string(values_->BIOSMinorRelease);
      if (values_->FirmwareMajorRelease != 0xFF)
        ExtendedInfo += ", Firmware Revision " + std::to_string(values_->FirmwareMajorRelease) +
                        "." + std::to_string(values_->FirmwareMinorRelease);
    }
  }
  // Physical memory answers only on the running machine, as root; elsewhere these stay empty.
  Copyright = RomText(kRomCopyright);
  if (ExtendedInfo.empty()) ExtendedInfo = RomText(kRomExtendedInfo);
}

}  // namespace tavrin::collectors
