// The structures of which only the first counts: BIOS, system, board, chassis, memory
// controller. Offsets follow DMTF SMBIOS 3.x, sections 7.1 to 7.4 and 7.6.
#include <cstdio>

#include "collectors/firmware/smbios_decode.h"
#include "collectors/firmware/smbios_names.h"

namespace tavrin::collectors::smbios {
namespace {

void Bios(const StructureView& s, SmbiosValues& out) {
  out.BIOSVendor = s.String(4);
  out.BIOSVersion = s.String(5);
  out.BIOSDate = s.String(8);
  out.BIOSSize = (uint32_t{s.Byte(9)} + 1) * 64;
  out.BIOSRomSizeKB = BiosRomSizeKB(s.Byte(9), s.Word(0x18), s.Has(0x18, 2));
  out.BIOSMajorRelease = s.Has(0x14, 2) ? s.Byte(0x14) : 0xFF;
  out.BIOSMinorRelease = s.Has(0x14, 2) ? s.Byte(0x15) : 0xFF;
  out.FirmwareMajorRelease = s.Has(0x16, 2) ? s.Byte(0x16) : 0xFF;
  out.FirmwareMinorRelease = s.Has(0x16, 2) ? s.Byte(0x17) : 0xFF;
}

void System(const StructureView& s, SmbiosValues& out) {
  out.SystemManufacturer = s.String(4);
  out.SystemModel = s.String(5);
  out.SystemVersion = s.String(6);
  out.SystemSerial = s.String(7);
  if (s.length() > 8) {
    std::string uuid;
    for (int i = 0; i < 16; ++i) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%2.2x", s.Byte(8 + static_cast<std::size_t>(i)));
      uuid += hex;
    }
    out.SystemUUID = uuid;
  }
}

void Board(const StructureView& s, SmbiosValues& out) {
  out.MainBoardManufacturer = s.String(4);
  out.MainBoardModel = s.String(5);
  out.MainBoardVersion = s.String(6);
  out.MainBoardSerial = s.String(7);
  out.MainBoardAssetTag = s.String(8);
  if (s.length() > 9) out.MainBoardLocationInChassis = s.String(10);
}

void Chassis(const StructureView& s, SmbiosValues& out) {
  const int model = (s.Byte(5) & 0x7F) - 1;  // bit 7: chassis lock present
  out.ChassisModel = model >= 0 && static_cast<std::size_t>(model) < ChassisNames().size()
                         ? static_cast<TSMBIOS_Chassis>(model)
                         : TSMBIOS_Chassis::smchUnknown;
  out.ChassisManufacturer = s.String(4);
  out.ChassisVersion = s.String(6);
  out.ChassisSerial = s.String(7);
  out.ChassisAssetTag = s.String(8);
}

TSMBIOS_InterleaveSupport Interleave(uint8_t code) {
  const int value = code - 1;
  if (value < 0 || static_cast<std::size_t>(value) >= InterleaveNames().size())
    return TSMBIOS_InterleaveSupport::smisUnknown;
  return static_cast<TSMBIOS_InterleaveSupport>(value);
}

void MemoryController(const StructureView& s, SmbiosValues& out) {
  out.MemCtrlSupportedInterleave = Interleave(s.Byte(6));
  out.MemCtrlCurrentInterleave = Interleave(s.Byte(7));
  out.MemCtrlMaxSize = s.Byte(8) < 16 ? static_cast<uint16_t>(1u << s.Byte(8)) : 0;
  out.MemCtrlSupportedSpeeds = static_cast<TSMBIOS_MemorySpeeds>(s.Word(9) & 0x1F);
  out.MemCtrlSupportedTypes = static_cast<TSMBIOS_MemoryTypes>(s.Word(11) & 0x7FF);
  out.MemCtrlSupportedVoltages = static_cast<TSMBIOS_Voltages>(s.Byte(13) & 0x07);
  out.MemCtrlSlotCount = s.Byte(14);
}

}  // namespace

void DecodeSingleStructures(std::string_view table, const std::vector<StructureEntry>& index,
                            SmbiosValues& out) {
  struct Decoder {
    uint8_t type;
    void (*decode)(const StructureView&, SmbiosValues&);
  };
  static constexpr Decoder kDecoders[] = {
      {0, Bios}, {1, System}, {2, Board}, {3, Chassis}, {5, MemoryController}};
  for (const auto& d : kDecoders)
    if (auto at = FindStructure(index, d.type)) d.decode(StructureView(table, index[*at]), out);
}

}  // namespace tavrin::collectors::smbios
