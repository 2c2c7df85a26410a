#include "collectors/firmware/smbios_names.h"

#include <algorithm>

namespace tavrin::collectors::smbios {
namespace {

// DMTF SMBIOS 3.x, 7.4.1 (chassis types 01h..24h, stored as code - 1).
constexpr std::string_view kChassis[] = {
    "Other", "Unknown", "Desktop", "Low Profile Desktop", "Pizza Box", "Mini Tower", "Tower",
    "Portable", "LapTop", "Notebook", "Hand Held", "Docking Station", "All in One", "SubNotebook",
    "Space-Saving", "Lunch Box", "Main Server Chassis", "Expansion Chassis", "SubChassis",
    "Bus Expansion Chassis", "Peripheral Chassis", "RAID Chassis", "Rack-Mount Chassis",
    "Sealed-case PC", "Multi-system Chassis",
    // Added since SMBIOS 2.7.
    "Compact PCI", "Advanced TCA", "Blade", "Blade Enclosure", "Tablet", "Convertible",
    "Detachable", "IoT Gateway", "Embedded PC", "Mini PC", "Stick PC"};

// DMTF SMBIOS 3.x, 7.6.3 (memory controller interleave support, stored as code - 1).
constexpr std::string_view kInterleave[] = {"Other", "Unknown", "1-Way", "2-Way",
                                            "4-Way", "8-Way",   "16-Way"};

// DMTF SMBIOS 3.x, 7.6 offset 0Dh (memory module voltage bits 0..2).
constexpr std::string_view kVoltages[] = {"5V", "3.3V", "2.9V"};

// DMTF SMBIOS 3.x, 7.6.4 (memory speeds, bits 0..4).
constexpr std::string_view kSpeeds[] = {"Other", "Unknown", "70ns", "60ns", "50ns"};

// DMTF SMBIOS 3.x, 7.7.1 (memory types of a module, bits 0..10).
constexpr std::string_view kModuleTypes[] = {"Other", "Unknown",   "Standard", "Fast Page Mode",
                                             "EDO",   "Parity",    "ECC",      "SIMM",
                                             "DIMM",  "Burst EDO", "SDRAM"};

// DMTF SMBIOS 3.x, 7.5.5 (processor upgrade 01h..4Bh, stored as code - 1).
constexpr std::string_view kUpgrades[] = {
    "Other", "Unknown", "Daughter Board", "ZIF Socket", "Replaceable Piggy Back", "None",
    "LIF Socket", "Slot 1", "Slot 2", "370-pin Socket", "Slot A", "Slot M", "Socket 423",
    "Socket A (Socket 462)", "Socket 478", "Socket 754", "Socket 940",
    // Added since SMBIOS 2.5.
    "Socket 939", "Socket mPGA604", "Socket LGA771", "Socket LGA775", "Socket S1", "Socket AM2",
    "Socket F (1207)", "Socket LGA1366", "Socket G34", "Socket AM3", "Socket C32", "Socket LGA1156",
    "Socket LGA1567", "Socket PGA988A", "Socket BGA1288", "Socket rPGA988B", "Socket BGA1023",
    "Socket BGA1224", "Socket LGA1155", "Socket LGA1356", "Socket LGA2011", "Socket FS1",
    "Socket FS2", "Socket FM1", "Socket FM2", "Socket LGA2011-3", "Socket LGA1356-3",
    "Socket LGA1150", "Socket BGA1168", "Socket BGA1234", "Socket BGA1364", "Socket AM4",
    "Socket LGA1151", "Socket BGA1356", "Socket BGA1440", "Socket BGA1515", "Socket LGA3647-1",
    "Socket SP3", "Socket SP3r2", "Socket LGA2066", "Socket BGA1392", "Socket BGA1510",
    "Socket BGA1528", "Socket LGA4189", "Socket LGA1200", "Socket LGA4677", "Socket LGA1700",
    "Socket BGA1744", "Socket BGA1781", "Socket BGA1211", "Socket BGA2422", "Socket LGA1211",
    "Socket LGA2422", "Socket LGA5773", "Socket BGA5773", "Socket AM5", "Socket SP5", "Socket SP6",
    // Added since SMBIOS 3.7.
    "Socket BGA883", "Socket BGA1190", "Socket BGA4129", "Socket LGA4710", "Socket LGA7529",
    "Socket BGA1964", "Socket BGA1792", "Socket BGA2049", "Socket BGA2551", "Socket LGA1851",
    "Socket BGA2114", "Socket BGA2833"};

// DMTF SMBIOS 3.x, 7.18.1 (memory device form factor 01h..10h, stored as code - 1).
constexpr std::string_view kFormFactors[] = {"Other", "Unknown", "SIMM", "SIP", "Chip", "DIP",
                                             "ZIP", "PropCard", "DIMM", "TSOP", "RowChip", "RIMM",
                                             "SODIMM", "SRIMM",
                                             // Added since SMBIOS 2.5.
                                             "FB-DIMM", "Die",
                                             // Added since SMBIOS 3.7.
                                             "CAMM"};

// DMTF SMBIOS 3.x, 7.18.2 (memory device type 01h..24h, stored as code - 1).
constexpr std::string_view kDeviceTypes[] = {
    "Other", "Unknown", "DRAM", "EDRAM", "VRAM", "SRAM", "RAM", "ROM", "FLASH", "EEPROM", "FEPROM",
    "EPROM", "CDRAM", "3DRAM", "SDRAM", "SGRAM", "RDRAM", "DDR",
    // Added since SMBIOS 2.5.
    "DDR2", "DDR2 FB-DIMM", "Reserved", "Reserved", "Reserved", "DDR3", "FBD2", "DDR4", "LPDDR",
    "LPDDR2", "LPDDR3", "LPDDR4", "Logical non-volatile device", "HBM", "HBM2", "DDR5", "LPDDR5",
    "HBM3"};

// DMTF SMBIOS 3.x, 7.18.3 (memory type detail bits 1..15; bit 0 is reserved).
constexpr std::string_view kTypeDetails[] = {"Other", "Unknown", "FastPaged", "StaticColumn",
                                             "PseudoStatic", "RAMBUS", "Synchronous", "CMOS", "EDO",
                                             "WindowDRAM", "CacheDRAM", "NonVolatile",
                                             // Added since SMBIOS 2.6.
                                             "Registered", "Unbuffered", "LRDIMM"};

// DMTF SMBIOS 3.x, 7.10.2 (slot data bus width 01h..07h, stored as code - 1).
constexpr std::string_view kDataBus[] = {"Other", "Unknown", "8 bit", "16 bit", "32 bit", "64 bit",
                                         "128 bit",
                                         // Lane counts, added since SMBIOS 2.6.
                                         "x1", "x2", "x4", "x8", "x12", "x16", "x32"};
// DMTF SMBIOS 3.x, 7.10.3 (slot current usage 01h..04h, stored as code - 1).
constexpr std::string_view kUsage[] = {"Other", "Unknown", "Available", "InUse",
                                       // Added since SMBIOS 3.2.
                                       "Unavailable"};
// DMTF SMBIOS 3.x, 7.10.4 (slot length 01h..04h, stored as code - 1).
constexpr std::string_view kSlotLength[] = {"Other", "Unknown", "Short", "Long",
                                            // Drive bays, added since SMBIOS 3.2.
                                            "2.5\" drive form factor", "3.5\" drive form factor"};

// DMTF SMBIOS 3.x, 7.8.2 (cache SRAM type bits 0..6).
constexpr std::string_view kSram[] = {"Other",          "Unknown",     "Non-Burst",   "Burst",
                                      "Pipeline Burst", "Synchronous", "Asynchronous"};
// DMTF SMBIOS 3.x, 7.8.4 (system cache type 01h..05h, stored as code - 1).
constexpr std::string_view kCacheTypes[] = {"Other", "Unknown", "Instruction", "Data", "Unified"};
// DMTF SMBIOS 3.x, 7.8.5 (cache associativity 01h..08h, stored as code - 1).
constexpr std::string_view kAssociativity[] = {
    "Other", "Unknown", "Direct Mapped", "2-way Set-Associative", "4-way Set-Associative",
    "Fully Associative", "8-way Set-Associative", "16-way Set-Associative",
    // Added since SMBIOS 2.5.
    "12-way Set-Associative", "24-way Set-Associative", "32-way Set-Associative",
    "48-way Set-Associative", "64-way Set-Associative", "20-way Set-Associative"};

// DMTF SMBIOS 3.x, 7.11.1 (on-board device type 01h..07h, stored as code - 1).
constexpr std::string_view kOnBoard[] = {"Other",    "Unknown",   "Video", "SCSICrl",
                                         "Ethernet", "TokenRing", "Sound"};

// DMTF SMBIOS 3.x, 7.29.1 (temperature probe location, bits 4..0, stored as code - 1).
constexpr std::string_view kProbeLocations[] = {"Other",
                                                "Unknown",
                                                "Processor",
                                                "Disk",
                                                "Peripheral Bay",
                                                "System Management Module",
                                                "Motherboard",
                                                "Processor Module",
                                                "Power Unit",
                                                "Add-In Card",
                                                "Front Panel Board",
                                                "Back Panel Board",
                                                "Power System Board",
                                                "Drive Back Plane"};
// DMTF SMBIOS 3.x, 7.29.1 (temperature probe status, bits 7..5, stored as code - 1).
constexpr std::string_view kProbeStatus[] = {"Other",        "Unknown",  "OK",
                                             "Non-Critical", "Critical", "Non-Recoverable"};

// DMTF SMBIOS 3.x, 7.9.2 (port connector types).
constexpr CodeName kConnectors[] = {{0x00, "None"},
                                    {0x01, "Centronics"},
                                    {0x02, "Mini Centronics"},
                                    {0x03, "Proprietary"},
                                    {0x04, "DB-25 pin male"},
                                    {0x05, "DB-25 pin female"},
                                    {0x06, "DB-15 pin male"},
                                    {0x07, "DB-15 pin female"},
                                    {0x08, "DB-9 pin male"},
                                    {0x09, "DB-9 pin female"},
                                    {0x0A, "RJ-11"},
                                    {0x0B, "RJ-45"},
                                    {0x0C, "50 Pin MiniSCSI"},
                                    {0x0D, "Mini-DIN"},
                                    {0x0E, "Micro-DIN"},
                                    {0x0F, "PS/2"},
                                    {0x10, "Infrared"},
                                    {0x11, "HP-HIL"},
                                    {0x12, "Access Bus (USB)"},
                                    {0x13, "SSA SCSI"},
                                    {0x14, "Circular DIN-8 male"},
                                    {0x15, "Circular DIN-8 female"},
                                    {0x16, "On Board IDE"},
                                    {0x17, "On Board Floppy"},
                                    {0x18, "9 Pin Dual Inline (pin 10 cut)"},
                                    {0x19, "25 Pin Dual Inline (pin 26 cut)"},
                                    {0x1A, "50 Pin Dual Inline"},
                                    {0x1B, "68 Pin Dual Inline"},
                                    {0x1C, "On Board Sound Input from CD-ROM"},
                                    {0x1D, "Mini-Centronics Type-14"},
                                    {0x1E, "Mini-Centronics Type-26"},
                                    {0x1F, "Mini-jack (headphones)"},
                                    {0x20, "BNC"},
                                    {0x21, "1394"},
                                    // Added since SMBIOS 2.7.
                                    {0x22, "SAS/SATA Plug Receptacle"},
                                    {0x23, "USB Type-C Receptacle"},
                                    {0xA0, "PC-98"},
                                    {0xA1, "PC-98Hireso"},
                                    {0xA2, "PC-H98"},
                                    {0xA3, "PC-98Note"},
                                    {0xA4, "PC-98Full"},
                                    {0xFF, "Other"}};

// DMTF SMBIOS 3.x, 7.9.3 (port types).
constexpr CodeName kPorts[] = {{0x00, "None"},
                               {0x01, "Parallel Port XT/AT Compatible"},
                               {0x02, "Parallel Port PS/2"},
                               {0x03, "Parallel Port ECP"},
                               {0x04, "Parallel Port EPP"},
                               {0x05, "Parallel Port ECP/EPP"},
                               {0x06, "Serial Port XT/AT Compatible"},
                               {0x07, "Serial Port 16450 Compatible"},
                               {0x08, "Serial Port 16550 Compatible"},
                               {0x09, "Serial Port 16550A Compatible"},
                               {0x0A, "SCSI Port"},
                               {0x0B, "MIDI Port"},
                               {0x0C, "Joy Stick Port"},
                               {0x0D, "Keyboard Port"},
                               {0x0E, "Mouse Port"},
                               {0x0F, "SSA SCSI"},
                               {0x10, "USB"},
                               {0x11, "FireWire (IEEE P1394)"},
                               {0x12, "PCMCIA Type II"},
                               {0x13, "PCMCIA Type II"},
                               {0x14, "PCMCIA Type III"},
                               {0x15, "Cardbus"},
                               {0x16, "Access Bus Port"},
                               {0x17, "SCSI II"},
                               {0x18, "SCSI Wide"},
                               {0x19, "PC-98"},
                               {0x1A, "PC-98-Hireso"},
                               {0x1B, "PC-H98"},
                               {0x1C, "Video Port"},
                               {0x1D, "Audio Port"},
                               {0x1E, "Modem Port"},
                               {0x1F, "Network Port"},
                               // Added since SMBIOS 2.7.
                               {0x20, "SATA"},
                               {0x21, "SAS"},
                               {0x22, "MFDP (Multi-Function Display Port)"},
                               {0x23, "Thunderbolt"},
                               {0xA0, "8251 Compatible"},
                               {0xA1, "8251 FIFO Compatible"},
                               {0xFF, "Other"}};

// DMTF SMBIOS 3.x, 7.10.1 (system slot types).
constexpr CodeName kSlots[] = {{0x01, "Other"},
                               {0x02, "Unknown"},
                               {0x03, "ISA"},
                               {0x04, "MCA"},
                               {0x05, "EISA"},
                               {0x06, "PCI"},
                               {0x07, "PC Card (PCMCIA)"},
                               {0x08, "VL-VESA"},
                               {0x09, "Proprietary"},
                               {0x0A, "Processor Card Slot"},
                               {0x0B, "Proprietary Memory Card"},
                               {0x0C, "I/O Riser Card Slot"},
                               {0x0D, "NuBus"},
                               {0x0E, "PCI - 66MHz Capable"},
                               {0x0F, "AGP"},
                               {0x10, "AGP 2X"},
                               {0x11, "AGP 4X"},
                               {0x12, "PCI-X"},
                               {0x13, "AGP 8X"},
                               // Added since SMBIOS 3.0.
                               {0x14, "M.2 Socket 1-DP (Mechanical Key A)"},
                               {0x15, "M.2 Socket 1-SD (Mechanical Key E)"},
                               {0x16, "M.2 Socket 2 (Mechanical Key B)"},
                               {0x17, "M.2 Socket 3 (Mechanical Key M)"},
                               {0x18, "MXM Type I"},
                               {0x19, "MXM Type II"},
                               {0x1A, "MXM Type III (standard connector)"},
                               {0x1B, "MXM Type III (HE connector)"},
                               {0x1C, "MXM Type IV"},
                               {0x1D, "MXM 3.0 Type A"},
                               {0x1E, "MXM 3.0 Type B"},
                               {0x1F, "PCI Express Gen 2 SFF-8639 (U.2)"},
                               {0x20, "PCI Express Gen 3 SFF-8639 (U.2)"},
                               {0x21, "PCI Express Mini 52-pin with bottom-side keep-outs"},
                               {0x22, "PCI Express Mini 52-pin without bottom-side keep-outs"},
                               {0x23, "PCI Express Mini 76-pin"},
                               {0x24, "PCI Express Gen 4 SFF-8639 (U.2)"},
                               {0x25, "PCI Express Gen 5 SFF-8639 (U.2)"},
                               {0x26, "OCP NIC 3.0 Small Form Factor (SFF)"},
                               {0x27, "OCP NIC 3.0 Large Form Factor (LFF)"},
                               {0x28, "OCP NIC Prior to 3.0"},
                               {0x30, "CXL Flexbus 1.0"},
                               {0xA0, "PC-98/C20"},
                               {0xA1, "PC-98/C24"},
                               {0xA2, "PC-98/E"},
                               {0xA3, "PC-98/Local Bus"},
                               {0xA4, "PC-98/Card"},
                               // PCI Express slots, added since SMBIOS 2.5.
                               {0xA5, "PCI Express"},
                               {0xA6, "PCI Express x1"},
                               {0xA7, "PCI Express x2"},
                               {0xA8, "PCI Express x4"},
                               {0xA9, "PCI Express x8"},
                               {0xAA, "PCI Express x16"},
                               {0xAB, "PCI Express Gen 2"},
                               {0xAC, "PCI Express Gen 2 x1"},
                               {0xAD, "PCI Express Gen 2 x2"},
                               {0xAE, "PCI Express Gen 2 x4"},
                               {0xAF, "PCI Express Gen 2 x8"},
                               {0xB0, "PCI Express Gen 2 x16"},
                               {0xB1, "PCI Express Gen 3"},
                               {0xB2, "PCI Express Gen 3 x1"},
                               {0xB3, "PCI Express Gen 3 x2"},
                               {0xB4, "PCI Express Gen 3 x4"},
                               {0xB5, "PCI Express Gen 3 x8"},
                               {0xB6, "PCI Express Gen 3 x16"},
                               {0xB8, "PCI Express Gen 4"},
                               {0xB9, "PCI Express Gen 4 x1"},
                               {0xBA, "PCI Express Gen 4 x2"},
                               {0xBB, "PCI Express Gen 4 x4"},
                               {0xBC, "PCI Express Gen 4 x8"},
                               {0xBD, "PCI Express Gen 4 x16"},
                               {0xBE, "PCI Express Gen 5"},
                               {0xBF, "PCI Express Gen 5 x1"},
                               {0xC0, "PCI Express Gen 5 x2"},
                               {0xC1, "PCI Express Gen 5 x4"},
                               {0xC2, "PCI Express Gen 5 x8"},
                               {0xC3, "PCI Express Gen 5 x16"},
                               // Added since SMBIOS 3.4.
                               {0xC4, "PCI Express Gen 6 and Beyond"},
                               {0xC5, "EDSFF E1 (E1.S, E1.L)"},
                               {0xC6, "EDSFF E3 (E3.S, E3.L)"}};

}  // namespace

NameTable ChassisNames() {
  return kChassis;
}
NameTable InterleaveNames() {
  return kInterleave;
}
NameTable VoltageNames() {
  return kVoltages;
}
NameTable MemorySpeedNames() {
  return kSpeeds;
}
NameTable ModuleTypeNames() {
  return kModuleTypes;
}
NameTable ProcessorUpgradeNames() {
  return kUpgrades;
}
NameTable MemoryFormFactorNames() {
  return kFormFactors;
}
NameTable MemoryDeviceTypeNames() {
  return kDeviceTypes;
}
NameTable MemoryTypeDetailNames() {
  return kTypeDetails;
}
NameTable SlotDataBusNames() {
  return kDataBus;
}
NameTable SlotUsageNames() {
  return kUsage;
}
NameTable SlotLengthNames() {
  return kSlotLength;
}
NameTable CacheSramTypeNames() {
  return kSram;
}
NameTable CacheTypeNames() {
  return kCacheTypes;
}
NameTable CacheAssociativityNames() {
  return kAssociativity;
}
NameTable OnBoardDeviceTypeNames() {
  return kOnBoard;
}
NameTable ProbeLocationNames() {
  return kProbeLocations;
}
NameTable ProbeStatusNames() {
  return kProbeStatus;
}
CodeTable ConnectorTypeNames() {
  return kConnectors;
}
CodeTable PortTypeNames() {
  return kPorts;
}
CodeTable SlotTypeNames() {
  return kSlots;
}

std::string_view NameOf(NameTable table, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return {};
  return table[static_cast<std::size_t>(index)];
}

std::string_view NameOf(CodeTable table, uint8_t code) {
  const auto it = std::lower_bound(table.begin(), table.end(), code,
                                   [](const CodeName& e, uint8_t c) { return e.code < c; });
  return it != table.end() && it->code == code ? it->name : std::string_view();
}

std::string SetText(uint32_t mask, NameTable table) {
  std::string text;
  for (std::size_t i = 0; i < table.size() && i < 32; ++i)
    if (mask & (1u << i)) text += std::string(table[i]) + ",";
  if (!text.empty()) text.pop_back();
  return text;
}

}  // namespace tavrin::collectors::smbios
