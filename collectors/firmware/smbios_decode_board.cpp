// Structures describing the board around the processor and memory devices: the physical
// memory arrays (DMTF SMBIOS 7.17), on-board devices of the extended record (7.42), OEM strings
// (7.12) and the IPMI device (7.39).
#include "collectors/firmware/smbios_decode.h"

namespace tavrin::collectors::smbios {
namespace {

TSMBIOS_MemoryArray MemoryArray(const StructureView& s) {
  TSMBIOS_MemoryArray a;
  a.Location = s.Byte(4);
  a.Use = s.Byte(5);
  a.ErrorCorrection = s.Byte(6);
  const uint32_t kb = s.Dword(7);
  // 80000000h hands the capacity over to the 2.7 extended field, which counts bytes.
  if (kb == 0x80000000u) {
    if (s.Has(0x0F, 8)) {
      const uint64_t bytes = s.Dword(0x0F) | (uint64_t{s.Dword(0x13)} << 32);
      if (bytes != 0) a.MaxCapacityKB = bytes / 1024;
    }
  } else if (s.Has(7, 4)) {
    a.MaxCapacityKB = kb;
  }
  a.DeviceCount = s.Word(0x0D);
  return a;
}

TSMBIOS_OnBoardDeviceEx OnBoardDeviceEx(const StructureView& s) {
  TSMBIOS_OnBoardDeviceEx d;
  d.ReferenceDesignation = s.String(4);
  d.TypeCode = s.Byte(5) & 0x7F;
  d.Enabled = (s.Byte(5) & 0x80) != 0;
  d.Instance = s.Byte(6);
  if (s.Has(7, 4) && !(s.Word(7) == 0xFFFF && s.Byte(9) == 0xFF && s.Byte(10) == 0xFF))
    d.Address = TSMBIOS_PciAddress{s.Word(7), s.Byte(9), s.Byte(10)};
  return d;
}

TSMBIOS_Ipmi Ipmi(const StructureView& s) {
  TSMBIOS_Ipmi i;
  i.InterfaceType = s.Byte(4);
  i.SpecMajor = s.Byte(5) >> 4;
  i.SpecMinor = s.Byte(5) & 0x0F;
  i.I2CAddress = s.Byte(6);
  const uint64_t base = s.Dword(8) | (uint64_t{s.Dword(0x0C)} << 32);
  i.IoSpace = (base & 1) != 0;
  // Bit 0 only says "I/O space"; bit 4 of the modifier byte is the address's lowest bit.
  i.BaseAddress = (base & ~uint64_t{1}) | (s.Has(0x10, 1) ? (s.Byte(0x10) >> 4) & 1 : 0);
  i.Interrupt = s.Byte(0x11);
  return i;
}

}  // namespace

void DecodeBoardStructures(std::string_view table, const std::vector<StructureEntry>& index,
                           SmbiosValues& out) {
  for (const auto& entry : index) {
    const StructureView s(table, entry);
    switch (entry.type) {
      case 16:
        out.MemoryArrays.push_back(MemoryArray(s));
        break;
      case 41:
        out.OnBoardDevicesEx.push_back(OnBoardDeviceEx(s));
        break;
      case 11:
        for (uint8_t n = 1; n != 0 && n <= s.Byte(4); ++n)
          out.OEMStrings.push_back(GetStructureString(table, entry.address, entry.length, n));
        break;
      case 38:
        if (!out.Ipmi) out.Ipmi = Ipmi(s);
        break;
      default:
        break;
    }
  }
}

}  // namespace tavrin::collectors::smbios
