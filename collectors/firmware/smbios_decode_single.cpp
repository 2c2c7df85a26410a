// The structures of which only the first counts: BIOS, system, board, chassis, memory
// controller. Offsets follow DMTF SMBIOS 3.x, sections 7.1 to 7.4 and 7.6.
#include <cstdio>

#include "collectors/firmware/smbios_decode.h"
#include "collectors/firmware/smbios_names.h"
#include "collectors/firmware/smbios_text.h"

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

void System(const StructureView& s, SmbiosVersion version, SmbiosValues& out) {
  out.SystemManufacturer = s.String(4);
  out.SystemProductName = s.String(5);
  out.SystemVersion = s.String(6);
  out.SystemSerial = s.String(7);
  if (s.length() > 8) {
    std::string uuid;
    uint8_t bytes[16];
    for (int i = 0; i < 16; ++i) {
      bytes[i] = s.Byte(8 + static_cast<std::size_t>(i));
      char hex[3];
      std::snprintf(hex, sizeof hex, "%2.2x", bytes[i]);
      uuid += hex;
    }
    out.SystemUUID = uuid;
    if (s.Has(8, 16)) out.SystemUUIDText = UuidText(bytes, version.major, version.minor);
  }
  out.SystemWakeUpType = s.Byte(0x18);
  out.SystemSKU = s.String(0x19);
  out.SystemFamily = s.String(0x1A);
  out.SystemModel = MachineModelText(out.SystemManufacturer, out.SystemProductName,
                                     out.SystemVersion, out.SystemFamily);
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
  out.ChassisTypeCode = s.Byte(5) & 0x7F;
  out.ChassisLock = (s.Byte(5) & 0x80) != 0;
  out.ChassisBootUpState = s.Byte(9);
  out.ChassisPowerSupplyState = s.Byte(0x0A);
  out.ChassisThermalState = s.Byte(0x0B);
  out.ChassisSecurityStatus = s.Byte(0x0C);
  out.ChassisHeightU = s.Byte(0x11);
  out.ChassisPowerCords = s.Byte(0x12);
  // SMBIOS 2.7: the SKU string follows the contained elements (count at 13h, size at 14h).
  const std::size_t sku_at = 0x15 + std::size_t{s.Byte(0x13)} * s.Byte(0x14);
  if (s.Has(sku_at, 1)) out.ChassisSKU = s.String(sku_at);
  const int model = out.ChassisTypeCode - 1;
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
                            SmbiosVersion version, SmbiosValues& out) {
  struct Decoder {
    uint8_t type;
    void (*decode)(const StructureView&, SmbiosValues&);
  };
  static constexpr Decoder kDecoders[] = {
      {0, Bios}, {2, Board}, {3, Chassis}, {5, MemoryController}};
  for (const auto& d : kDecoders)
    if (auto at = FindStructure(index, d.type)) d.decode(StructureView(table, index[*at]), out);
  if (auto at = FindStructure(index, 1)) System(StructureView(table, index[*at]), version, out);
}

}  // namespace tavrin::collectors::smbios
