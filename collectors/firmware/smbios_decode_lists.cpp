// The structures that may appear many times, one record each in table order. Offsets follow
// DMTF SMBIOS 3.x, sections 7.5, 7.7 to 7.11, 7.18 and 7.29.
#include "collectors/firmware/smbios_decode.h"
#include "collectors/firmware/smbios_names.h"

namespace tavrin::collectors::smbios {
namespace {

// A name for a record whose designation the firmware left empty: "Slot_3".
std::string OrNumbered(std::string text, const char* prefix, std::size_t index) {
  return text.empty() ? prefix + std::to_string(index) : text;
}

// A count that SMBIOS 3.0 moved to a word when the byte says 0xFF.
uint16_t Count(const StructureView& s, std::size_t byteAt, std::size_t wordAt) {
  const uint8_t b = s.Byte(byteAt);
  return b == 0xFF && s.Has(wordAt, 2) ? s.Word(wordAt) : b;
}

TSMBIOS_Processor Processor(const StructureView& s, std::size_t i) {
  TSMBIOS_Processor p;
  p.Socket = OrNumbered(s.String(4), "Processor_", i);
  p.Manufacturer = s.String(7);
  p.Version = s.String(16);
  p.SerialNumber = s.String(32);
  p.AssetTag = s.String(33);
  p.PartNumber = s.String(34);
  p.ExternalClock = s.Word(18);
  p.Frequency = s.Word(22);
  p.Upgrade = s.Byte(25) - 1;
  p.Voltage = ProcessorVoltage(s.Byte(17));
  p.MaxSpeed = s.Word(20);
  p.Family = s.Byte(6) == 0xFE && s.Has(0x28, 2) ? s.Word(0x28) : s.Byte(6);
  p.CoreCount = Count(s, 0x23, 0x2A);
  p.CoreEnabled = Count(s, 0x24, 0x2C);
  p.ThreadCount = Count(s, 0x25, 0x2E);
  p.TypeCode = s.Byte(5);
  p.UpgradeCode = s.Byte(25);
  p.Status = s.Byte(0x18);
  return p;
}

TSMBIOS_MemoryModule Module(const StructureView& s, std::size_t) {
  TSMBIOS_MemoryModule m;
  m.Socket = s.String(4);
  m.Speed = s.Byte(6);
  m.Types = static_cast<TSMBIOS_MemoryTypes>(s.Word(7) & 0x7FF);
  m.Size = ModuleSizeMB(s.Byte(9));
  return m;
}

int HighestBit(uint16_t word, int bits) {
  for (int i = bits - 1; i >= 0; --i)
    if (word & (1u << i)) return i;
  return 0;
}

TSMBIOS_Cache Cache(const StructureView& s, std::size_t i) {
  TSMBIOS_Cache c;
  c.Designation = OrNumbered(s.String(4), "Cache_", i);
  c.MaxSize = CacheSizeKB(s.Word(7));
  c.InstalledSize = CacheSizeKB(s.Word(9));
  c.SRAMType = HighestBit(s.Word(13), 7);
  if (s.length() >= 16) {
    const uint8_t assoc = s.Byte(18), type = s.Byte(17);
    c.Associativity = assoc >= 1 && assoc <= 8 ? assoc - 1 : 1;
    c.Typ = type >= 1 && type <= 5 ? type - 1 : 1;
    c.Speed = s.Byte(15);
  }
  // SMBIOS 3.1: a 16-bit field of all ones hands over to the 32-bit one.
  const bool large = s.Has(0x13, 8);
  c.MaxSizeKB = large && s.Word(7) == 0xFFFF ? CacheSize2KB(s.Dword(0x13)) : c.MaxSize;
  c.InstalledSizeKB = large && s.Word(9) == 0xFFFF ? CacheSize2KB(s.Dword(0x17)) : c.InstalledSize;
  if (s.Has(5, 2)) {
    const uint16_t config = s.Word(5);
    c.Level = static_cast<uint8_t>((config & 0x07) + 1);
    c.Enabled = (config & 0x80) != 0;
  }
  c.ErrorCorrectionCode = s.Byte(0x10);
  c.TypeCode = s.Byte(0x11);
  c.AssociativityCode = s.Byte(0x12);
  return c;
}

TSMBIOS_Port Port(const StructureView& s, std::size_t i) {
  TSMBIOS_Port p;
  p.InternalDesignator = OrNumbered(s.String(4), "PortSlot_", i);
  p.InternalConnector = s.Byte(5);
  p.ExternalDesignator = s.String(6);
  p.ExternalConnector = s.Byte(7);
  p.Typ = s.Byte(8);
  return p;
}

TSMBIOS_SystemSlot Slot(const StructureView& s, std::size_t i) {
  TSMBIOS_SystemSlot slot;
  slot.Designation = OrNumbered(s.String(4), "Slot_", i);
  slot.Typ = s.Byte(5);
  slot.DataBus = s.Byte(6);
  slot.Usage = s.Byte(7);
  slot.Length = s.Byte(8);
  slot.ID = s.Word(9);
  // SMBIOS 2.6: segment FFFFh, bus FFh and device/function FFh mean "not a PCI slot".
  if (s.Has(0x0D, 4) && !(s.Word(0x0D) == 0xFFFF && s.Byte(0x0F) == 0xFF && s.Byte(0x10) == 0xFF))
    slot.Address = TSMBIOS_PciAddress{s.Word(0x0D), s.Byte(0x0F), s.Byte(0x10)};
  // SMBIOS 3.2: the electrical width and the peer devices of a bifurcated slot, 5 bytes each.
  slot.DataBusWidth = s.Byte(0x11);
  const std::size_t peers = s.Byte(0x12);
  for (std::size_t n = 0; n < peers && s.Has(0x13 + 5 * n, 5); ++n) {
    const std::size_t at = 0x13 + 5 * n;
    slot.Peers.push_back({{s.Word(at), s.Byte(at + 2), s.Byte(at + 3)}, s.Byte(at + 4)});
  }
  return slot;
}

void OnBoardDevices(const StructureView& s, std::vector<TSMBIOS_OnBoardDevice>& out) {
  const std::size_t count = s.length() >= 4 ? (s.length() - 4u) / 2u : 0u;
  for (std::size_t i = 0; i < count; ++i) {
    const uint8_t b = s.Byte(4 + 2 * i);
    TSMBIOS_OnBoardDevice d;
    const int type = (b & 0x7F) - 1;
    d.Typ = type >= 0 && type <= 6 ? type : 0;
    d.Status = (b & 0x80) != 0;
    d.TypeCode = b & 0x7F;
    d.DeviceName = s.String(5 + 2 * i);
    out.push_back(std::move(d));
  }
}

TSMBIOS_MemoryDevice MemoryDevice(const StructureView& s, SmbiosVersion version) {
  TSMBIOS_MemoryDevice m;
  m.TotalWidth = s.Word(8);
  m.DataWidth = s.Word(10);
  m.Size = s.Word(12);
  m.FormFactor = s.Byte(14) - 1;
  m.DeviceLocator = s.String(16);
  m.BankLocator = s.String(17);
  m.Device = s.Byte(18) - 1;
  m.TypeDetailBits = s.Word(19);
  m.TypeDetails = m.TypeDetailBits & 0x1FFF;
  if (version.major > 2 || version.minor > 2) {
    const uint16_t mhz = s.Word(21);
    if (mhz != 0) m.Speed = static_cast<uint16_t>(1000 / mhz);
    m.Manufacturer = s.String(23);
    m.SerialNumber = s.String(24);
    m.AssetTag = s.String(25);
    m.PartNumber = s.String(26);
  }
  const auto size = MemoryDeviceSizeKB(m.Size, s.Dword(0x1C));
  m.SizeUnknown = !size;
  m.SizeKB = size.value_or(0);
  // SMBIOS 3.3: 0xFFFF hands the speed over to the 32-bit extended field.
  const uint16_t speed = s.Word(21), configured = s.Word(0x20);
  m.SpeedMTs = speed == 0xFFFF && s.Has(0x54, 4) ? s.Dword(0x54) : speed;
  m.ConfiguredSpeedMTs = configured == 0xFFFF && s.Has(0x58, 4) ? s.Dword(0x58) : configured;
  m.Rank = s.Byte(0x1B) & 0x0F;
  m.MinVoltage = s.Word(0x22);
  m.MaxVoltage = s.Word(0x24);
  m.ConfiguredVoltage = s.Word(0x26);
  return m;
}

TSMBIOS_TemperatureProbe Probe(const StructureView& s, std::size_t) {
  TSMBIOS_TemperatureProbe p;
  p.Description = s.String(4);
  const uint8_t b = s.Byte(5);
  p.Location = (b & 0x1F) - 1;
  p.Status = (b >> 5) - 1;
  p.Max = s.Word(6);
  p.Min = s.Word(8);
  p.Resolution = s.Word(10);
  p.Tolerance = s.Word(12);
  p.Accuracy = s.Word(14);
  p.Value = s.Word(20);
  return p;
}

template <class Record, class Decode>
void EachOfType(std::string_view table, const std::vector<StructureEntry>& index, uint8_t type,
                std::vector<Record>& out, Decode decode) {
  for (auto at = FindStructure(index, type); at; at = FindStructure(index, type, *at + 1))
    out.push_back(decode(StructureView(table, index[*at]), out.size()));
}

}  // namespace

void DecodeListStructures(std::string_view table, const std::vector<StructureEntry>& index,
                          SmbiosVersion version, SmbiosValues& out) {
  EachOfType(table, index, 4, out.Processors, Processor);
  EachOfType(table, index, 6, out.MemoryModules, Module);
  EachOfType(table, index, 7, out.Caches, Cache);
  EachOfType(table, index, 8, out.Ports, Port);
  EachOfType(table, index, 9, out.SystemSlots, Slot);
  for (auto at = FindStructure(index, 10); at; at = FindStructure(index, 10, *at + 1))
    OnBoardDevices(StructureView(table, index[*at]), out.OnBoardDevices);
  EachOfType(table, index, 17, out.MemoryDevices,
             [version](const StructureView& s, std::size_t) { return MemoryDevice(s, version); });
  EachOfType(table, index, 28, out.TemperatureProbes, Probe);
}

}  // namespace tavrin::collectors::smbios
